#pragma once

#include <QString>

// Adjusts the document's CFOP to one item: its type, its ICMS taxation and the company's
// activity, and on the way may adjust the item's tax situation code. One object per item:
// construct with the item's values, call PegaCFOP once, read CFO_C and CFOP_TPTRIB.
// The parameter customer code is read from Sys_.Codigo_do_Cliente when PegaCFOP runs.
class TPegaCFOP
{
public:
    TPegaCFOP(const QString& aCheca_CFOP, const QString& aCFO_C, const QString& aCFOP_TPITEM,
              const QString& aCFOP_TRIBICMS, const QString& aCFOP_TPTRIB,
              const QString& aCFOP_EMPRESA, const QString& aCFOP_ATIVEMPRESA);

    // "E" runs the entry rules, "S" the exit rules; any other direction leaves everything as is.
    void PegaCFOP();
    void CFOP_Entrada();
    void CFOP_Saida();

    const QString& Checa_CFOP() const { return FCheca_CFOP; }
    const QString& CFO_C() const { return FCFO_C; }
    const QString& CFOP_TPITEM() const { return FCFOP_TPITEM; }
    const QString& CFOP_TRIBICMS() const { return FCFOP_TRIBICMS; }
    const QString& CFOP_TPTRIB() const { return FCFOP_TPTRIB; }
    const QString& CFOP_EMPRESA() const { return FCFOP_EMPRESA; }
    const QString& CFOP_ATIVEMPRESA() const { return FCFOP_ATIVEMPRESA; }

    void SetCheca_CFOP(const QString& v) { FCheca_CFOP = v; }
    void SetCFO_C(const QString& v) { FCFO_C = v; }
    void SetCFOP_TPITEM(const QString& v) { FCFOP_TPITEM = v; }
    void SetCFOP_TRIBICMS(const QString& v) { FCFOP_TRIBICMS = v; }
    void SetCFOP_TPTRIB(const QString& v) { FCFOP_TPTRIB = v; }
    void SetCFOP_EMPRESA(const QString& v) { FCFOP_EMPRESA = v; }
    void SetCFOP_ATIVEMPRESA(const QString& v) { FCFOP_ATIVEMPRESA = v; }

private:
    QString FCheca_CFOP;
    QString FCFO_C;
    QString FCFOP_TPITEM;
    QString FCFOP_TRIBICMS;
    QString FCFOP_TPTRIB;
    QString FCFOP_EMPRESA;
    QString FCFOP_ATIVEMPRESA;
};
