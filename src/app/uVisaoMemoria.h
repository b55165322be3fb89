#pragma once

#include "uVisaoTeskVado.h"

#include <QList>
#include <QPair>

// The main window kept in memory: what the headless program runs with, and what the tests read
// back. It remembers every marker and page shown, so a caller can report what the window would
// have shown.
class TVisaoMemoria : public IVisaoTeskVado
{
public:
    explicit TVisaoMemoria(ITelaLog* tela = nullptr) : FTela(tela) {}

    ITelaLog* TelaLog() override { return FTela; }

    QString DirMonitorar() const override { return Dir; }
    void SetDirMonitorar(const QString& texto) override { Dir = texto; }
    int Intervalo() const override { return IntervaloMs; }
    void SetIntervalo(int ms) override { IntervaloMs = ms; }
    bool IniciarAutomatico() const override { return Automatico; }
    void SetIniciarAutomatico(bool marcado) override { Automatico = marcado; }

    void PreencheLista(TLista lista, const QStringList& itens) override
    {
        Listas[int(lista)] = itens;
        Selecao[int(lista)] = -1;
    }
    int IndiceSelecionado(TLista lista) const override { return Selecao[int(lista)]; }
    void Seleciona(TLista lista, int indice) override
    {
        Selecao[int(lista)] = indice >= 0 && indice < Listas[int(lista)].size() ? indice : -1;
    }

    void MostraMonitoramento(const TMonitoramento& estado) override { Monitoramento = estado; }
    void HabilitaAcoes(bool ativar, bool importaZ, bool fechar) override
    {
        AtivarHabilitado = ativar;
        ImportaZHabilitado = importaZ;
        FecharHabilitado = fechar;
    }

    void NovosMarcadores() override
    {
        Marcadores.clear();
        ++ConjuntosMarcadores;
    }
    void MarcaCampo(TCampo campo, const QString& mensagem) override
    {
        Marcadores.append({campo, mensagem});
        Foco = campo;
    }
    void LiberaMarcadores() override { Marcadores.clear(); }

    void MostraPagina(TPagina pagina) override { Pagina = pagina; }
    void FecharJanela() override { Fechada = true; }

    QString Dir;
    int IntervaloMs = 0;
    bool Automatico = false;
    QStringList Listas[3];
    int Selecao[3] = {-1, -1, -1};
    TMonitoramento Monitoramento;
    bool AtivarHabilitado = false;
    bool ImportaZHabilitado = false;
    bool FecharHabilitado = false;
    QList<QPair<TCampo, QString>> Marcadores;
    int ConjuntosMarcadores = 0;
    TCampo Foco = TCampo::DirMonitorar;
    TPagina Pagina = TPagina::Configuracoes;
    bool Fechada = false;

private:
    ITelaLog* FTela;
};
