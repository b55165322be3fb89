#include "uSys.h"

TSys Sys_;
