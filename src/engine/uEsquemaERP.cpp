#include "uEsquemaERP.h"

#include "UModel.h"
#include "uErros.h"
#include "uQuery.h"

#include <QDate>
#include <QHash>
#include <QVariant>

namespace {

// Keys and look-ups by table. A key becomes the primary key where the flows never write the
// same key twice; every other column set some flow looks rows up by gets an index.
struct TChavesTabela
{
    TTabelas Tabela;
    QStringList Primaria;
    QList<QStringList> Indices;
};

const QList<TChavesTabela>& Chaves()
{
    static const QList<TChavesTabela> chaves = {
        {ttbCAD_CARTOES, {"Nome do Cartao"}, {}},
        {ttbCAD_CIDADES, {}, {{"Cidade", "UF"}, {"Codigo_Cidade"}}},
        {ttbCAD_CONTRDIA, {"Numero_Controle_Dia"}, {{"Chapa", "Data"}}},
        {ttbCAD_DESTINAT, {"Codigo"}, {{"CGC"}}},
        {ttbCAD_EMPRESAS, {"Codigo da Empresa"}, {}},
        {ttbCAD_REPRESEN, {"Codigo do Representante"}, {}},
        {ttbCAD_SYSTABLE, {}, {}},
        {ttbCAD_TPDOCTOS, {"Codigo do Documento"}, {}},
        {ttbCAD_TPPAGTO, {"Tipo do Pagamento"}, {}},
        {ttbCAD_USUARIOS, {"Chapa"}, {}},
        {ttbEST_ITENS, {"Codigo do Item"}, {{"Codigo de Barras"}}},
        {ttbEST_SDESTQ, {"Codigo da Empresa", "Codigo do Item", "Ano Referencia", "Mes Referencia"}, {}},
        {ttbVEN_CONDPGTO, {"Condicao de Pagamento"}, {{"Codigo_Avanco"}}},
        {ttbVEN_DESTIN, {"Codigo da Destinacao"}, {}},
        {ttbVEN_ECF_C, {}, {{"Codigo da Empresa", "Numero do ECF", "Data"}, {"Codigo da Empresa", "Data"}}},
        {ttbVEN_ECF_S, {}, {{"Codigo da Empresa", "Serie do Documento", "Data"}}},
        {ttbVEN_ECF_T, {}, {{"Codigo da Empresa", "Serie do Documento", "Data"}}},
        {ttbVEN_NOTAC, {"Codigo da Empresa", "Numero do Documento", "Serie do Documento"}, {}},
        {ttbVEN_NOTAI, {"Codigo da Empresa", "Numero do Documento", "Serie do Documento", "Item do Documento"}, {}},
        {ttbVEN_NOTAV, {"Codigo da Empresa", "Numero do Documento", "Serie do Documento", "Sequencia"}, {}},
        {ttbVEN_RUXO_ECF, {}, {{"Numero ECF"}, {"Numero de Serie"}}},
        {ttbVEN_RUXO_FP, {"Codigo Operacao"}, {}},
        {ttbVEN_P_CUPOM, {}, {{"Codigo_Empresa"}}},
        {ttbVEN_TBPRCAB, {"Codigo da Tabela"}, {}},
        {ttbVEN_TRANSPOR, {"Codigo da Transportadora"}, {}},
    };
    return chaves;
}

const TChavesTabela* ChavesDe(TTabelas t)
{
    for (const auto& c : Chaves())
        if (c.Tabela == t)
            return &c;
    return nullptr;
}

// The data access objects' staging fields cut texts to the column's size, so sizes err on the
// long side; free texts get the widest Paradox alpha field.
int TamanhoTexto(const QString& coluna)
{
    static const char* const longos[] = {"Obs", "Mensagem", "Historico", "Texto", "Datas", "Composicao",
                                         "Endereco", "Descricao", "Razao Social", "Pagina", "Email"};
    for (const char* p : longos)
        if (coluna.contains(QLatin1StringView(p), Qt::CaseInsensitive))
            return 255;
    return 60;
}

QString TipoDDL(const TPropriedade& p)
{
    switch (p.Tipo()) {
    case TTipoPropriedade::String: return QStringLiteral("VARCHAR(%1)").arg(TamanhoTexto(p.Coluna()));
    // FLOAT rather than CURRENCY: SQLite gives FLOAT the REAL affinity that keeps a whole 10.0 a
    // real number, as the storage promises.
    case TTipoPropriedade::Currency: return QStringLiteral("FLOAT");
    case TTipoPropriedade::TDateTime: return QStringLiteral("DATE");
    case TTipoPropriedade::Integer: return QStringLiteral("INTEGER");
    }
    return QStringLiteral("VARCHAR(60)");
}

QString Aspas(const QString& nome) { return u'"' + nome + u'"'; }

QString Referencia(TTabelas t)
{
    return QStringLiteral("\":%1:%2\"").arg(NomeAlias(DiretorioTabela(t)), NomeTabela(t));
}

const TClasseModel& Classe(TTabelas t)
{
    const TClasseModel* c = ClasseDaTabela(t);
    if (!c || !c->ColunasConhecidas())
        throw EClassNotFound(QStringLiteral("Tabela sem colunas conhecidas: %1").arg(NomeCompletoTabela(t)));
    return *c;
}

void Executa(TSessao& sessao, const QString& texto)
{
    TQuery q(sessao);
    q.SQL().SetText(texto);
    q.ExecSQL();
}

}  // namespace

