#include "uMemTable.h"
#include "uMemTableModel.h"

#include "Currency.h"
#include "uErros.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

// The shape of the desktop's file list, plus a value and a date column.
void Define(TMemTable& t)
{
    AdicionaCampoInteiro(t, "INDICE");
    AdicionaCampoTexto(t, "NOME", 8);
    AdicionaCampoLogico(t, "EXECUTANDO");
    AdicionaCampoReal(t, "VALOR");
    AdicionaCampoData(t, "DATA");
    t.CreateDataSet();
}

void Adiciona(TMemTable& t, int indice, const QString& nome, double valor = 0)
{
    t.Append();
    t.FieldByName("INDICE").SetAsInteger(indice);
    t.FieldByName("NOME").SetAsString(nome);
    t.FieldByName("VALOR").SetAsFloat(valor);
    t.Post();
}

QStringList Nomes(TMemTable& t)
{
    QStringList nomes;
    for (t.First(); !t.Eof(); t.Next())
        nomes << t.FieldByName("NOME").AsString();
    return nomes;
}

}  // namespace

TEST(MemTable, AppendPostWalkAndCount)
{
    TMemTable t;
    Define(t);
    EXPECT_TRUE(t.IsEmpty());
    t.First();
    EXPECT_TRUE(t.Eof());
    Adiciona(t, 1, "A");
    Adiciona(t, 2, "B");
    Adiciona(t, 3, "C");
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(Nomes(t), (QStringList{"A", "B", "C"}));
    t.Last();
    EXPECT_EQ(t.RecNo(), 3);
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("INDICE").AsInteger(), 3);
}

TEST(MemTable, EditCancelDeleteAndAutoPostOnMove)
{
    TMemTable t;
    Define(t);
    Adiciona(t, 1, "A");
    Adiciona(t, 2, "B");
    t.First();
    t.Edit();
    t.FieldByName("NOME").SetAsString("X");
    t.Cancel();
    EXPECT_EQ(t.FieldByName("NOME").AsString(), "A");

    t.Edit();
    t.FieldByName("NOME").SetAsString("Y");
    t.Next();  // moving posts the pending edit
    EXPECT_EQ(Nomes(t), (QStringList{"Y", "B"}));

    t.Append();
    t.FieldByName("NOME").SetAsString("Z");
    t.Cancel();
    EXPECT_EQ(t.RecordCount(), 2);

    t.First();
    t.Delete();
    EXPECT_EQ(Nomes(t), QStringList{"B"});
    t.EmptyDataSet();
    EXPECT_TRUE(t.IsEmpty());
    EXPECT_TRUE(t.Active());
}

TEST(MemTable, WritingOutsideEditingIsRefused)
{
    TMemTable t;
    Define(t);
    Adiciona(t, 1, "A");
    EXPECT_THROW(t.FieldByName("NOME").SetAsString("B"), EDatabaseError);
    t.Close();
    EXPECT_THROW(t.Append(), EDatabaseError);
}

TEST(MemTable, UnknownFieldNamesTheField)
{
    TMemTable t;
    Define(t);
    try {
        t.FieldByName("Codigo_Inexistente");
        FAIL() << "no error";
    } catch (const EFieldNotFound& e) {
        EXPECT_TRUE(e.Message().contains("Codigo_Inexistente")) << e.Message().toStdString();
    }
    EXPECT_EQ(t.FindField("Codigo_Inexistente"), nullptr);
    EXPECT_NE(t.FindField("nome"), nullptr);  // look-up ignores case
}

