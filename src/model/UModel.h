#pragma once

// The ERP's rows as C++ objects, and the registry that finds their classes by name.
//
// Every model class is a plain struct named "T" + the full table name (TVEN_NOTAC), derived from
// TClasseBase, whose members are the table's columns in the ERP's declaration order. Each class is
// described exactly once (UModelColunas.inc: column name as the ERP spells it, property name,
// type name); the struct's members and its TClasseModel descriptor are both expanded from that one
// list, so they cannot drift apart. Build everything else from the descriptor, never from a second
// hand-written column list:
//
//   const TClasseModel& classe = EncontrarClasse(u"T" + PrefixoTabela(db) + NomeTabela(tabela));
//   std::unique_ptr<TClasseBase> obj = classe.Criar();      // every property at its initial value
//   for (const TPropriedade& p : classe.Propriedades()) {    // declaration order = column order
//       p.Coluna();     // "Codigo da Empresa": the name to quote in SQL and in DDL
//       p.Nome();       // "Codigo_da_Empresa": NomeCampoModel of the column
//       p.NomeTipo();   // "string", "Currency", "TDateTime" or "Integer"
//       p.Ler(*obj);    // QVariant of the property's type; p.Gravar(*obj, v) converts and stores
//       switch (p.Tipo()) { case TTipoPropriedade::Currency: p.Valor(*obj) ... } // no look-up, no variant
//   }
//   static_cast<TVEN_NOTAC&>(*obj).Numero_do_Documento = QStringLiteral("000123");  // callers that know the class
//
// By name, for code that only has a text: GetPropriedade(obj, "Nome") / SetPropriedade(obj, "Nome", v).
// Errors: EClassNotFound (unknown or unregistered class), EPropertyError (unknown property, a value
// that does not convert, a descriptor used on an object of another class). A failed set leaves the
// object untouched.

#include "Currency.h"
#include "TDateTime.h"
#include "uAttributes.h"
#include "uTipos.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <variant>
#include <vector>

class TClasseModel;

class TClasseBase
{
public:
    // Look-ups hand their objects to the caller as std::unique_ptr<TClasseBase>: deleting through
    // the base has to run the real class's destructor, or every text member of the row would leak.
    virtual ~TClasseBase() = default;

    // The object's own descriptor, so that by-name access and the DAO can reach its columns
    // without being told the class.
    virtual const TClasseModel& Classe() const = 0;

protected:
    TClasseBase() = default;
    TClasseBase(const TClasseBase&) = default;
    TClasseBase& operator=(const TClasseBase&) = default;
};

enum class TTipoPropriedade : uint8_t { String, Currency, TDateTime, Integer };

// "string", "Currency", "TDateTime", "Integer": the names the persistence switches on.
QString NomeTipo(TTipoPropriedade tipo);

// One column of a model class: its names, its type and the member that holds it.
class TPropriedade
{
public:
    template <class Classe>
    TPropriedade(const char* coluna, const char* nome, QString Classe::*membro)
        : TPropriedade(TInterno{}, coluna, nome, static_cast<QString TClasseBase::*>(membro))
    {
    }
    template <class Classe>
    TPropriedade(const char* coluna, const char* nome, Currency Classe::*membro)
        : TPropriedade(TInterno{}, coluna, nome, static_cast<Currency TClasseBase::*>(membro))
    {
    }
    template <class Classe>
    TPropriedade(const char* coluna, const char* nome, TDateTime Classe::*membro)
        : TPropriedade(TInterno{}, coluna, nome, static_cast<TDateTime TClasseBase::*>(membro))
    {
    }
    template <class Classe>
    TPropriedade(const char* coluna, const char* nome, int Classe::*membro)
        : TPropriedade(TInterno{}, coluna, nome, static_cast<int TClasseBase::*>(membro))
    {
    }

    const QString& Nome() const { return FNome; }
    // The column exactly as the ERP spells it (blanks, "/", "-", "." kept).
    const QString& Coluna() const { return FCampo.Name(); }
    const TCampoModel& Campo() const { return FCampo; }
    TTipoPropriedade Tipo() const { return TTipoPropriedade(FMembro.index()); }
    QString NomeTipo() const { return ::NomeTipo(Tipo()); }
    int Indice() const { return FIndice; }
    const TClasseModel& Classe() const { return *FClasse; }

    // The value as a QVariant holding QString, Currency, TDateTime or int.
    QVariant Ler(const TClasseBase& objeto) const;
    // Converts first and stores only a value that converted: EPropertyError names the property.
    void Gravar(TClasseBase& objeto, const QVariant& valor) const;
    // The value in this property's type, without storing it. A null variant gives the initial value
    // (empty, 0), which is what a NULL column means to the ERP.
    QVariant Converter(const QVariant& valor) const;
    void Limpar(TClasseBase& objeto) const;

    // Typed access for the hot paths; EPropertyError when the property is of another type.
    QString& Texto(TClasseBase& objeto) const;
    const QString& Texto(const TClasseBase& objeto) const;
    Currency& Valor(TClasseBase& objeto) const;
    Currency Valor(const TClasseBase& objeto) const;
    TDateTime& Data(TClasseBase& objeto) const;
    TDateTime Data(const TClasseBase& objeto) const;
    int& Inteiro(TClasseBase& objeto) const;
    int Inteiro(const TClasseBase& objeto) const;

private:
    friend class TClasseModel;
    using TMembro = std::variant<QString TClasseBase::*, Currency TClasseBase::*, TDateTime TClasseBase::*,
                                 int TClasseBase::*>;

