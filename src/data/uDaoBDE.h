#pragma once

#include "UModel.h"
#include "uMemTable.h"
#include "uQuery.h"
#include "uTipos.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

class IUIPort;

// The tables the logic works on: full name and bare name. The bare name is spelled out because
// the typed controller field is "dao" + it (daoNOTAC), and the preprocessor cannot cut a token.
// The database comes from the catalogue. Every DAO subclass and controller is expanded from here.
#define TV_TABELAS_DAO(X)      \
    X(CAD_CARTOES, CARTOES)    \
    X(CAD_CIDADES, CIDADES)    \
    X(CAD_CONTRDIA, CONTRDIA)  \
    X(CAD_DESTINAT, DESTINAT)  \
    X(CAD_EMPRESAS, EMPRESAS)  \
    X(CAD_REPRESEN, REPRESEN)  \
    X(CAD_SYSTABLE, SYSTABLE)  \
    X(CAD_TPDOCTOS, TPDOCTOS)  \
    X(CAD_TPPAGTO, TPPAGTO)    \
    X(CAD_USUARIOS, USUARIOS)  \
    X(EST_ITENS, ITENS)        \
    X(EST_SDESTQ, SDESTQ)      \
    X(VEN_CONDPGTO, CONDPGTO)  \
    X(VEN_DESTIN, DESTIN)      \
    X(VEN_ECF_C, ECF_C)        \
    X(VEN_ECF_S, ECF_S)        \
    X(VEN_ECF_T, ECF_T)        \
    X(VEN_NOTAC, NOTAC)        \
    X(VEN_NOTAI, NOTAI)        \
    X(VEN_NOTAV, NOTAV)        \
    X(VEN_RUXO_ECF, RUXO_ECF)  \
    X(VEN_RUXO_FP, RUXO_FP)    \
    X(VEN_P_CUPOM, P_CUPOM)    \
    X(VEN_TBPRCAB, TBPRCAB)    \
    X(VEN_TRANSPOR, TRANSPOR)

// Value parameters ("A" + the column's identifier, upper case) whose zero is written as an empty
// field. One list for every table and for both ways of binding (objects and staging records).
const QSet<QString>& ListaNuloQuandoZero();

// Upper case for the letters a to z only: the ERP's own texts keep their accented letters as typed.
QString MaiusculasAZ(const QString& texto);

// The ERP's persistence: one object per table writes every statement from the table's real
// columns and a model object's properties, binds the values by the ERP's null rules and runs it on
// the engine. It also carries the staging table `cdsTabela`, shaped like the table, where callers
// read many rows or buffer rows before inserting them.
//
// Every statement text depends only on the table, the class or staging shape, the operation and
// the condition fields, so each is written once, with the positions of its parameters, and loaded
// again from there: a DAO runs thousands of look-ups, inserts and updates without rebuilding a
// text or looking up a name. What the engine receives is the same text it would be written anew.
class TDaoBDE
{
public:
    // Reads the table's structure; an error doing so (folder, table or password) leaves the
    // constructor with it and nothing allocated.
    TDaoBDE(TDiretorios dataBase, TTabelas tabela);
    TDaoBDE(const TDaoBDE&) = delete;
    TDaoBDE& operator=(const TDaoBDE&) = delete;
    virtual ~TDaoBDE();

    // Changing them after construction redirects the statements; the structure read at
    // construction stays, as it did for the ERP's own objects.
    TTabelas Tabela() const { return FTabela; }
    void SetTabela(TTabelas tabela);
    TDiretorios DataBase() const { return FDataBase; }
    void SetDataBase(TDiretorios dataBase);
    const QStringList& LtEstruturaTabela() const { return FLtEstruturaTabela; }

    std::unique_ptr<TQuery> Query;
    std::unique_ptr<TMemTable> cdsTabela;

