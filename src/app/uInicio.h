#pragma once

#include <QStringList>

#include <memory>

class TDM_BDE;

// What runs before the program body, in its order: the model classes are registered, then the
// database data module prepares the engine session from the first argument (the data drive).
// Destroying it undoes both, the data module first. Both front ends hold one for the whole run.
class TInicioPrograma
{
public:
    // A data drive that is missing leaves Sys_.Fechar set (the main window's first activation
    // then closes it); an engine error leaves the constructor as an exception.
    explicit TInicioPrograma(const QStringList& argumentos);
    ~TInicioPrograma();
    TInicioPrograma(const TInicioPrograma&) = delete;
    TInicioPrograma& operator=(const TInicioPrograma&) = delete;

    TDM_BDE& DataModule() { return *FDM; }

private:
    std::unique_ptr<TDM_BDE> FDM;
};