    struct TInterno {};
    TPropriedade(TInterno, const char* coluna, const char* nome, TMembro membro)
        : FNome(QString::fromLatin1(nome)),
          FCampo(QString::fromLatin1(coluna), QString::fromLatin1(coluna), false),
          FMembro(membro)
    {
    }

    void ConfereObjeto(const TClasseBase& objeto) const;
    [[noreturn]] void ErroTipo(TTipoPropriedade pedido) const;
    template <class T>
    T& Membro(TClasseBase& objeto, TTipoPropriedade tipo) const;

    QString FNome;
    TCampoModel FCampo;
    TMembro FMembro;
    const TClasseModel* FClasse = nullptr;
    int FIndice = -1;
};

// The descriptor of one model class. One instance per class, alive for the whole program.
class TClasseModel
{
public:
    using TFabrica = std::unique_ptr<TClasseBase> (*)();

    TClasseModel(TTabelas tabela, bool colunasConhecidas, TFabrica fabrica,
                 std::vector<TPropriedade> propriedades);
    TClasseModel(const TClasseModel&) = delete;
    TClasseModel& operator=(const TClasseModel&) = delete;

    const QString& Nome() const { return FNome; }
    TTabelas Tabela() const { return FTabela; }
    TDiretorios Diretorio() const { return DiretorioTabela(FTabela); }
    // False for the classes whose columns this program does not know (they have none here).
    bool ColunasConhecidas() const { return FColunasConhecidas; }

    const std::vector<TPropriedade>& Propriedades() const { return FPropriedades; }
    int QtdPropriedades() const { return int(FPropriedades.size()); }
    const TPropriedade& Propriedade(int indice) const;  // EListError outside the list
    // Exact, case-sensitive, as the persistence pairs names.
    const TPropriedade* BuscaPropriedade(const QString& nome) const;
    const TPropriedade& PropriedadePorNome(const QString& nome) const;  // EPropertyError
    int IndicePropriedade(const QString& nome) const;  // -1 when absent
    QStringList NomesPropriedades() const;

    std::unique_ptr<TClasseBase> Criar() const { return FFabrica(); }

private:
    QString FNome;
    TTabelas FTabela;
    bool FColunasConhecidas;
    TFabrica FFabrica;
    std::vector<TPropriedade> FPropriedades;
    QHash<QString, int> FIndices;
};

// The property types by the names the column lists use.
namespace TiposModel {
using string = QString;
using Currency = ::Currency;
using TDateTime = ::TDateTime;
using Integer = int;
} // namespace TiposModel

#include "UModelColunas.inc"

#define TV_MODEL_MEMBRO(coluna, nome, tipo) TiposModel::tipo nome{};
#define TV_MODEL_CABECALHO(nome)                                       \
    static const TClasseModel& Descritor();                           \
    const TClasseModel& Classe() const override { return Descritor(); }

#define TV_MODEL_DECLARA_COLUNAS(nome)          \
    struct T##nome final : TClasseBase          \
    {                                           \
        TV_MODEL_CABECALHO(nome)                \
        TV_COLUNAS_##nome(TV_MODEL_MEMBRO)      \
    };
// The columns of these classes come from the ERP's table structures, which this program does not
// ship: nothing here reads or writes these tables, so the classes exist (the registry and the DAO
// name them) with no columns. A DAO over one of them maps no column at all.
#define TV_MODEL_DECLARA_VAZIA(nome)   \
    struct T##nome final : TClasseBase \
    {                                  \
        TV_MODEL_CABECALHO(nome)       \
    };
#define TV_MODEL_DECLARA_SEM(nome)
#define TV_TABELA(diretorio, nome, tipo) TV_MODEL_DECLARA_##tipo(nome)
#include "uTabelas.inc"
#undef TV_TABELA
#undef TV_MODEL_DECLARA_SEM
#undef TV_MODEL_DECLARA_VAZIA
#undef TV_MODEL_DECLARA_COLUNAS
#undef TV_MODEL_CABECALHO
#undef TV_MODEL_MEMBRO

// Registers every model class in TTabelas order; a second call changes nothing.
void RegistrarClasses();
// Empties the registry in the same order; a second call changes nothing.
void RemoverClasses();
bool ClassesRegistradas();
// The registered classes, in registration order.
std::vector<const TClasseModel*> ListaClasses();

// EClassNotFound naming the class when it is not registered.
const TClasseModel& EncontrarClasse(const QString& nome);
const TClasseModel* BuscaClasse(const QString& nome);  // nullptr when not registered
// The descriptor of a table's class, registered or not; nullptr for the tables without one.
const TClasseModel* ClasseDaTabela(TTabelas tabela);
std::unique_ptr<TClasseBase> CriarObjeto(const QString& nomeClasse);

// By-name access on any model object; EPropertyError naming the property.
QVariant GetPropriedade(const TClasseBase& objeto, const QString& nome);
void SetPropriedade(TClasseBase& objeto, const QString& nome, const QVariant& valor);
const std::vector<TPropriedade>& ListaPropriedades(const TClasseBase& objeto);
