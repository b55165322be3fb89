#pragma once

#include "uDaoBDE.h"

#include <functional>
#include <memory>

class IUIPort;

// The owner of one table's data access object. The rest of the program never builds a DAO
// itself: it constructs the table's controller and uses its typed field ("dao" + bare name).
// A controller exists only fully built; when its table cannot be read the constructor fails and
// nothing of it stays allocated.
class TBaseController
{
public:
    TBaseController(const TBaseController&) = delete;
    TBaseController& operator=(const TBaseController&) = delete;
    virtual ~TBaseController();

    TDaoBDE* Dao() const { return FDao.get(); }
    // Takes the object over; the typed field of a per-table controller is not changed by it.
    void SetDao(std::unique_ptr<TDaoBDE> dao) { FDao = std::move(dao); }
    // Nothing sets it today; it is kept for code that wants to show a controller's progress.
    IUIPort* ProgressBar() const { return FProgressBar; }
    void SetProgressBar(IUIPort* progresso) { FProgressBar = progresso; }

protected:
    TBaseController() = default;
    // Re-creates the DAO's staging table, so that a new controller hands out an empty, open one.
    virtual void AfterConstruction();
    // Frees the DAO (its query, staging table and structure list with it).
    virtual void BeforeDestruction();

    std::unique_ptr<TDaoBDE> FDao;
    IUIPort* FProgressBar = nullptr;
};

// What a table's controller adds to the base; only CAD_CONTRDIA adds anything.
template <TTabelas Tab>
class TBaseControllerDe : public TBaseController
{
};

template <>
class TBaseControllerDe<ttbCAD_CONTRDIA> : public TBaseController
{
public:
    // The session user's control number of today, creating the day's record when missing. It is
    // defined with the rest of the daily numbering, beside the coupon import.
    static QString NumeroControleDia(const QString& Chapa);
};

#define TV_DECLARA_CONTROLLER(completo, nua)                                \
    class T##completo##Controller : public TBaseControllerDe<ttb##completo> \
    {                                                                       \
    public:                                                                 \
        T##completo##Controller() { AfterConstruction(); }                  \
        T##completo##DaoBDE* dao##nua = nullptr;                            \
                                                                            \
    protected:                                                              \
        void AfterConstruction() override                                   \
        {                                                                   \
            auto dao = std::make_unique<T##completo##DaoBDE>();             \
            dao##nua = dao.get();                                           \
            FDao = std::move(dao);                                          \
            TBaseController::AfterConstruction();                           \
        }                                                                   \
    };
TV_TABELAS_DAO(TV_DECLARA_CONTROLLER)
#undef TV_DECLARA_CONTROLLER

// The shared controllers the coupon import works with, in their warm-up order (steps 0 to 13).
#define TV_CONTROLADORES_COMPARTILHADOS(X) \
    X(0, CAD_DESTINAT)                     \
    X(1, CAD_CIDADES)                      \
    X(2, CAD_CARTOES)                      \
    X(3, CAD_REPRESEN)                     \
    X(4, CAD_TPPAGTO)                      \
    X(5, VEN_CONDPGTO)                     \
    X(6, VEN_NOTAC)                        \
    X(7, VEN_NOTAI)                        \
    X(8, VEN_NOTAV)                        \
    X(9, VEN_RUXO_FP)                      \
    X(10, VEN_TBPRCAB)                     \
    X(11, EST_ITENS)                       \
    X(12, CAD_TPDOCTOS)                    \
    X(13, EST_SDESTQ)

// The session's shared controller slots: empty when made, filled by the warm-up at activation,
// emptied at close. Headless runs own one the same way as the main window does.
class TControladoresCompartilhados
{
public:
    static constexpr int Quantidade = 14;

#define TV_SLOT(passo, completo) std::unique_ptr<T##completo##Controller> completo;
    TV_CONTROLADORES_COMPARTILHADOS(TV_SLOT)
#undef TV_SLOT
    // The day-closing check of the coupon import builds its own VEN_ECF_C controller here and
    // releases it again; it is not part of the warm-up.
    std::unique_ptr<TVEN_ECF_CController> VEN_ECF_C;

    TControladoresCompartilhados() = default;
    TControladoresCompartilhados(const TControladoresCompartilhados&) = delete;
    TControladoresCompartilhados& operator=(const TControladoresCompartilhados&) = delete;

    // Creates the controller of step `passo` (0..13) when its slot is empty; an error building
    // it goes to the caller and leaves the slot empty.
    void CriaPasso(int passo);
    // Every step in order; `depoisDoPasso(passo)` runs after each one (progress, pending events).
    void CriaTodos(const std::function<void(int)>& depoisDoPasso = {});
    // Destroys every controller that exists and empties its slot.
    void Libera();
    TBaseController* Slot(int passo) const;  // nullptr while empty
    bool Completo() const;
};
