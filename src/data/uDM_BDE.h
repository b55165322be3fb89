#pragma once

#include "uSessao.h"

#include <QString>
#include <QStringList>

// The database data module: prepares the engine session once, at start-up, before the main
// window exists. Its results are the session (network control directory, the ten aliases, the
// two table passwords) and Sys_.Fechar, set when the data drive cannot be found.
//
// The data drive comes from the first command-line argument:
// - on Windows its first character is the drive letter ("Dados" names D:\), as the ERP's
//   shortcuts pass it; with no argument the drive is V:\.
// - elsewhere an absolute directory names the drive's root itself; any other argument gives its
//   first character as a letter, which resolves through the drive mapping folder: the entry named
//   by that letter in upper case (a directory or a symbolic link to one), so "D" is
//   <mapping folder>/D. The mapping folder is $TESKVADO_UNIDADES, or /etc/teskvado/unidades when
//   that is not set. With no argument the letter is V.
// The ERP folders are then <root>/Sistemas/VENDAS, <root>/Sistemas/CADASTRO, ...
// A drive with <root>/Sistemas/BANCO.INI naming a PostgreSQL server keeps its tables there
// instead (uBancoUnidade.h); a server that cannot be used refuses the start-up as a missing
// drive does, after one error naming the server and the cause.
class TDM_BDE
{
public:
    // Runs DataModuleCreate with the program's arguments, the program name left out.
    // `exigeEsquemas` false lets a drive on a database server start before its ERP schemas
    // exist, for the tool that creates them.
    explicit TDM_BDE(QStringList argumentos, TSessao& sessao = TSessao::Padrao(), bool exigeEsquemas = true);
    ~TDM_BDE();  // runs DataModuleDestroy
    TDM_BDE(const TDM_BDE&) = delete;
    TDM_BDE& operator=(const TDM_BDE&) = delete;

    void DataModuleCreate();
    void DataModuleDestroy();

    // The drive's root as this platform reaches it ("D:\" on Windows); empty when refused.
    const QString& Raiz() const { return FRaiz; }

    static QString PastaUnidades();
    // The root a drive letter stands for on this platform.
    static QString RaizDaLetra(QChar letra);

private:
    QStringList FArgumentos;
    TSessao& FSessao;
    QString FRaiz;
    bool FExigeEsquemas = true;
};

// The one instance, created at start-up with no owner and destroyed at program end.
extern TDM_BDE* DM_BDE;