TEST(MemTable, ValuesAreKeptInTheFieldsType)
{
    TMemTable t;
    Define(t);
    t.Append();
    t.FieldByName("NOME").SetAsString("ABCDEFGHIJ");  // longer than the field
    t.FieldByName("INDICE").SetValor(QString("42"));
    t.FieldByName("VALOR").SetValor(QVariant::fromValue(Currency::FromRaw(12345)));
    t.FieldByName("DATA").SetAsDateTime(TDateTime::Encode(2024, 3, 5, 14, 30));
    t.FieldByName("EXECUTANDO").SetAsBoolean(true);
    t.Post();
    EXPECT_EQ(t.FieldByName("NOME").AsString(), "ABCDEFGH");
    EXPECT_EQ(t.FieldByName("INDICE").Valor().metaType().id(), QMetaType::Int);
    EXPECT_EQ(t.FieldByName("INDICE").AsInteger(), 42);
    EXPECT_DOUBLE_EQ(t.FieldByName("VALOR").AsFloat(), 1.2345);
    EXPECT_EQ(t.FieldByName("DATA").AsDateTime(), TDateTime::Encode(2024, 3, 5));  // the day only
    EXPECT_TRUE(t.FieldByName("EXECUTANDO").AsBoolean());

    t.Edit();
    EXPECT_THROW(t.FieldByName("INDICE").SetValor(QString("doze")), EConvertError);
    t.FieldByName("NOME").SetAsString("");
    t.FieldByName("VALOR").Clear();
    t.Post();
    EXPECT_TRUE(t.FieldByName("NOME").IsNull());
    EXPECT_TRUE(t.FieldByName("VALOR").IsNull());
    EXPECT_EQ(t.FieldByName("INDICE").AsInteger(), 42);
}

TEST(MemTable, LocateMovesToTheFirstMatch)
{
    TMemTable t;
    Define(t);
    Adiciona(t, 1, "ALFA");
    Adiciona(t, 2, "BETA");
    Adiciona(t, 2, "GAMA");
    ASSERT_TRUE(t.Locate("INDICE", 2));
    EXPECT_EQ(t.FieldByName("NOME").AsString(), "BETA");
    ASSERT_TRUE(t.Locate("INDICE;NOME", QVariantList{QString("2"), QString("GAMA")}));
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_FALSE(t.Locate("NOME", QString("gama")));
    EXPECT_EQ(t.RecNo(), 3);  // a miss leaves the cursor where it was
    EXPECT_TRUE(t.Locate("NOME", QString("gam"), TMemTable::loCaseInsensitive | TMemTable::loPartialKey));
    EXPECT_FALSE(t.Locate("INDICE", QString("x")));
}

TEST(MemTable, IndexOrdersTheWalkAndClearingRestoresInsertionOrder)
{
    TMemTable t;
    Define(t);
    Adiciona(t, 2, "B1");
    Adiciona(t, 1, "A1");
    Adiciona(t, 2, "B2");
    t.SetIndexFieldNames("INDICE;VALOR");
    EXPECT_EQ(Nomes(t), (QStringList{"A1", "B1", "B2"}));  // equal keys in insertion order
    Adiciona(t, 0, "Z0");  // a new record lands at its place in the index
    EXPECT_EQ(Nomes(t), (QStringList{"Z0", "A1", "B1", "B2"}));
    t.Locate("NOME", QString("A1"));
    t.Edit();
    t.FieldByName("INDICE").SetAsInteger(9);
    t.Post();
    EXPECT_EQ(t.FieldByName("NOME").AsString(), "A1");  // the cursor follows the record
    EXPECT_EQ(t.RecNo(), 4);
    t.SetIndexFieldNames("");
    EXPECT_EQ(Nomes(t), (QStringList{"B1", "A1", "B2", "Z0"}));
    EXPECT_THROW(t.SetIndexFieldNames("INDICE;FALTA"), EFieldNotFound);
}

TEST(MemTable, RefusedRecreationLeavesTheTableUsable)
{
    TMemTable t;
    Define(t);
    Adiciona(t, 1, "A");
    AdicionaCampoTexto(t, "nome", 10);  // same name as NOME, other case
    EXPECT_THROW(t.CreateDataSet(), EDatabaseError);
    EXPECT_EQ(t.FieldCount(), 5);
    EXPECT_EQ(t.RecordCount(), 1);
    t.EmptyDataSet();
    t.Open();
    EXPECT_TRUE(t.Active());
    EXPECT_TRUE(t.IsEmpty());
}

TEST(MemTable, DisabledControlsTellViewsOnceAtTheEnd)
{
    TMemTable t;
    Define(t);
    QSignalSpy reinicios(&t, &TMemTable::Reiniciado);
    t.DisableControls();
    t.DisableControls();
    Adiciona(t, 1, "A");
    Adiciona(t, 2, "B");
    t.EnableControls();
    EXPECT_EQ(reinicios.count(), 0);  // still disabled by the outer call
    t.EnableControls();
    EXPECT_EQ(reinicios.count(), 1);
    EXPECT_FALSE(t.ControlsDisabled());
}

