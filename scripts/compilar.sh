#!/usr/bin/env bash
# Configures and builds into build/ (or $TV_BUILD_DIR) with the options given.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
dir=${TV_BUILD_DIR:-$raiz/build}
cmake -S "$raiz" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j"${TV_JOBS:-2}"
