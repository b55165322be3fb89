#include "uRuxoRegistros.h"

#include "uBibliot.h"

using Ruxo::TCampo;
using C = Ruxo::TCodificacao;

namespace Ruxo {
QString Digitos(const QString& texto) { return SoNumeros(texto); }
}  // namespace Ruxo

const std::vector<TCampo<TReg_001>>& TReg_001::Layout()
{
    using T = TReg_001;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_de_registro", 1, 3, C::S, &T::FTipo_de_registro},
        {"CNPJ", 4, 14, C::KX, &T::CNPJ},
        {"Tipo_de_Arquivo", 18, 3, C::S, &T::FTipo_de_Arquivo},
        {"Data", 21, 8, C::D8, &T::Data},
        {"Horario", 29, 6, C::H6, &T::Horario},
        {"Especifico_para_o_PAF", 35, 4, C::N, &T::Especifico_para_o_PAF},
        {"Versao_do_Layout", 39, 3, C::S, &T::FVersao_do_Layout},
    };
    return l;
}

const std::vector<TCampo<TReg_011>>& TReg_011::Layout()
{
    using T = TReg_011;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_do_registro", 1, 3, C::S, &T::FTipo_do_registro},
        {"PK_Cupom", 4, 10, C::N, &T::PK_Cupom},
        {"Numero_do_ECF", 14, 4, C::N, &T::Numero_do_ECF},
        {"Numero_do_Cupom", 18, 6, C::N, &T::Numero_do_Cupom},
        {"Data", 24, 8, C::D8, &T::Data},
        {"Valor_dos_Produtos", 32, 13, C::V, &T::Valor_dos_Produtos},
        {"Valor_do_desconto", 45, 13, C::V, &T::Valor_do_desconto},
        {"Valor_do_Acrescimo", 58, 13, C::V, &T::Valor_do_Acrescimo},
        {"Valor_do_Cupom", 71, 13, C::V, &T::Valor_do_Cupom},
        {"CNPJ_CPF", 84, 14, C::X, &T::CNPJ_CPF},
        {"Nome_cliente", 98, 30, C::X, &T::Nome_cliente},
        {"Endereco", 128, 30, C::X, &T::Endereco},
        {"Bairro", 158, 20, C::X, &T::Bairro},
        {"Cidade", 178, 30, C::X, &T::Cidade},
        {"UF", 208, 2, C::X, &T::UF},
        {"Telefone", 210, 15, C::X, &T::Telefone},
        {"Vendedor", 225, 10, C::X, &T::Vendedor},
        {"Operador", 235, 15, C::X, &T::Operador},
        {"Cancelado", 250, 1, C::X, &T::Cancelado},
        {"Operador_autorizou_Cancelamento", 251, 15, C::X, &T::Operador_autorizou_Cancelamento},
        {"Obs_1", 266, 25, C::X, &T::Obs_1},
        {"Obs_2", 291, 25, C::X, &T::Obs_2},
        {"Tabela_de_Precos", 316, 10, C::X, &T::Tabela_de_Precos},
        {"Horario_de_inicio", 326, 6, C::H6, &T::Horario_de_inicio},
        {"Horario_de_termino", 332, 6, C::H6, &T::Horario_de_termino},
        {"CCF", 338, 6, C::N, &T::CCF},
        {"Codigo_Cliente", 344, 15, C::X, &T::Codigo_Cliente},
        {"Condicao_de_pagamento", 359, 4, C::N, &T::Condicao_de_pagamento},
        {"Numero_do_DAV", 363, 13, C::N, &T::Numero_do_DAV},
        {"Numero_da_Prevenda", 376, 10, C::N, &T::Numero_da_Prevenda},
        {"Complemento_01", 386, 20, C::X, &T::Complemento_01},
        {"Complemento_02", 406, 20, C::X, &T::Complemento_02},
        {"Complemento_03", 426, 40, C::X, &T::Complemento_03},
        {"Complemento_04", 466, 40, C::X, &T::Complemento_04},
        {"Número_do_Docto_SG", 506, 15, C::X, &T::Número_do_Docto_SG},
        {"MD5", 521, 40, C::X, &T::MD5},
        {"Identificacao_PV_CC", 561, 15, C::X, &T::Identificacao_PV_CC},
        {"Numero_de_pessoas", 576, 4, C::N, &T::Numero_de_pessoas},
        {"COO_de_cancelamento", 580, 6, C::N, &T::COO_de_cancelamento},
        {"Operador_que_liberou_desconto", 586, 15, C::X, &T::Operador_que_liberou_desconto},
        {"Valor_de_ICMS", 601, 13, C::V, &T::Valor_de_ICMS},
        {"Valor_de_ISS", 614, 13, C::V, &T::Valor_de_ISS},
        {"CPF_Cliente", 627, 14, C::X, &T::CPF_Cliente},
        {"CNPJ_Administradora", 641, 14, C::X, &T::CNPJ_Administradora},
        {"Titulo_de_Capitalizacao", 655, 7, C::X, &T::Titulo_de_Capitalizacao},
    };
    return l;
}