TEST(MemTable, SnapshotCarriesFieldsAndRecords)
{
    TMemTable t;
    Define(t);
    Adiciona(t, 7, "SETE", 7.25);
    t.Append();
    t.FieldByName("DATA").SetAsDateTime(TDateTime::Encode(2023, 12, 31));
    t.FieldByName("EXECUTANDO").SetAsBoolean(false);
    t.Post();

    TMemTable copia;
    copia.CarregaDados(t.Dados());
    EXPECT_EQ(copia.NomesCampos(), t.NomesCampos());
    EXPECT_EQ(copia.FieldByName("NOME").Tamanho(), 8);
    ASSERT_EQ(copia.RecordCount(), 2);
    copia.First();
    EXPECT_EQ(copia.FieldByName("INDICE").AsInteger(), 7);
    EXPECT_DOUBLE_EQ(copia.FieldByName("VALOR").AsFloat(), 7.25);
    EXPECT_TRUE(copia.FieldByName("DATA").IsNull());
    copia.Next();
    EXPECT_TRUE(copia.FieldByName("INDICE").IsNull());
    EXPECT_EQ(copia.FieldByName("DATA").AsDateTime(), TDateTime::Encode(2023, 12, 31));
    EXPECT_FALSE(copia.FieldByName("EXECUTANDO").IsNull());

    EXPECT_THROW(copia.CarregaDados(QByteArray("lixo")), EDatabaseError);
    EXPECT_EQ(copia.RecordCount(), 2);  // a bad packet changes nothing
}

TEST(MemTable, LookupFieldShowsTheOtherTablesValue)
{
    TMemTable cidades;
    AdicionaCampoTexto(cidades, "CODIGO", 4);
    AdicionaCampoTexto(cidades, "NOME", 20);
    cidades.CreateDataSet();
    for (auto [c, n] : {std::pair{"0001", "CURITIBA"}, std::pair{"0002", "LONDRINA"}}) {
        cidades.Append();
        cidades.FieldByName("CODIGO").SetAsString(c);
        cidades.FieldByName("NOME").SetAsString(n);
        cidades.Post();
    }
    TMemTable clientes;
    AdicionaCampoTexto(clientes, "CIDADE", 4);
    clientes.CreateDataSet();
    TDefCampoMem def;
    def.Nome = "NOME_CIDADE";
    def.Tamanho = 20;
    def.CamposChave = "CIDADE";
    def.TabelaLookup = &cidades;
    def.CamposChaveLookup = "CODIGO";
    def.CampoResultado = "NOME";
    clientes.AdicionaCampoLookup(def);
    clientes.Append();
    clientes.FieldByName("CIDADE").SetAsString("0002");
    clientes.Post();
    EXPECT_EQ(clientes.FieldByName("NOME_CIDADE").AsString(), "LONDRINA");
    EXPECT_EQ(cidades.RecNo(), 2);  // reading it leaves the other table's cursor alone
    cidades.First();
    EXPECT_EQ(clientes.FieldByName("NOME_CIDADE").AsString(), "LONDRINA");
    EXPECT_EQ(cidades.RecNo(), 1);
}

TEST(MemTableModel, GridFollowsTheTable)
{
    TMemTable t;
    Define(t);
    TMemTableModel modelo(&t);
    EXPECT_EQ(modelo.columnCount(), 5);
    EXPECT_EQ(modelo.headerData(1, Qt::Horizontal).toString(), "NOME");
    EXPECT_EQ(modelo.rowCount(), 0);
    Adiciona(t, 2, "B", 1.5);
    Adiciona(t, 1, "A");
    EXPECT_EQ(modelo.rowCount(), 2);
    EXPECT_EQ(modelo.data(modelo.index(0, 1)).toString(), "B");
    EXPECT_EQ(modelo.data(modelo.index(0, 3)).toString(), "1.5");
    EXPECT_EQ(modelo.data(modelo.index(1, 4)).toString(), "");  // null date

    QSignalSpy mudancas(&modelo, &QAbstractItemModel::dataChanged);
    t.First();
    t.Edit();
    t.FieldByName("NOME").SetAsString("BB");
    t.Post();
    EXPECT_EQ(mudancas.count(), 1);
    EXPECT_EQ(modelo.data(modelo.index(0, 1)).toString(), "BB");

    t.SetIndexFieldNames("INDICE");
    EXPECT_EQ(modelo.data(modelo.index(0, 1)).toString(), "A");
    t.Delete();
    EXPECT_EQ(modelo.rowCount(), 1);
}
