#pragma once

#include "uLog.h"

#include <QString>

#include <cstdio>

// The headless program's screen: each finished line goes to a stream (standard output by
// default), coloured with ANSI sequences only when the stream is a terminal, so a redirected
// log stays plain text. Printed lines cannot be taken back; the line count only mirrors what a
// screen would hold, so the log's trim behaves the same as on the desktop.
class TSaidaConsole : public ITelaLog
{
public:
    explicit TSaidaConsole(std::FILE* saida = stdout);
    // Forces colours on or off, whatever the stream is.
    TSaidaConsole(std::FILE* saida, bool cores);
    ~TSaidaConsole() override;

    int QuantidadeLinhas() const override { return FLinhas; }
    void ApagaPrimeiraLinha() override;
    void NovaLinha() override;
    void Insere(const QString& texto, uint cor) override;
    uint CorPadrao() const override { return CorDoTerminal; }
    void Limpa() override;
    void LinhaConcluida() override;

    bool Cores() const { return FCores; }

    // Stands for "whatever the terminal uses": such pieces are written without a colour code.
    static constexpr uint CorDoTerminal = 0xFFFFFFFF;

private:
    void Escreve();

    std::FILE* FSaida;
    bool FCores;
    int FLinhas = 0;
    QString FPendente;
    bool FAberta = false;
};
