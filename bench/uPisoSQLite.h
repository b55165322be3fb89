#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

struct TTraducao;
class TParams;

// The floor the import is measured against: the very statements the import ran, as the engine
// translated them and with the values it bound, replayed through SQLite's own C API with every
// distinct statement prepared once and one transaction per coupon file. What the import costs
// above this is the cost of our own layers.
namespace Bench {

struct TComandoDistinto
{
    QByteArray Sql;
    bool Consulta = false;
};

// Writes the statements to a file as they run, so that recording a large import takes no memory.
// Values are kept in the form the engine binds them: null, integer, real or UTF-8 text.
class TGravadorComandos
{
public:
    explicit TGravadorComandos(const QString& arquivo);
    ~TGravadorComandos();

    // The session's observer.
    void Observa(const TTraducao& traducao, const TParams& params);
    // The statements since the last mark belong to one coupon file.
    void FimDeArquivo();
    void Fecha();

    const std::vector<TComandoDistinto>& Distintos() const { return FDistintos; }
    qint64 Comandos() const { return FComandos; }

private:
    void Descarrega();

    QFile FArquivo;
    QByteArray FBuffer;
    QHash<const TTraducao*, quint32> FPorTraducao;
    QHash<QByteArray, quint32> FPorTexto;
    std::vector<TComandoDistinto> FDistintos;
    qint64 FComandos = 0;
};

struct TBancoPiso
{
    QString Alias;
    QString Arquivo;
};

struct TResultadoPiso
{
    double Segundos = 0;
    qint64 Comandos = 0;
    qint64 LinhasGravadas = 0;  // rows inserted, updated or deleted
    qint64 LinhasLidas = 0;     // rows the queries answered
    int Arquivos = 0;
    // Each distinct statement that reads a table without an index, with SQLite's plan line.
    QStringList SemIndice;
    // The data access objects' structure queries ("where (1=2)"): SQLite plans them as a scan
    // but the constant condition ends them before the first row.
    int Estrutura = 0;
};

// Opens the databases of a copy of the drive as it was before the import (each ATTACHed under
// its alias, as the engine does) and replays the recording on it.
TResultadoPiso ReproduzirPiso(const QString& gravacao, const std::vector<TComandoDistinto>& distintos,
                              const std::vector<TBancoPiso>& bancos);

}  // namespace Bench