QList<TTabelas> TabelasDoEsquema()
{
    QList<TTabelas> r;
    for (int i = 0; i < QtdTabelas; ++i) {
        const TClasseModel* c = ClasseDaTabela(TTabelas(i));
        if (c && c->ColunasConhecidas())
            r << TTabelas(i);
    }
    return r;
}

QStringList DDLTabela(TTabelas tabela)
{
    const TClasseModel& classe = Classe(tabela);
    const TChavesTabela* chaves = ChavesDe(tabela);
    const QString nome = NomeTabela(tabela);
    QStringList colunas;
    for (const TPropriedade& p : classe.Propriedades())
        colunas << Aspas(p.Coluna()) + u' ' + TipoDDL(p);
    if (chaves && !chaves->Primaria.isEmpty()) {
        QStringList k;
        for (const QString& c : chaves->Primaria)
            k << Aspas(c);
        colunas << QStringLiteral("PRIMARY KEY (%1)").arg(k.join(u", "));
    }
    QStringList r;
    r << QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n%2)").arg(Referencia(tabela), colunas.join(QStringLiteral(",\n")));
    if (chaves) {
        int n = 0;
        for (const QStringList& indice : chaves->Indices) {
            QStringList k;
            for (const QString& c : indice)
                k << Aspas(c);
            // SQLite names an index inside the table's database; the alias goes on the index.
            r << QStringLiteral("CREATE INDEX IF NOT EXISTS \"%1\".\"IX_%2_%3\" ON \"%4\" (%5)")
                     .arg(NomeAlias(DiretorioTabela(tabela)), nome)
                     .arg(++n)
                     .arg(nome, k.join(u", "));
        }
    }
    return r;
}

QStringList DDLDiarioImportacao()
{
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS \":N_VENDAS:TESK_IMPORTADOS\" (\n"
                           "\"Nome do Arquivo\" VARCHAR(255),\n"
                           "\"Hash do Conteudo\" VARCHAR(64),\n"
                           "\"Estacao\" VARCHAR(255),\n"
                           "\"Data da Importacao\" TIMESTAMP)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS \"N_VENDAS\".\"IX_TESK_IMPORTADOS_1\" ON \"TESK_IMPORTADOS\" "
                           "(\"Nome do Arquivo\", \"Hash do Conteudo\")")};
}

// The sales database is not created here: a sales folder that vanished with its drive must stay
// a failure of the import, not come back empty.
void GarantirDiarioImportacao(TSessao& sessao)
{
    for (const QString& ddl : DDLDiarioImportacao())
        Executa(sessao, ddl);
}

