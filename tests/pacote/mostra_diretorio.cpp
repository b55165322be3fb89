// Started through a link by tst_pacote: prints where the program believes it lives and which
// INI it would use, so the test sees what an installed program sees through /usr/bin.
#include "uBibliot.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("%s\n%s\n", qPrintable(DiretorioAplicacao()), qPrintable(ArquivoIni()));
    return 0;
}