const std::vector<TCampo<TReg_012>>& TReg_012::Layout()
{
    using T = TReg_012;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_do_registro", 1, 3, C::S, &T::FTipo_do_registro},
        {"PK_Cupom", 4, 10, C::N, &T::PK_Cupom},
        {"Numero_do_ECF", 14, 4, C::N, &T::Numero_do_ECF},
        {"Numero_do_Cupom", 18, 6, C::N, &T::Numero_do_Cupom},
        {"Codigo_Produto", 24, 20, C::X, &T::Codigo_Produto},
        {"Descricao_do_produto", 44, 40, C::X, &T::Descricao_do_produto},
        {"Unidade", 84, 3, C::X, &T::Unidade},
        {"Quantidade", 87, 13, C::Q, &T::Quantidade},
        {"Preco_de_venda", 100, 13, C::V, &T::Preco_de_venda},
        {"Valor_do_desconto", 113, 13, C::V, &T::Valor_do_desconto},
        {"Valor_do_acrescimo", 126, 13, C::V, &T::Valor_do_acrescimo},
        {"Tributacao", 139, 1, C::X, &T::Tributacao},
        {"Aliquota", 140, 4, C::R, &T::Aliquota},
        {"Cancelado", 144, 1, C::X, &T::Cancelado},
        {"Operador", 145, 15, C::X, &T::Operador},
        {"Ordem_do_item", 160, 4, C::N, &T::Ordem_do_item},
        {"IAT", 164, 1, C::X, &T::IAT},
        {"Indice_da_aliquota", 165, 2, C::N, &T::Indice_da_aliquota},
        {"Servico", 167, 1, C::X, &T::Servico},
        {"Atendente", 168, 15, C::X, &T::Atendente},
        {"Codigo_adicional_informado", 183, 20, C::X, &T::Codigo_adicional_informado},
        {"MD5", 203, 40, C::X, &T::MD5},
        {"Codigo_do_KIT", 243, 20, C::X, &T::Codigo_do_KIT},
        {"Ordem_do_lancamento_do_KIT", 263, 4, C::X, &T::Ordem_do_lancamento_do_KIT},
        {"Operador_que_liberou_desconto", 267, 15, C::X, &T::Operador_que_liberou_desconto},
    };
    return l;
}