void CriarEsquemaERP(TSessao& sessao)
{
    RegistrarClasses();
    const QList<TTabelas> tabelas = TabelasDoEsquema();
    for (TTabelas t : tabelas)
        sessao.CriarBanco(NomeAlias(DiretorioTabela(t)));
    for (TTabelas t : tabelas)
        for (const QString& ddl : DDLTabela(t))
            Executa(sessao, ddl);
    GarantirDiarioImportacao(sessao);
}

namespace {

using TLinha = QList<std::pair<const char*, QVariant>>;

void Liga(TParam& p, const QVariant& v)
{
    if (v.metaType() == QMetaType::fromType<Currency>())
        p.SetAsFloat(v.value<Currency>().ToDouble());
    else if (v.metaType() == QMetaType::fromType<TDateTime>())
        p.SetAsDate(v.value<TDateTime>());
    else if (v.typeId() == QMetaType::Int)
        p.SetAsInteger(v.toInt());
    else
        p.SetAsString(v.toString());
}

// Inserts the row unless one with the same values in the first `chaves` columns is there.
void Insere(TSessao& sessao, TTabelas tabela, int chaves, const TLinha& linha)
{
    const TClasseModel& classe = Classe(tabela);
    const QString nome = NomeTabela(tabela);
    for (const auto& [coluna, valor] : linha) {
        bool existe = false;
        for (const TPropriedade& p : classe.Propriedades())
            existe = existe || p.Coluna() == QLatin1StringView(coluna);
        if (!existe)
            throw EDatabaseError(QStringLiteral("Coluna %1 não existe em %2").arg(QString::fromLatin1(coluna), nome));
    }
    TQuery q(sessao);
    q.SQL().Add(QStringLiteral("select count(*) from %1 ").arg(Referencia(tabela)));
    for (int i = 0; i < chaves; ++i)
        q.SQL().Add(QStringLiteral("%1(%2.\"%3\" =:p%4)").arg(i == 0 ? QStringLiteral("where ") : QStringLiteral("and "), nome,
                                                         QString::fromLatin1(linha[i].first))
                        .arg(i));
    for (int i = 0; i < chaves; ++i)
        Liga(q.Params()[i], linha[i].second);
    q.Open();
    if (q.AsInteger(0) > 0)
        return;
    q.Close();
    QStringList colunas, valores;
    for (int i = 0; i < linha.size(); ++i) {
        colunas << QStringLiteral("%1.\"%2\"").arg(nome, QString::fromLatin1(linha[i].first));
        valores << QStringLiteral(":a%1").arg(i);
    }
    q.SQL().Clear();
    q.SQL().Add(QStringLiteral("insert into %1 (%2) ").arg(Referencia(tabela), colunas.join(u", ")));
    q.SQL().Add(QStringLiteral("values(%1) ").arg(valores.join(u", ")));
    for (int i = 0; i < linha.size(); ++i)
        Liga(q.Params()[i], linha[i].second);
    q.ExecSQL();
}

QVariant V(const char* texto) { return QString::fromUtf8(texto); }
QVariant V(Currency c) { return QVariant::fromValue(c); }
QVariant V(TDateTime d) { return QVariant::fromValue(d); }
QVariant V(int i) { return i; }

}  // namespace

