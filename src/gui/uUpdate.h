#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QToolButton;

// The notice that a newer version exists, with the picture that starts the installer's download.
class TfrmUpdate : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmUpdate(QWidget* AOwner = nullptr);

    QString Titulo() const { return FTitulo; }
    QString VesaoAtual() const { return FVersaoAtual; }
    QString NovaVersao() const { return FNovaVersao; }
    QString UrlUpdate() const { return FUrlUpdate; }
    void SetTitulo(const QString& valor);
    void SetVesaoAtual(const QString& valor);
    void SetNovaVersao(const QString& valor);
    void SetUrlUpdate(const QString& valor) { FUrlUpdate = valor; }

    QLabel* lbTitulo = nullptr;
    QLabel* cxLabel3 = nullptr;
    QLabel* lbVerAtual = nullptr;
    QLabel* lbNovaVersao = nullptr;
    QLabel* cxLabel4 = nullptr;
    QLabel* cxLabel5 = nullptr;
    QToolButton* cxImage3 = nullptr;
    QPushButton* cxbtnCancel = nullptr;

public slots:
    void cxImage3Click();
    void cxbtnCancelClick();

private:
    QString FTitulo;
    QString FVersaoAtual;
    QString FNovaVersao;
    QString FUrlUpdate;
};

// Whether the platform reports a working connection. Where Qt has no backend to ask, the answer
// is yes: the request itself then finds out, bounded by its time-outs.
bool ConectadoInternet();

// The update check. One object remembers whether it already ran, so the notice, whose closing
// re-activates the main window, cannot bring itself back within a run.
class TVerificaAtualizacao
{
public:
    enum class TResultado { JaVerificado, SemConexao, Falhou, EmDia, NovaVersao };

    TResultado Executa(const QString& UrlIni, const QString& UrlInstalador, const QString& Titulo);

    std::function<bool()> Conectado = ConectadoInternet;
    QString VersaoAtual;  // empty: the program's own version
    int TempoConexaoMs = 5000;
    int TempoLeituraMs = 5000;
    bool JaVerificou = false;
};

// The program's single check: silent on every failure, at most once per run.
void VerificaAtualizacao(const QString& UrlIni, const QString& UrlInstalador, const QString& Titulo);
