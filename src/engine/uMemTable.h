#pragma once

#include "TDateTime.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

// The in-memory table that stands where the ERP code kept its client data sets: the staging rows
// of every data access object and the desktop's file list. Records live in insertion order; an
// index by field names only changes the order they are walked in, so clearing it gives the
// insertion order back, as the code written against the old data set expects.

class TMemTable;

enum class TTipoCampoMem { Texto, Inteiro, Real, Data, Logico };

// A field definition: what a re-creation builds the fields from.
struct TDefCampoMem
{
    QString Nome;
    TTipoCampoMem Tipo = TTipoCampoMem::Texto;
    int Tamanho = 0;  // texts only

    // A lookup field keeps no value of its own: it shows `CampoResultado` of the record of
    // `TabelaLookup` whose `CamposChaveLookup` equal this record's `CamposChave`.
    bool Lookup = false;
    QString CamposChave;        // ";"-joined, in this table
    QPointer<TMemTable> TabelaLookup;  // a lookup table that goes away leaves the field null
    QString CamposChaveLookup;  // ";"-joined, in the lookup table
    QString CampoResultado;
};

class TCampoMem
{
public:
    const QString& Nome() const { return FDef.Nome; }
    TTipoCampoMem Tipo() const { return FDef.Tipo; }
    int Tamanho() const { return FDef.Tamanho; }
    bool Lookup() const { return FDef.Lookup; }
    const TDefCampoMem& Def() const { return FDef; }
    int Indice() const { return FIndice; }

    // The current record's value: a null QVariant, or a QString, int, double, TDateTime or bool
    // by the field's type.
    QVariant Valor() const;
    bool IsNull() const;
    QString AsString() const;    // "" for null
    int AsInteger() const;       // 0 for null; EConvertError for a text that is no number
    double AsFloat() const;      // 0 for null
    TDateTime AsDateTime() const;  // 0 for null
    bool AsBoolean() const;      // false for null

    // Writing needs the table in editing or inserting. The value is converted to the field's
    // type (EConvertError when it cannot be); a text longer than the field is cut to its size;
    // a date keeps its calendar day only. An invalid QVariant or an empty text clears the field.
    void SetValor(const QVariant& valor);
    void SetAsString(const QString& valor) { SetValor(QVariant(valor)); }
    void SetAsInteger(int valor) { SetValor(QVariant(valor)); }
    void SetAsFloat(double valor) { SetValor(QVariant(valor)); }
    void SetAsDateTime(TDateTime valor) { SetValor(QVariant::fromValue(valor)); }
    void SetAsBoolean(bool valor) { SetValor(QVariant(valor)); }
    void Clear() { SetValor(QVariant()); }

private:
    friend class TMemTable;
    TCampoMem(TMemTable* tabela, TDefCampoMem def, int indice, int slot)
        : FTabela(tabela), FDef(std::move(def)), FIndice(indice), FSlot(slot) {}

    TMemTable* FTabela;
    TDefCampoMem FDef;
    int FIndice;
    int FSlot;  // position in the record, -1 for a lookup field
};

class TMemTable : public QObject
{
    Q_OBJECT

public:
    enum class TEstado { Inativo, Navegando, Editando, Inserindo };
    enum TOpcaoLocate { loNenhuma = 0, loCaseInsensitive = 1, loPartialKey = 2 };

    explicit TMemTable(QObject* parent = nullptr);
    ~TMemTable() override;

    // Definitions. Changing them does not touch the live fields until the next CreateDataSet.
    std::vector<TDefCampoMem>& FieldDefs() { return FDefs; }
    const std::vector<TDefCampoMem>& FieldDefs() const { return FDefs; }
    void AdicionaDef(TDefCampoMem def) { FDefs.push_back(std::move(def)); }

    // Builds the fields from the definitions and opens the table empty. Two definitions of one
    // name (case does not matter, as field look-up ignores it) raise EDatabaseError and leave the
    // table as it was.
    void CreateDataSet();
    // Opens again with the fields the table already has, keeping what records it holds.
    void Open();
    // Drops the records; fields and definitions stay.
    void Close();
    bool Active() const { return FEstado != TEstado::Inativo; }
    TEstado State() const { return FEstado; }

    // A lookup field added to the live fields at once (no re-creation), and remembered in the
    // definitions so that a later re-creation keeps it.
    TCampoMem& AdicionaCampoLookup(const TDefCampoMem& def);

