#pragma once

#include "uRemessa.h"
#include "uRetorno.h"
#include "uRuxoCampos.h"
#include "uRuxoRegistros.h"

#include <QString>
#include <QStringList>

#include <memory>

// The program's side of the exchange with Ruxo for one piece of work on one monitored directory.
class TRuxo
{
public:
    explicit TRuxo(const QString& DirBase);
    ~TRuxo();
    TRuxo(const TRuxo&) = delete;
    TRuxo& operator=(const TRuxo&) = delete;

    TRetorno* Retorno() const { return FRetorno.get(); }
    TRemessa* Remessa() const { return FRemessa.get(); }
    // Ends with "/", so every exchange path is DirBase() + folder.
    const QString& DirBase() const { return FDirBase; }

    // Ruxo's answer log: Ok when a line's fields are "STATUS" and "OK" (blanks around OK
    // allowed). Returns every line of the log, unchanged; a missing log gives Ok false and none.
    QStringList Status(bool& Ok, const QString& Arquivo) const;

private:
    QString FDirBase;
    std::unique_ptr<TRetorno> FRetorno;
    std::unique_ptr<TRemessa> FRemessa;
};

// The ";"-separated fields of an answer-log line, double quotes around a field removed.
QStringList CamposDoLog(const QString& linha);
