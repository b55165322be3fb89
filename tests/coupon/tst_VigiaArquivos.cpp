// Files still being written wait; finished files go together in one tick.

#include "uVigiaArquivos.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Escreve(const QString& caminho, const QByteArray& bytes)
{
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Append));
    f.write(bytes);
}

TEST(VigiaArquivos, ArquivoCrescendoEsperaOProximoTick)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pasta = dir.path() + u'/';
    Escreve(pasta + "A.S01", "pronto");
    Escreve(pasta + "B.S01", "pronto");
    Escreve(pasta + "C.S01", "metade");

    TVigiaArquivos vigia;
    bool escrever = true;
    // Ruxo goes on writing C while the cycle pauses between its two looks.
    vigia.SetEspera([&] {
        if (escrever)
            Escreve(pasta + "C.S01", "mais");
    });
    const QStringList nomes{"A.S01", "B.S01", "C.S01"};
    EXPECT_EQ(vigia.Prontos(pasta, nomes), (QStringList{"A.S01", "B.S01"}));

    // Next tick: C grew once more since the last look, so it waits again.
    Escreve(pasta + "C.S01", "fim");
    escrever = false;
    EXPECT_EQ(vigia.Prontos(pasta, {"C.S01"}), QStringList{});
    // Untouched since: it goes, without a pause of its own.
    int pausas = 0;
    vigia.SetEspera([&] { ++pausas; });
    EXPECT_EQ(vigia.Prontos(pasta, {"C.S01"}), QStringList{"C.S01"});
    EXPECT_EQ(pausas, 0);
    // A name that vanished between the looks is not handed on.
    EXPECT_EQ(vigia.Prontos(pasta, {"Z.S01"}), QStringList{});
}

}  // namespace