    bool Inserir(const TClasseBase& Obj);
    bool Inserir();
    bool Atualizar(const TClasseBase& Obj, const QStringList& Campos, const QVariantList& Valores);
    bool Atualizar(const QStringList& Campos, const QVariantList& Valores);
    virtual bool Excluir(const QStringList& Campos, const QVariantList& Valores);
    // Always a new object of the table's class, owned by the caller; when no row matched every
    // property keeps its initial value. EClassNotFound for a table without a model class.
    virtual std::unique_ptr<TClasseBase> BuscaValor(const QStringList& Campos, const QVariantList& Valores);
    // The same, typed for callers that know the class; EClassNotFound when T is not the table's.
    template <class T>
    std::unique_ptr<T> BuscaValorComo(const QStringList& Campos, const QVariantList& Valores)
    {
        std::unique_ptr<TClasseBase> obj = BuscaValor(Campos, Valores);
        if (&obj->Classe() != &T::Descritor())
            ErroClasse(T::Descritor());
        return std::unique_ptr<T>(static_cast<T*>(obj.release()));
    }
    void BuscaValores(const QStringList& Campos, const QVariantList& Valores, QByteArray& Dados, bool Recriar);
    void GetMax(const QString& Campo, const QStringList& Campos, const QVariantList& Valores, QVariant& Resultado);
    int NextNum(const QString& FieldName);
    // Five attempts, every failed one logged. A statement that fails for any other reason fails
    // the same way every time, so those attempts follow at once; after a failure because another
    // program holds the database locked, the next attempt waits a growing pause (EsperaTentativa)
    // on top of the session's bounded lock time, so that a lock held a few seconds by another
    // workstation does not fail the statement.
    bool ExecutaQuery();
    // Whether an error message is that of a database another program holds locked.
    static bool ErroDeTrava(const QString& mensagem);
    // A growing pause before attempt n (1 to 4; 150, 300, 600, 1200 ms), for callers that retry
    // something the engine does not wait for by itself, such as taking a transaction's lock.
    static void EsperaTentativa(int n);
    // The message of the last failed attempt of ExecutaQuery; empty after a success.
    const QString& UltimoErro() const { return FUltimoErro; }

    // Staging table.
    void Add(const TClasseBase& Obj);
    void AddFieldString(const QString& FldName, int FieldSize);
    void AddFieldDate(const QString& FldName);
    void AddFieldInteger(const QString& FldName);
    void AddFieldFloat(const QString& FldName);
    void AddFieldBoolean(const QString& FldName);
    void AddFieldLookup(const QString& FldName, int FldSize, const QString& FldKey, TMemTable* LkpDataSet,
                        const QString& LkpKeyFields, const QString& LkpResultField);
    // `ProgressBar` may be null; when given it shows the walk and lets pending events run.
    void MontaLookup(TMemTable& DataSet, const QStringList& Chaves, IUIPort* ProgressBar,
                     const QStringList& CamposCopia);
    // Close, create anew from the definitions; on an error empty and open instead. Never raises.
    void RecriaDataSet();

    // The building blocks, public because the import's diagnostics and the tests use them.
    // The column of property P, or empty after one red log line.
    QString BuscaCampo(const QString& P);
    static void AjustaUltimaLinha(QStringList& linhas, QChar X);
    void SetParams(TQuery& query, const QStringList& Campos, const QVariantList& Valores);

    // The statement text of the last GetMax / NextNum, for traces and tests.
    QStringList UltimoSqlAuxiliar() const { return FSqlAuxiliar; }

protected:
    [[noreturn]] void ErroClasse(const TClasseModel& pedida) const;
    void Inicializa();
    void Finaliza();
    void CarregaEstrutura();
    void RecriaEstrutura();
    void CopiaRegistros();

private:
    struct TColuna
    {
        QString Nome;      // as the engine reports it
        QString NomeModel; // NomeCampoModel of it
        char Tipo;         // 'S', 'I', 'F', 'D'
        int Tamanho;
    };
    enum class TLigacao : uint8_t { Texto, DataHora, Real, Inteiro, Nenhuma };
    struct TValorPlano
    {
        int Propriedade;   // index in the class, or the staging field
        int Coluna;        // index in FColunas
        QString Parametro; // "a" + identifier
        TLigacao Ligacao;
        bool NuloQuandoZero;
        int IndiceParametro = -1;
        int IndiceCampoQuery = -1;  // BuscaValor: the column's position in the answer
        QString NomeCampoQuery;     // and the answer's field name there, as last confirmed
    };
    struct TPlano
    {
        const void* Origem = nullptr;  // the class descriptor, or the staging table
        int Versao = -1;
        std::vector<TValorPlano> Valores;
        QStringList Faltantes;  // property names without a column, in order
        QStringList LinhasInsert;
        QStringList LinhasSet;   // "update" head and the set lines, trailing separator fixed
        std::shared_ptr<TTextoSQL> Insert;  // LinhasInsert as the query loads them
        // The translation IndiceParametro of the values was found in.
        std::shared_ptr<const TTraducao> Traducao;
        quint64 Geracao = 0;  // a new number every time the plan is built
    };
    // A statement with conditions (or none), by what its text depends on besides the table.
    enum class TOperacao : uint8_t { Busca, Exclusao, Maximo, Atualizacao };
    struct TComandoDao
    {
        TOperacao Operacao = TOperacao::Busca;
        QString Coluna;            // Maximo: the column
        quint64 GeracaoPlano = 0;  // Atualizacao: the plan whose set lines it starts with
        QStringList Campos;
        int Versao = -1;           // FVersaoEstrutura it was written under
        std::shared_ptr<TTextoSQL> Texto;
        QStringList Parametros;    // "p" + NomeCampoModel of each condition, in order
        std::vector<int> Indices;  // their positions in Traducao; -1 when it has none of the name
        std::shared_ptr<const TTraducao> Traducao;
    };