void CriarDemoERP(TSessao& sessao, TDateTime hoje)
{
    CriarEsquemaERP(sessao);
    const QDate dia = hoje.ToDate();
    const QString ano = QString::number(dia.year());
    const QString mes = QStringLiteral("%1").arg(dia.month(), 2, 10, QChar(u'0'));

    Insere(sessao, ttbCAD_SYSTABLE, 0, {{"Codigo do Cliente", V("000001")}, {"Nome da Empresa", V("LOJA DEMONSTRACAO")}});
    Insere(sessao, ttbCAD_EMPRESAS, 1,
           {{"Codigo da Empresa", V("0001")}, {"Nome Fantasia Empresa", V("LOJA DEMO")},
            {"Razao Social Empresa", V("LOJA DEMONSTRACAO LTDA")}, {"Endereco Empresa", V("RUA DAS FLORES, 100")},
            {"Cidade Empresa", V("SAO PAULO")}, {"UF Empresa", V("SP")}, {"CGC Empresa", V("12345678000195")},
            {"IE Empresa", V("110042490114")}, {"Atividade", V("C")}, {"Padrao do Sistema", V("S")}});
    Insere(sessao, ttbCAD_CIDADES, 2, {{"Cidade", V("SAO PAULO")}, {"UF", V("SP")}, {"Pais", V("BRASIL")},
                                       {"Codigo_Cidade", V(Currency(3550308))}, {"Codigo_UF", V(35)}, {"Codigo_Pais", V(1058)}});
    Insere(sessao, ttbCAD_DESTINAT, 1,
           {{"Codigo", V("000001")}, {"Tipo", V("C")}, {"Nome Fantasia EmitDest", V("CONSUMIDOR")},
            {"Razao Social", V("CONSUMIDOR FINAL")}, {"Cidade", V("SAO PAULO")}, {"UF", V("SP")}});
    Insere(sessao, ttbCAD_REPRESEN, 1, {{"Codigo do Representante", V("0001")}, {"Nome Fantasia Represent", V("BALCAO")}});
    Insere(sessao, ttbCAD_USUARIOS, 1,
           {{"Chapa", V("0001")}, {"Nome", V("OPERADOR DEMO")}, {"Nivel de Acesso", V("1")}, {"Tipo_Controle_Dia", V("N")},
            {"Cod_Empresa", V("0001")}});
    Insere(sessao, ttbCAD_TPDOCTOS, 1,
           {{"Codigo do Documento", V("CF")}, {"Tipo do Documento", V("S")}, {"Descricao do Documento", V("CUPOM FISCAL")},
            {"Modelo do Documento", V("2D")}});
    Insere(sessao, ttbVEN_DESTIN, 1,
           {{"Codigo da Destinacao", V("001")}, {"Descricao da Destinacao", V("VENDA A CONSUMIDOR")}, {"CFO", V("5102")},
            {"Gera Duplicata", V("S")}, {"Atualiza Estoque", V("S")}, {"Tipo Movimento Estoque", V("S")},
            {"Tributacao de ICMS", V("S")}, {"Aliquota de ICMS", V(Currency(18))}});
    Insere(sessao, ttbVEN_TRANSPOR, 1,
           {{"Codigo da Transportadora", V("0001")}, {"Nome Fantasia Transport", V("PROPRIO")},
            {"Placa do Veiculo", V("ABC1234")}, {"UF Veiculo", V("SP")}, {"Frete por Conta", V("1")}});
    Insere(sessao, ttbVEN_TBPRCAB, 1, {{"Codigo da Tabela", V("001")}, {"Descricao da Tabela", V("TABELA BALCAO")}, {"Ativa", V("S")}});
    Insere(sessao, ttbVEN_P_CUPOM, 1,
           {{"Codigo_Empresa", V("0001")}, {"Codigo_Cliente_Tesk", V("000001")}, {"Codigo_Destinacao", V("001")},
            {"Codigo_Transportadora", V("0001")}, {"Codigo_Tabela_Preco", V("001")}, {"Numero_Caixa", V("001")},
            {"Codigo_Cliente", V("000001")}, {"Codigo_Vendedor", V("0001")}, {"Codigo_Cond_Pagto", V("001")},
            {"Codigo_Forma_Pagto", V("01")}, {"Utiliza_Codigo_Barras", V("S")}, {"Numero_ECF", V("01")}});
    Insere(sessao, ttbVEN_RUXO_ECF, 1,
           {{"Numero ECF", V("01")}, {"Numero de Serie", V("BE091010100011223344")}, {"Modelo Impressora", V("DEMO")},
            {"Reinicio Operacao", V("001")}});
    Insere(sessao, ttbCAD_TPPAGTO, 1, {{"Tipo do Pagamento", V("01")}, {"Descricao Tipo Pagamento", V("DINHEIRO")}, {"Utiliza_ECF", V("S")}});
    Insere(sessao, ttbCAD_TPPAGTO, 1, {{"Tipo do Pagamento", V("03")}, {"Descricao Tipo Pagamento", V("CARTAO")}, {"Utiliza_ECF", V("S")}});
    Insere(sessao, ttbVEN_CONDPGTO, 1,
           {{"Condicao de Pagamento", V("001")}, {"Descricao CondPagto", V("A VISTA")}, {"Numero de Parcelas", V(1)},
            {"Tipo de Pagamento", V("01")}, {"Composicao de Dias", V("000")}});
    Insere(sessao, ttbVEN_CONDPGTO, 1,
           {{"Condicao de Pagamento", V("002")}, {"Descricao CondPagto", V("30 DIAS")}, {"Numero de Parcelas", V(1)},
            {"Tipo de Pagamento", V("03")}, {"Composicao de Dias", V("030")}});
    Insere(sessao, ttbCAD_CARTOES, 1,
           {{"Nome do Cartao", V("CARTAO DEMO")}, {"Codigo Destinat", V("000001")}, {"Numero Dias Vencimento", V(30)},
            {"Tx_Descto_Administradora", V(Currency::FromRaw(25000))}});
    Insere(sessao, ttbVEN_RUXO_FP, 1,
           {{"Codigo Operacao", V("01")}, {"Descricao Operacao", V("DINHEIRO")}, {"Descricao ECF", V("Dinheiro")},
            {"Tipo", V("V")}, {"Condicao de Pagamento", V("001")}, {"Ativo", V("S")}, {"Forma de Pagamento", V("01")}});
    Insere(sessao, ttbVEN_RUXO_FP, 1,
           {{"Codigo Operacao", V("02")}, {"Descricao Operacao", V("CARTAO")}, {"Descricao ECF", V("Cartao")},
            {"Tipo", V("P")}, {"Condicao de Pagamento", V("002")}, {"Ativo", V("S")}, {"Forma de Pagamento", V("03")}});

    struct TItem
    {
        const char* Codigo;
        const char* Descricao;
        const char* Barras;
        int Saldo;
    };
    const TItem itens[] = {
        {"000001", "CAMISETA BASICA", "7891234567895", 100},
        {"000002", "CALCA JEANS", "7891234567901", 50},
        {"000003", "MEIA ALGODAO", "7891234567918", 200},
    };
    for (const TItem& i : itens) {
        Insere(sessao, ttbEST_ITENS, 1,
               {{"Codigo do Item", V(i.Codigo)}, {"Descricao do Item", V(i.Descricao)}, {"Unidade Fiscal", V("UN")},
                {"Unidade Interna", V("UN")}, {"Fator de Conversao", V(Currency(1))}, {"Tributacao de ICMS", V("T")},
                {"Aliquota de ICMS", V(Currency(18))}, {"Codigo de Barras", V(i.Barras)}, {"NCM", V("61091000")},
                {"Situacao", V("A")}});
        Insere(sessao, ttbEST_SDESTQ, 4,
               {{"Codigo da Empresa", V("0001")}, {"Codigo do Item", V(i.Codigo)},
                {"Ano Referencia", QVariant(ano)}, {"Mes Referencia", QVariant(mes)},
                {"Saldo Inicial", V(Currency(i.Saldo))}, {"Saldo Atual", V(Currency(i.Saldo))}});
    }
    Insere(sessao, ttbVEN_ECF_C, 3,
           {{"Codigo da Empresa", V("0001")}, {"Numero do ECF", V(1)}, {"Data", V(hoje.DatePart())},
            {"Serie do Documento", V("X01001")}, {"Nome Fantasia Empresa", V("LOJA DEMO")},
            {"Numero Serie Fabricacao", V("BE091010100011223344")}, {"Reinicio Operacao", V("001")},
            {"Contador Reducao", V("0001")}, {"Data Emissao", V(hoje.DatePart())}});
}
