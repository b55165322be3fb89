#include "uController.h"

#include "uErros.h"

TBaseController::~TBaseController()
{
    BeforeDestruction();
}

void TBaseController::AfterConstruction()
{
    if (FDao && FDao->cdsTabela)
        FDao->RecriaDataSet();
}

void TBaseController::BeforeDestruction()
{
    std::unique_ptr<TDaoBDE> dao = std::move(FDao);
    FDao.reset();
    dao.reset();
}

void TControladoresCompartilhados::CriaPasso(int passo)
{
    switch (passo) {
#define TV_CRIA(n, completo)                                             \
    case n:                                                              \
        if (!completo)                                                   \
            completo = std::make_unique<T##completo##Controller>();      \
        return;
        TV_CONTROLADORES_COMPARTILHADOS(TV_CRIA)
#undef TV_CRIA
    default:
        throw EListError(QStringLiteral("Controlador compartilhado %1 inexistente").arg(passo));
    }
}

void TControladoresCompartilhados::CriaTodos(const std::function<void(int)>& depoisDoPasso)
{
    for (int passo = 0; passo < Quantidade; ++passo) {
        CriaPasso(passo);
        if (depoisDoPasso)
            depoisDoPasso(passo);
    }
}

void TControladoresCompartilhados::Libera()
{
#define TV_LIBERA(n, completo) completo.reset();
    TV_CONTROLADORES_COMPARTILHADOS(TV_LIBERA)
#undef TV_LIBERA
    VEN_ECF_C.reset();
}

TBaseController* TControladoresCompartilhados::Slot(int passo) const
{
    switch (passo) {
#define TV_SLOT(n, completo) \
    case n:                  \
        return completo.get();
        TV_CONTROLADORES_COMPARTILHADOS(TV_SLOT)
#undef TV_SLOT
    default:
        return nullptr;
    }
}

bool TControladoresCompartilhados::Completo() const
{
    for (int passo = 0; passo < Quantidade; ++passo)
        if (!Slot(passo))
            return false;
    return true;
}