    void AdicionaColuna(const QString& nome, TFieldType tipo, int tamanho);
    void DefineCampoStaging(TMemTable& tabela, const QString& nome, TFieldType tipo, int tamanho);
    int IndiceColuna(const QString& P) const;
    void LogaDiferenca(const QString& P) const;
    TPlano& PlanoObjeto(const TClasseModel& classe);
    TPlano& PlanoStaging();
    void MontaLinhas(TPlano& plano) const;
    void ResolveParametros(TPlano& plano);
    void LigaPropriedade(TParam& param, const TValorPlano& v, const TPropriedade& p, const TClasseBase& obj);
    void LigaCampo(TParam& param, const TValorPlano& v, const TCampoMem& campo);
    void LigaCondicao(TParam& param, const QVariant& valor);
    void NovoTexto(TQuery& query) const;
    static void LinhasCondicao(QStringList& linhas, const QStringList& Campos, const QString& tabela,
                               QStringList* parametros);
    TComandoDao& Comando(TOperacao operacao, const QStringList& Campos, const QString& coluna = {},
                         const TPlano* plano = nullptr);
    void CarregaComando(TQuery& query, const TComandoDao& comando) const;
    void LigaCondicoes(TQuery& query, TComandoDao& comando, const QVariantList& Valores);
    const TClasseModel& ClasseDaTabela();
    void CarregaInsert(const TPlano& plano);
    TQuery& QueryAuxiliar();
    QString Referencia() const;          // ":A:T" in double quotes
    QString Coluna(const QString& C) const;  // T."C"

    QStringList FLtEstruturaTabela;
    TTabelas FTabela;
    TDiretorios FDataBase;

    std::vector<TColuna> FColunas;
    QHash<QString, int> FIndiceColunas;  // NomeModel -> first column of that identifier
    QString FUltimoErro;
    int FVersaoEstrutura = 0;            // grows with every change of columns or staging fields
    QString FNomeTabela;
    QString FAlias;
    std::vector<std::unique_ptr<TPlano>> FPlanos;
    std::unique_ptr<TPlano> FPlanoStaging;
    quint64 FGeracaoPlanos = 0;
    // The insert text `Query` holds, as (plan generation, text version) when it was loaded: an
    // insert that finds its own text still there skips writing it again, which is what lets the
    // engine reuse the prepared statement without re-reading the text.
    quint64 FGeracaoCarregada = 0;
    quint64 FVersaoCarregada = 0;
    // Add: staging field of each property of the class last added, for the staging shape it was
    // worked out for.
    const TClasseModel* FClasseAdd = nullptr;
    int FVersaoAdd = -1;
    std::vector<int> FCamposAdd;
    std::unique_ptr<TQuery> FQueryAuxiliar;
    QStringList FSqlAuxiliar;
    std::vector<std::unique_ptr<TComandoDao>> FComandos;
    // BuscaValor's class, for the table and database of FVersaoClasse.
    const TClasseModel* FClasse = nullptr;
    int FVersaoClasse = -1;
};

// What a table's DAO adds to the generic one; only CAD_CONTRDIA adds anything.
template <TTabelas Tab>
class TDaoBDEDe : public TDaoBDE
{
public:
    TDaoBDEDe() : TDaoBDE(DiretorioTabela(Tab), Tab) {}
};

template <>
class TDaoBDEDe<ttbCAD_CONTRDIA> : public TDaoBDE
{
public:
    TDaoBDEDe() : TDaoBDE(DiretorioTabela(ttbCAD_CONTRDIA), ttbCAD_CONTRDIA) {}
    // The next daily control number: the largest stored one plus one, six digits zero-filled
    // (a longer number stays whole). The numbers are texts, so they must keep one width for the
    // largest text to be the largest number.
    void GeraId(QString& Numero);
    QString GeraId();
};

// One data access class per table in use, fixed to its database and table. `Busca` is
// BuscaValor typed with the table's model class.
#define TV_DECLARA_DAO(completo, nua)                                                          \
    class T##completo##DaoBDE : public TDaoBDEDe<ttb##completo>                                \
    {                                                                                          \
    public:                                                                                    \
        using TModelo = T##completo;                                                           \
        std::unique_ptr<TModelo> Busca(const QStringList& Campos, const QVariantList& Valores) \
        {                                                                                      \
            return BuscaValorComo<TModelo>(Campos, Valores);                                   \
        }                                                                                      \
    };
TV_TABELAS_DAO(TV_DECLARA_DAO)
#undef TV_DECLARA_DAO
