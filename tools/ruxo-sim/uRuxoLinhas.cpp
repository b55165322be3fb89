#include "uRuxoLinhas.h"

#include "uErros.h"

#include <QHash>

#include <cstdlib>

namespace RuxoSim {

namespace {

using C = TCodificacao;

struct TDefinicao
{
    const char* nome;
    int largura;
    C codificacao;
    const char* fixo = nullptr;
};

// Positions follow from the widths: each field starts where the previous one ended, and the sum
// must be the record's length, which catches a mistyped width in the tables below at start-up.
TLayoutRegistro Monta(const char* tipo, int comprimento, std::initializer_list<TDefinicao> definicoes)
{
    TLayoutRegistro layout{QString::fromLatin1(tipo), comprimento, {}};
    int inicio = 1;
    for (const TDefinicao& d : definicoes) {
        layout.campos.push_back({QString::fromUtf8(d.nome), inicio, d.largura, d.codificacao,
                                 d.fixo ? QString::fromLatin1(d.fixo) : QString()});
        inicio += d.largura;
    }
    if (inicio - 1 != comprimento)
        std::abort();
    return layout;
}

QHash<QString, TLayoutRegistro> CriaLayouts()
{
    QHash<QString, TLayoutRegistro> h;
    auto add = [&h](TLayoutRegistro l) { h.insert(l.tipo, std::move(l)); };

    add(Monta("001", 41, {
        {"Tipo_de_registro", 3, C::S, "001"},
        {"CNPJ", 14, C::KX},
        {"Tipo_de_Arquivo", 3, C::X},
        {"Data", 8, C::D8},
        {"Horario", 6, C::H6},
        {"Especifico_para_o_PAF", 4, C::N},
        {"Versao_do_Layout", 3, C::S, "009"},
    }));

    add(Monta("011", 661, {
        {"Tipo_do_registro", 3, C::S, "011"},
        {"PK_Cupom", 10, C::N},
        {"Numero_do_ECF", 4, C::N},
        {"Numero_do_Cupom", 6, C::N},
        {"Data", 8, C::D8},
        {"Valor_dos_Produtos", 13, C::V},
        {"Valor_do_desconto", 13, C::V},
        {"Valor_do_Acrescimo", 13, C::V},
        {"Valor_do_Cupom", 13, C::V},
        {"CNPJ_CPF", 14, C::X},
        {"Nome_cliente", 30, C::X},
        {"Endereco", 30, C::X},
        {"Bairro", 20, C::X},
        {"Cidade", 30, C::X},
        {"UF", 2, C::X},
        {"Telefone", 15, C::X},
        {"Vendedor", 10, C::X},
        {"Operador", 15, C::X},
        {"Cancelado", 1, C::X},
        {"Operador_autorizou_Cancelamento", 15, C::X},
        {"Obs_1", 25, C::X},
        {"Obs_2", 25, C::X},
        {"Tabela_de_Precos", 10, C::X},
        {"Horario_de_inicio", 6, C::H6},
        {"Horario_de_termino", 6, C::H6},
        {"CCF", 6, C::N},
        {"Codigo_Cliente", 15, C::X},
        {"Condicao_de_pagamento", 4, C::N},
        {"Numero_do_DAV", 13, C::N},
        {"Numero_da_Prevenda", 10, C::N},
        {"Complemento_01", 20, C::X},
        {"Complemento_02", 20, C::X},
        {"Complemento_03", 40, C::X},
        {"Complemento_04", 40, C::X},
        {"Número_do_Docto_SG", 15, C::X},
        {"MD5", 40, C::X},
        {"Identificacao_PV_CC", 15, C::X},
        {"Numero_de_pessoas", 4, C::N},
        {"COO_de_cancelamento", 6, C::N},
        {"Operador_que_liberou_desconto", 15, C::X},
        {"Valor_de_ICMS", 13, C::V},
        {"Valor_de_ISS", 13, C::V},
        {"CPF_Cliente", 14, C::X},
        {"CNPJ_Administradora", 14, C::X},
        {"Titulo_de_Capitalizacao", 7, C::X},
    }));

    add(Monta("012", 281, {
        {"Tipo_do_registro", 3, C::S, "012"},
        {"PK_Cupom", 10, C::N},
        {"Numero_do_ECF", 4, C::N},
        {"Numero_do_Cupom", 6, C::N},
        {"Codigo_Produto", 20, C::X},
        {"Descricao_do_produto", 40, C::X},
        {"Unidade", 3, C::X},
        {"Quantidade", 13, C::Q},
        {"Preco_de_venda", 13, C::V},
        {"Valor_do_desconto", 13, C::V},
        {"Valor_do_acrescimo", 13, C::V},
        {"Tributacao", 1, C::X},
        {"Aliquota", 4, C::R},
        {"Cancelado", 1, C::X},
        {"Operador", 15, C::X},
        {"Ordem_do_item", 4, C::N},
        {"IAT", 1, C::X},
        {"Indice_da_aliquota", 2, C::N},
        {"Servico", 1, C::X},
        {"Atendente", 15, C::X},
        {"Codigo_adicional_informado", 20, C::X},
        {"MD5", 40, C::X},
        {"Codigo_do_KIT", 20, C::X},
        {"Ordem_do_lancamento_do_KIT", 4, C::X},
        {"Operador_que_liberou_desconto", 15, C::X},
    }));

    add(Monta("013", 403, {
        {"Tipo_do_registro", 3, C::S, "013"},
        {"PK_Cupom", 10, C::N},
        {"Parcela", 4, C::N},
        {"Numero_do_ECF", 4, C::N},
        {"Numero_do_Cupom", 6, C::N},
        {"Forma_de_pagamento", 2, C::N},
        {"Valor", 13, C::V},
        {"Data_de_Vencimento", 8, C::D8},
        {"Cancelado", 1, C::X},
        {"Observacao", 30, C::X},
        {"Condicao_de_Pagamento", 1, C::X},
        {"MD5", 40, C::X},
        {"Codigo_NSU", 20, C::X},
        {"Rede_autorizadora", 60, C::X},
        {"Bandeira", 100, C::X},
        {"Numero_de_parcelas", 3, C::N},
        {"Codigo_de_autorizacao", 40, C::X},
        {"Codigo_de_controle", 40, C::X},
        {"Taxa", 13, C::V},
        {"Codigo_tipo_servico", 3, C::N},
        {"Tipo_de_Transacao", 1, C::X},
        {"Tipo_do_Troco", 1, C::X},
    }));

    add(Monta("017", 376, {
        {"Tipo_do_registro", 3, C::S, "017"},
        {"PK_Cupom", 10, C::N},
        {"COO_Inicial", 6, C::N},
        {"COO_Final", 6, C::N},
        {"GT_Inicial", 18, C::V},
        {"GT_Final", 18, C::V},
        {"CRZ", 6, C::N},
        {"Total_Cancelados", 13, C::V},
        {"Total_Acrescimo", 13, C::V},
        {"Total_Descontos", 13, C::V},
        {"Total_Isento", 13, C::V},
        {"Total_nao_incidencia", 13, C::V},
        {"Total_de_Substituicao", 13, C::V},
        {"Data_Reducao", 8, C::D8},
        {"Hora_Reducao", 6, C::H6},
        {"Numero_do_ECF", 4, C::N},
        {"Total_Bruto", 13, C::V},
        {"COO_Reducao_Z", 6, C::N},
        {"Data_Emissao_Reducao_Z", 8, C::D8},
        {"Manual_Automatico", 1, C::X},
        {"Cancelado_ISS", 13, C::V},
        {"Acrescimo_ISS", 13, C::V},
        {"Desconto_ISS", 13, C::V},
        {"Isento_ISS", 13, C::V},
        {"Nao_incidente_ISS", 13, C::V},
        {"Substituicao_tributaria_ISS", 13, C::V},
        {"Numero_de_Serie_do_ECF", 20, C::X},
        {"Marca_do_ECF", 20, C::X},
        {"Modelo_do_ECF", 20, C::X},
        {"MF_Adicional", 1, C::X},
        {"Numero_do_CRO", 6, C::N},
        {"MD5", 40, C::X},
    }));

    add(Monta("018", 90, {
        {"Tipo_do_registro", 3, C::S, "018"},
        {"PK_Cupom", 10, C::N},
        {"Aliquota", 4, C::R},
        {"Base_de_calculo", 13, C::V},
        {"Valor_Imposto", 13, C::V},
        {"Numero_do_ECF", 4, C::N},
        {"Indice_da_aliquota", 2, C::N},
        {"Servico", 1, C::X},
        {"MD5", 40, C::X},
    }));

    add(Monta("020", 131, {
        {"Tipo_do_registro", 3, C::S, "020"},
        {"Data", 8, C::D8},
        {"Codigo_do_produto", 20, C::X},
        {"Descricao_Produto", 40, C::X},
        {"Quantidade", 13, C::Q},
        {"Valor_do_Produto", 13, C::V},
        {"Codigo_de_Posse", 1, C::X},
        {"CNPJ", 14, C::KN},
        {"Inscricao_Estadual", 14, C::KX},
        {"UF", 2, C::X},
        {"Unidade", 3, C::X},
    }));

    add(Monta("035", 50, {
        {"Tipo_do_registro", 3, C::S, "035"},
        {"Codigo_do_produto", 20, C::X},
        {"Quantidade_em_estoque", 13, C::Q},
        {"Data", 8, C::D8},
        {"Hora", 6, C::H6},
    }));

    add(Monta("099", 13, {
        {"Tipo_de_registro", 3, C::S, "099"},
        {"Registros", 10, C::N},
    }));

    add(Monta("101", 55, {
        {"Tipo_de_registro", 3, C::S, "101"},
        {"CNPJ", 14, C::KX},
        {"Tipo_de_Arquivo", 3, C::S, "RET"},
        {"Data_Inicial", 8, C::D8},
        {"Horario_Inicial", 6, C::H6},
        {"Data_Final", 8, C::D8},
        {"Horario_Final", 6, C::H6},
        {"Especifico_para_o_PAF", 4, C::N},
        {"Versao_do_Layout", 3, C::S, "009"},
    }));

    return h;
}

const QHash<QString, TLayoutRegistro>& Layouts()
{
    static const QHash<QString, TLayoutRegistro> layouts = CriaLayouts();
    return layouts;
}

QString Digitos(QStringView texto)
{
    QString r;
    r.reserve(texto.size());
    for (QChar c : texto)
        if (c >= u'0' && c <= u'9')
            r.append(c);
    return r;
}

QString PreencheEsquerda(QString texto, int largura)
{
    if (texto.size() > largura)
        return texto.left(largura);
    return QString(largura - texto.size(), u'0') + texto;
}

QString NomeCodificacao(C c)
{
    switch (c) {
    case C::N: return QStringLiteral("N");
    case C::X: return QStringLiteral("X");
    case C::V: return QStringLiteral("V");
    case C::Q: return QStringLiteral("Q");
    case C::R: return QStringLiteral("R");
    case C::D8: return QStringLiteral("D8");
    case C::H6: return QStringLiteral("H6");
    case C::KX: return QStringLiteral("K as X");
    case C::KN: return QStringLiteral("K as N");
    case C::S: return QStringLiteral("S");
    }
    return {};
}

}  // namespace

const TLayoutRegistro& LayoutRuxo(QStringView tipo)
{
    const auto& h = Layouts();
    auto it = h.constFind(tipo.toString());
    if (it == h.constEnd())
        throw EConvertError(QStringLiteral("Registro '%1' sem layout").arg(tipo));
    return *it;
}

QString FormataN(qint64 valor, int largura)
{
    return PreencheEsquerda(QString::number(valor), largura);
}

QString FormataX(QStringView texto, int largura)
{
    if (texto.size() >= largura)
        return texto.left(largura).toString();
    return texto.toString() + QString(largura - texto.size(), u' ');
}

QString FormataDecimal(Currency valor, int casas, int largura)
{
    // The mask "#####0.00" rounds half away from zero and keeps the sign in front; with the
    // comma taken out what is left is the signed count of hundredths (thousandths for Q).
    const int64_t divisor = casas == 3 ? 10 : 100;
    int64_t raw = valor.Raw();
    int64_t q = raw / divisor;
    int64_t resto = raw % divisor;
    if (2 * std::llabs(resto) >= divisor)
        q += raw < 0 ? -1 : 1;
    return PreencheEsquerda(QString::number(q), largura);
}

TLinhaRuxo::TLinhaRuxo(QStringView tipo)
    : FLayout(&LayoutRuxo(tipo))
{
    FLinha.reserve(FLayout->comprimento);
    for (const TCampoLayout& c : FLayout->campos) {
        switch (c.codificacao) {
        case C::S: FLinha += c.fixo; break;
        case C::X:
        case C::KX: FLinha += QString(c.largura, u' '); break;
        default: FLinha += QString(c.largura, u'0'); break;
        }
    }
}

const TCampoLayout& TLinhaRuxo::Campo(QStringView nome) const
{
    for (const TCampoLayout& c : FLayout->campos)
        if (c.nome == nome)
            return c;
    throw EConvertError(QStringLiteral("Registro %1 sem o campo %2").arg(FLayout->tipo, nome));
}

void TLinhaRuxo::Coloca(const TCampoLayout& campo, QStringView texto)
{
    FLinha.replace(campo.inicio - 1, campo.largura, texto.data(), campo.largura);
}

static EConvertError Recusa(const TLayoutRegistro& l, const TCampoLayout& c, const char* tipoValor)
{
    return EConvertError(QStringLiteral("Campo %1 do registro %2 (%3) não recebe %4")
                             .arg(c.nome, l.tipo, NomeCodificacao(c.codificacao),
                                  QString::fromLatin1(tipoValor)));
}

TLinhaRuxo& TLinhaRuxo::Texto(QStringView campo, QStringView valor)
{
    const TCampoLayout& c = Campo(campo);
    switch (c.codificacao) {
    case C::X: Coloca(c, FormataX(valor, c.largura)); break;
    case C::KX: Coloca(c, FormataX(Digitos(valor), c.largura)); break;
    case C::KN: Coloca(c, PreencheEsquerda(Digitos(valor), c.largura)); break;
    default: throw Recusa(*FLayout, c, "texto");
    }
    return *this;
}

TLinhaRuxo& TLinhaRuxo::Inteiro(QStringView campo, qint64 valor)
{
    const TCampoLayout& c = Campo(campo);
    if (c.codificacao != C::N)
        throw Recusa(*FLayout, c, "número inteiro");
    Coloca(c, FormataN(valor, c.largura));
    return *this;
}

TLinhaRuxo& TLinhaRuxo::Valor(QStringView campo, Currency valor)
{
    const TCampoLayout& c = Campo(campo);
    switch (c.codificacao) {
    case C::V:
    case C::R: Coloca(c, FormataDecimal(valor, 2, c.largura)); break;
    case C::Q: Coloca(c, FormataDecimal(valor, 3, c.largura)); break;
    default: throw Recusa(*FLayout, c, "valor decimal");
    }
    return *this;
}

TLinhaRuxo& TLinhaRuxo::Data(QStringView campo, const QDate& valor)
{
    const TCampoLayout& c = Campo(campo);
    if (c.codificacao != C::D8)
        throw Recusa(*FLayout, c, "data");
    Coloca(c, valor.isValid() ? valor.toString(u"ddMMyyyy") : QString(8, u'0'));
    return *this;
}

TLinhaRuxo& TLinhaRuxo::Hora(QStringView campo, const QTime& valor)
{
    const TCampoLayout& c = Campo(campo);
    if (c.codificacao != C::H6)
        throw Recusa(*FLayout, c, "hora");
    Coloca(c, valor.isValid() ? valor.toString(u"HHmmss") : QString(6, u'0'));
    return *this;
}

}  // namespace RuxoSim
