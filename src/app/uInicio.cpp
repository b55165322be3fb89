#include "uInicio.h"

#include "UModel.h"
#include "uDM_BDE.h"

TInicioPrograma::TInicioPrograma(const QStringList& argumentos)
{
    RegistrarClasses();
    try {
        FDM = std::make_unique<TDM_BDE>(argumentos);
    } catch (...) {
        RemoverClasses();
        throw;
    }
}

TInicioPrograma::~TInicioPrograma()
{
    FDM.reset();
    RemoverClasses();
}
