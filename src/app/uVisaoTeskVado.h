#pragma once

#include <QString>
#include <QStringList>

class ITelaLog;

// What the session core needs from its main window, and nothing more: the edits and choice
// lists it reads and fills, how the monitoring state is shown, the validation markers, the page
// shown and closing. The desktop implements it with widgets, the headless program in memory.
// The file list is not here: the core owns it and a window only shows it.
//
// The core decides everything; a view only shows what it is told and gives back what the user
// typed or chose. No method of a view calls back into the core.
class IVisaoTeskVado
{
public:
    enum class TLista { Empresas, Usuarios, ECF };
    // The controls a validation marker can sit on.
    enum class TCampo { DirMonitorar, Empresas, Usuarios, ECF };
    enum class TPagina { Configuracoes, ListaArquivos };

    // Monitoring is shown in three places that always change together: the timer, the window
    // caption with the tray hint, and the caption of "Ativar".
    struct TMonitoramento
    {
        bool Ativo = false;
        int IntervaloMs = 1000;
        QString Titulo;      // window caption and tray hint
        QString TituloAcao;  // caption of actAtivar
    };

    virtual ~IVisaoTeskVado() = default;

    // Where the operation log shows its lines (not owned; may be null: the log keeps its text).
    virtual ITelaLog* TelaLog() = 0;

    virtual QString DirMonitorar() const = 0;
    virtual void SetDirMonitorar(const QString& texto) = 0;
    // The spin edit's value; a text that is no number shows as 0.
    virtual int Intervalo() const = 0;
    virtual void SetIntervalo(int ms) = 0;
    virtual bool IniciarAutomatico() const = 0;
    virtual void SetIniciarAutomatico(bool marcado) = 0;

    // Fixed lists: the items replace what the list held and nothing is selected; -1 is
    // "nothing selected".
    virtual void PreencheLista(TLista lista, const QStringList& itens) = 0;
    virtual int IndiceSelecionado(TLista lista) const = 0;
    virtual void Seleciona(TLista lista, int indice) = 0;

    virtual void MostraMonitoramento(const TMonitoramento& estado) = 0;
    virtual void HabilitaAcoes(bool ativar, bool importaZ, bool fechar) = 0;

    // Drops every marker shown (the old marker object) and starts a new, empty set.
    virtual void NovosMarcadores() = 0;
    // One more marker with its message; the control takes the focus when it can.
    virtual void MarcaCampo(TCampo campo, const QString& mensagem) = 0;
    // Window close: the marker object goes away.
    virtual void LiberaMarcadores() = 0;

    virtual void MostraPagina(TPagina pagina) = 0;

    // The data drive was missing: the window closes and the program ends.
    virtual void FecharJanela() = 0;
};