    int FieldCount() const { return int(FCampos.size()); }
    // Grows whenever the live fields are rebuilt or added to, so that code caching field
    // positions knows when to look again.
    int VersaoCampos() const { return FVersaoCampos; }
    TCampoMem& Fields(int indice);
    const TCampoMem& Fields(int indice) const;
    TCampoMem* FindField(const QString& nome) const;  // case-insensitive; nullptr when missing
    TCampoMem& FieldByName(const QString& nome) const;  // EFieldNotFound naming the field
    QStringList NomesCampos() const;

    // Records.
    void Append();
    void Edit();  // on an empty table it appends, as the old data set did
    void Post();
    void Cancel();
    void Delete();
    void EmptyDataSet();

    // Moving posts a pending edit first.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    bool IsEmpty() const { return FOrdem.empty(); }
    int RecordCount() const { return int(FOrdem.size()); }
    int RecNo() const;  // 1-based position in the walking order; 0 when there is none
    void SetRecNo(int recNo);

    // Finds the first record, in walking order, whose fields (";"-joined names) equal the
    // values, and makes it current. Texts compare as texts; other types after conversion to the
    // field's type.
    bool Locate(const QString& campos, const QVariantList& valores, int opcoes = loNenhuma);
    bool Locate(const QString& campo, const QVariant& valor, int opcoes = loNenhuma)
    {
        return Locate(campo, QVariantList{valor}, opcoes);
    }
    // The value of `campoResultado` in the first matching record, without moving the cursor.
    QVariant Lookup(const QString& campos, const QVariantList& valores,
                    const QString& campoResultado) const;

    // ";"-joined field names; empty clears the index. Equal keys keep their insertion order.
    void SetIndexFieldNames(const QString& campos);
    const QString& IndexFieldNames() const { return FIndexFieldNames; }

    // While disabled (calls nest), the table tells its views nothing; enabling it again tells
    // them once that everything may have changed.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDesabilitado > 0; }

    // The whole content (data field definitions and records in insertion order), and back.
    QByteArray Dados() const;
    void CarregaDados(const QByteArray& dados);  // EDatabaseError when the packet is not ours

    // The value of field `indice` in the record at position `linha` of the walking order, for
    // the grid adapter.
    QVariant ValorEm(int linha, int indice) const;

signals:
    void Reiniciado();              // fields or the set of records changed
    void LinhaAlterada(int linha);  // one record's values changed in place

private:
    friend class TCampoMem;
    using TRegistro = std::vector<QVariant>;

    void CriaCampos(const std::vector<TDefCampoMem>& defs);
    void ExigeAtivo() const;
    void PostSeEditando();
    void AjustaLimites();
    const TRegistro* RegistroAtual() const;
    QVariant ValorLookup(const TCampoMem& campo, const TRegistro* registro) const;
    QVariant LeValor(const TCampoMem& campo, const TRegistro* registro) const;
    std::vector<TCampoMem*> CamposDe(const QString& nomes) const;
    bool Menor(int a, int b) const;  // records a and b by the index
    int PosicaoOrdenada(int registro) const;
    void Avisa(int linha = -1);

    std::vector<TDefCampoMem> FDefs;
    std::vector<std::unique_ptr<TCampoMem>> FCampos;
    QHash<QString, int> FNomes;  // exact spelling -> field; other spellings fall back to a walk
    int FSlots = 0;
    int FVersaoCampos = 0;
    std::vector<TRegistro> FRegistros;  // insertion order; deleted ones are compacted away
    std::vector<int> FOrdem;            // walking order: indices into FRegistros
    TRegistro FBuffer;                  // the record being edited or appended
    int FAtual = -1;                    // position in FOrdem
    bool FEof = true;
    bool FBof = true;
    TEstado FEstado = TEstado::Inativo;
    QString FIndexFieldNames;
    std::vector<TCampoMem*> FCamposIndice;
    int FDesabilitado = 0;
    bool FPendente = false;
};

// The order an index walks values of a field type in: nulls first, texts case-sensitive.
int ComparaValoresMem(TTipoCampoMem tipo, const QVariant& a, const QVariant& b);

// The field-definition helpers the data access code uses to shape a staging table.
void AdicionaCampoTexto(TMemTable& tabela, const QString& nome, int tamanho);
void AdicionaCampoData(TMemTable& tabela, const QString& nome);
void AdicionaCampoInteiro(TMemTable& tabela, const QString& nome);
void AdicionaCampoReal(TMemTable& tabela, const QString& nome);
void AdicionaCampoLogico(TMemTable& tabela, const QString& nome);
// Posts the current record when the table is editing or inserting.
void GravaSeEditando(TMemTable& tabela);