const std::vector<TCampo<TReg_013>>& TReg_013::Layout()
{
    using T = TReg_013;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_do_registro", 1, 3, C::S, &T::FTipo_do_registro},
        {"PK_Cupom", 4, 10, C::N, &T::PK_Cupom},
        {"Parcela", 14, 4, C::N, &T::Parcela},
        {"Numero_do_ECF", 18, 4, C::N, &T::Numero_do_ECF},
        {"Numero_do_Cupom", 22, 6, C::N, &T::Numero_do_Cupom},
        {"Forma_de_pagamento", 28, 2, C::N, &T::Forma_de_pagamento},
        {"Valor", 30, 13, C::V, &T::Valor},
        {"Data_de_Vencimento", 43, 8, C::D8, &T::Data_de_Vencimento},
        {"Cancelado", 51, 1, C::X, &T::Cancelado},
        {"Observacao", 52, 30, C::X, &T::Observacao},
        {"Condicao_de_Pagamento", 82, 1, C::X, &T::Condicao_de_Pagamento},
        {"MD5", 83, 40, C::X, &T::MD5},
        {"Codigo_NSU", 123, 20, C::X, &T::Codigo_NSU},
        {"Rede_autorizadora", 143, 60, C::X, &T::Rede_autorizadora},
        {"Bandeira", 203, 100, C::X, &T::Bandeira},
        {"Numero_de_parcelas", 303, 3, C::N, &T::Numero_de_parcelas},
        {"Codigo_de_autorizacao", 306, 40, C::X, &T::Codigo_de_autorizacao},
        {"Codigo_de_controle", 346, 40, C::X, &T::Codigo_de_controle},
        {"Taxa", 386, 13, C::V, &T::Taxa},
        {"Codigo_tipo_servico", 399, 3, C::N, &T::Codigo_tipo_servico},
        {"Tipo_de_Transacao", 402, 1, C::X, &T::Tipo_de_Transacao},
        {"Tipo_do_Troco", 403, 1, C::X, &T::Tipo_do_Troco},
    };
    return l;
}

const std::vector<TCampo<TReg_017>>& TReg_017::Layout()
{
    using T = TReg_017;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_do_registro", 1, 3, C::S, &T::FTipo_do_registro},
        {"PK_Cupom", 4, 10, C::N, &T::PK_Cupom},
        {"COO_Inicial", 14, 6, C::N, &T::COO_Inicial},
        {"COO_Final", 20, 6, C::N, &T::COO_Final},
        {"GT_Inicial", 26, 18, C::V, &T::GT_Inicial},
        {"GT_Final", 44, 18, C::V, &T::GT_Final},
        {"CRZ", 62, 6, C::N, &T::CRZ},
        {"Total_Cancelados", 68, 13, C::V, &T::Total_Cancelados},
        {"Total_Acrescimo", 81, 13, C::V, &T::Total_Acrescimo},
        {"Total_Descontos", 94, 13, C::V, &T::Total_Descontos},
        {"Total_Isento", 107, 13, C::V, &T::Total_Isento},
        {"Total_nao_incidencia", 120, 13, C::V, &T::Total_nao_incidencia},
        {"Total_de_Substituicao", 133, 13, C::V, &T::Total_de_Substituicao},
        {"Data_Reducao", 146, 8, C::D8, &T::Data_Reducao},
        {"Hora_Reducao", 154, 6, C::H6, &T::Hora_Reducao},
        {"Numero_do_ECF", 160, 4, C::N, &T::Numero_do_ECF},
        {"Total_Bruto", 164, 13, C::V, &T::Total_Bruto},
        {"COO_Reducao_Z", 177, 6, C::N, &T::COO_Reducao_Z},
        {"Data_Emissao_Reducao_Z", 183, 8, C::D8, &T::Data_Emissao_Reducao_Z},
        {"Manual_Automatico", 191, 1, C::X, &T::Manual_Automatico},
        {"Cancelado_ISS", 192, 13, C::V, &T::Cancelado_ISS},
        {"Acrescimo_ISS", 205, 13, C::V, &T::Acrescimo_ISS},
        {"Desconto_ISS", 218, 13, C::V, &T::Desconto_ISS},
        {"Isento_ISS", 231, 13, C::V, &T::Isento_ISS},
        {"Nao_incidente_ISS", 244, 13, C::V, &T::Nao_incidente_ISS},
        {"Substituicao_tributaria_ISS", 257, 13, C::V, &T::Substituicao_tributaria_ISS},
        {"Numero_de_Serie_do_ECF", 270, 20, C::X, &T::Numero_de_Serie_do_ECF},
        {"Marca_do_ECF", 290, 20, C::X, &T::Marca_do_ECF},
        {"Modelo_do_ECF", 310, 20, C::X, &T::Modelo_do_ECF},
        {"MF_Adicional", 330, 1, C::X, &T::MF_Adicional},
        {"Numero_do_CRO", 331, 6, C::N, &T::Numero_do_CRO},
        {"MD5", 337, 40, C::X, &T::MD5},
    };
    return l;
}

