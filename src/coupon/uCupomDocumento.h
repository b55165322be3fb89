#pragma once

// What the conversion keeps while it builds one sales document; shared by the conversion's
// source files only.

#include "UModel.h"
#include "uCupomCalculo.h"
#include "uDaoBDE.h"
#include "uLog.h"

#include <QString>

#include <memory>

struct TDocumentoCupom
{
    std::unique_ptr<TVEN_NOTAC> Cabecalho;
    // The document key besides the company: "000123" and "X" + printer + restart counter.
    QString Numero;
    QString Serie;

    Currency Percentual;  // document discount in percent
    CupomCalculo::TGrupoAliquotas ICMS, ISSQN, PIS, COFINS;
    bool Servico = false;  // a taxed service item was met

    int Sequencia = 0;  // of the instalments
    Currency Troco;
    int AVista = 0;
    int APrazo = 0;
    QString FormaPagamento = QStringLiteral("OU");
};

namespace CupomTexto {

// The database's own words after a failed write, so that the caller can tell a lock from a
// refusal.
inline QString CausaDao(const TDaoBDE& dao)
{
    return dao.UltimoErro().isEmpty() ? QString() : QStringLiteral(": ") + dao.UltimoErro();
}

// How many coupons' rows the conversion buffers before it writes them out.
// Tests lower it to cross the boundary with a few coupons.
int& CuponsPorGravacao();

// A coupon is known by its printer and its number.
inline quint64 ChaveCupom(int ecf, int cupom) { return (quint64(quint32(ecf)) << 32) | quint32(cupom); }

inline QString SemBrancosFinais(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n);
}

inline void Erro(const QString& texto)
{
    if (Log_)
        Log_->TextoErro(texto);
}

inline void Atencao(const QString& texto)
{
    if (Log_)
        Log_->TextoAtencao(texto);
}

inline void Simples(const QString& texto)
{
    if (Log_)
        Log_->TextoSimples(texto);
}

inline void Espaco()
{
    if (Log_)
        Log_->Espaco();
}

}  // namespace CupomTexto
