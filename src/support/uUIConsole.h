#pragma once

#include "uUIPort.h"

#include <QStringList>

#include <optional>

// The headless front end's port: questions get a preset answer, messages go to standard error,
// the progress bar and cursor are quiet. Tests read back what was asked and shown.
class TUIConsole : public IUIPort
{
public:
    bool Pergunta(const QString& texto) override;
    void Mensagem(TTipoMensagem tipo, const QString& texto) override;
    bool PedeIntervalo(TDateTime& inicial, TDateTime& final) override;
    void ProgressoMaximo(int maximo) override { FMaximo = maximo; }
    void ProgressoPosicao(int posicao) override { FPosicao = posicao; }
    void ProgressoVisivel(bool visivel) override { FVisivel = visivel; }
    void CursorOcupado(bool ocupado) override { FOcupado = ocupado; }
    void ProcessarEventos() override;

    // Answers: the question's answer, and the interval choice (nullopt: keep what was proposed;
    // Cancelar: refuse).
    bool RespostaPergunta = true;
    bool CancelarIntervalo = false;
    std::optional<TDateTime> InicioEscolhido;
    bool Silencioso = false;  // no printing at all (tests)

    QStringList Perguntas;
    QStringList Mensagens;  // "<kind>: <text>"
    int FMaximo = 0;
    int FPosicao = 0;
    bool FVisivel = false;
    bool FOcupado = false;
};