const std::vector<TCampo<TReg_018>>& TReg_018::Layout()
{
    using T = TReg_018;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_do_registro", 1, 3, C::S, &T::FTipo_do_registro},
        {"PK_Cupom", 4, 10, C::N, &T::PK_Cupom},
        {"Aliquota", 14, 4, C::R, &T::Aliquota},
        {"Base_de_calculo", 18, 13, C::V, &T::Base_de_calculo},
        {"Valor_Imposto", 31, 13, C::V, &T::Valor_Imposto},
        {"Numero_do_ECF", 44, 4, C::N, &T::Numero_do_ECF},
        {"Indice_da_aliquota", 48, 2, C::N, &T::Indice_da_aliquota},
        {"Servico", 50, 1, C::X, &T::Servico},
        {"MD5", 51, 40, C::X, &T::MD5},
    };
    return l;
}

const std::vector<TCampo<TReg_020>>& TReg_020::Layout()
{
    using T = TReg_020;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_do_registro", 1, 3, C::S, &T::FTipo_do_registro},
        {"Data", 4, 8, C::D8, &T::Data},
        {"Codigo_do_produto", 12, 20, C::X, &T::Codigo_do_produto},
        {"Descricao_Produto", 32, 40, C::X, &T::Descricao_Produto},
        {"Quantidade", 72, 13, C::Q, &T::Quantidade},
        {"Valor_do_Produto", 85, 13, C::V, &T::Valor_do_Produto},
        {"Codigo_de_Posse", 98, 1, C::X, &T::Codigo_de_Posse},
        {"CNPJ", 99, 14, C::KN, &T::CNPJ},
        {"Inscricao_Estadual", 113, 14, C::DX, &T::Inscricao_Estadual},
        {"UF", 127, 2, C::X, &T::UF},
        {"Unidade", 129, 3, C::X, &T::Unidade},
    };
    return l;
}

const std::vector<TCampo<TReg_035>>& TReg_035::Layout()
{
    using T = TReg_035;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_do_registro", 1, 3, C::S, &T::FTipo_do_registro},
        {"Codigo_do_produto", 4, 20, C::X, &T::Codigo_do_produto},
        {"Quantidade_em_estoque", 24, 13, C::Q, &T::Quantidade_em_estoque},
        {"Data", 37, 8, C::D8, &T::Data},
        {"Hora", 45, 6, C::H6, &T::Hora},
    };
    return l;
}

const std::vector<TCampo<TReg_099>>& TReg_099::Layout()
{
    using T = TReg_099;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_de_registro", 1, 3, C::S, &T::FTipo_de_registro},
        {"Registros", 4, 10, C::N, &T::Registros},
    };
    return l;
}

const std::vector<TCampo<TReg_101>>& TReg_101::Layout()
{
    using T = TReg_101;
    static const std::vector<TCampo<T>> l = {
        {"Tipo_de_registro", 1, 3, C::S, &T::FTipo_de_registro},
        {"CNPJ", 4, 14, C::KX, &T::CNPJ},
        {"Tipo_de_Arquivo", 18, 3, C::S, &T::FTipo_de_Arquivo},
        {"Data_Inicial", 21, 8, C::D8, &T::Data_Inicial},
        {"Horario_Inicial", 29, 6, C::H6, &T::Horario_Inicial},
        {"Data_Final", 35, 8, C::D8, &T::Data_Final},
        {"Horario_Final", 43, 6, C::H6, &T::Horario_Final},
        {"Especifico_para_o_PAF", 49, 4, C::N, &T::Especifico_para_o_PAF},
        {"Versao_do_Layout", 53, 3, C::S, &T::FVersao_do_Layout},
    };
    return l;
}
