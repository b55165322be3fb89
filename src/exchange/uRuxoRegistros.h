#pragma once

#include "uErros.h"
#include "uRuxoLayout.h"

#include <QString>

#include <memory>
#include <vector>

// The records of Ruxo's fixed-width files, one class per record type, fields in line order.
// The record type (and, in the headers, the file kind and the layout version) are set at
// construction and only the line writers read them.

class TReg_001
{
public:
    explicit TReg_001(QString tipoDeArquivo = QString()) : FTipo_de_Arquivo(std::move(tipoDeArquivo)) {}

    QString CNPJ;
    TDateTime Data;
    TDateTime Horario;
    int Especifico_para_o_PAF = 0;

    const QString& Tipo_de_registro() const { return FTipo_de_registro; }
    const QString& Tipo_de_Arquivo() const { return FTipo_de_Arquivo; }
    const QString& Versao_do_Layout() const { return FVersao_do_Layout; }

    static constexpr int Tamanho = 41;
    static const std::vector<Ruxo::TCampo<TReg_001>>& Layout();

private:
    QString FTipo_de_registro = QStringLiteral("001");
    QString FTipo_de_Arquivo;
    QString FVersao_do_Layout = QStringLiteral("009");
};

class TReg_011
{
public:
    int PK_Cupom = 0;
    int Numero_do_ECF = 0;
    int Numero_do_Cupom = 0;
    TDateTime Data;
    Currency Valor_dos_Produtos;
    Currency Valor_do_desconto;
    Currency Valor_do_Acrescimo;
    Currency Valor_do_Cupom;
    QString CNPJ_CPF;
    QString Nome_cliente;
    QString Endereco;
    QString Bairro;
    QString Cidade;
    QString UF;
    QString Telefone;
    QString Vendedor;
    QString Operador;
    QString Cancelado;
    QString Operador_autorizou_Cancelamento;
    QString Obs_1;
    QString Obs_2;
    QString Tabela_de_Precos;
    TDateTime Horario_de_inicio;
    TDateTime Horario_de_termino;
    int CCF = 0;
    QString Codigo_Cliente;
    int Condicao_de_pagamento = 0;
    int Numero_do_DAV = 0;
    int Numero_da_Prevenda = 0;
    QString Complemento_01;
    QString Complemento_02;
    QString Complemento_03;
    QString Complemento_04;
    QString Número_do_Docto_SG;
    QString MD5;
    QString Identificacao_PV_CC;
    int Numero_de_pessoas = 0;
    int COO_de_cancelamento = 0;
    QString Operador_que_liberou_desconto;
    Currency Valor_de_ICMS;
    Currency Valor_de_ISS;
    QString CPF_Cliente;
    QString CNPJ_Administradora;
    QString Titulo_de_Capitalizacao;

    const QString& Tipo_do_registro() const { return FTipo_do_registro; }

    static constexpr int Tamanho = 661;
    static const std::vector<Ruxo::TCampo<TReg_011>>& Layout();

private:
    QString FTipo_do_registro = QStringLiteral("011");
};

class TReg_012
{
public:
    int PK_Cupom = 0;
    int Numero_do_ECF = 0;
    int Numero_do_Cupom = 0;
    QString Codigo_Produto;
    QString Descricao_do_produto;
    QString Unidade;
    Currency Quantidade;
    Currency Preco_de_venda;
    Currency Valor_do_desconto;
    Currency Valor_do_acrescimo;
    QString Tributacao;
    Currency Aliquota;
    QString Cancelado;
    QString Operador;
    int Ordem_do_item = 0;
    QString IAT;
    int Indice_da_aliquota = 0;
    QString Servico;
    QString Atendente;
    QString Codigo_adicional_informado;
    QString MD5;
    QString Codigo_do_KIT;
    QString Ordem_do_lancamento_do_KIT;
    QString Operador_que_liberou_desconto;

    const QString& Tipo_do_registro() const { return FTipo_do_registro; }

    // Two items are the same when every field of the line is: texts exactly, amounts by value.
    bool operator==(const TReg_012&) const = default;

    static constexpr int Tamanho = 281;
    static const std::vector<Ruxo::TCampo<TReg_012>>& Layout();

private:
    QString FTipo_do_registro = QStringLiteral("012");
};

class TReg_013
{
public:
    int PK_Cupom = 0;
    int Parcela = 0;
    int Numero_do_ECF = 0;
    int Numero_do_Cupom = 0;
    int Forma_de_pagamento = 0;
    Currency Valor;
    TDateTime Data_de_Vencimento;
    QString Cancelado;
    QString Observacao;
    QString Condicao_de_Pagamento;
    QString MD5;
    QString Codigo_NSU;
    QString Rede_autorizadora;
    QString Bandeira;
    int Numero_de_parcelas = 0;
    QString Codigo_de_autorizacao;
    QString Codigo_de_controle;
    Currency Taxa;
    int Codigo_tipo_servico = 0;
    QString Tipo_de_Transacao;
    QString Tipo_do_Troco;

    const QString& Tipo_do_registro() const { return FTipo_do_registro; }

    static constexpr int Tamanho = 403;
    static const std::vector<Ruxo::TCampo<TReg_013>>& Layout();

private:
    QString FTipo_do_registro = QStringLiteral("013");
};

class TReg_017
{
public:
    int PK_Cupom = 0;
    int COO_Inicial = 0;
    int COO_Final = 0;
    Currency GT_Inicial;
    Currency GT_Final;
    int CRZ = 0;
    Currency Total_Cancelados;
    Currency Total_Acrescimo;
    Currency Total_Descontos;
    Currency Total_Isento;
    Currency Total_nao_incidencia;
    Currency Total_de_Substituicao;
    TDateTime Data_Reducao;
    TDateTime Hora_Reducao;
    int Numero_do_ECF = 0;
    Currency Total_Bruto;
    int COO_Reducao_Z = 0;
    TDateTime Data_Emissao_Reducao_Z;
    QString Manual_Automatico;
    Currency Cancelado_ISS;
    Currency Acrescimo_ISS;
    Currency Desconto_ISS;
    Currency Isento_ISS;
    Currency Nao_incidente_ISS;
    Currency Substituicao_tributaria_ISS;
    QString Numero_de_Serie_do_ECF;
    QString Marca_do_ECF;
    QString Modelo_do_ECF;
    QString MF_Adicional;
    int Numero_do_CRO = 0;
    QString MD5;

    const QString& Tipo_do_registro() const { return FTipo_do_registro; }

    static constexpr int Tamanho = 376;
    static const std::vector<Ruxo::TCampo<TReg_017>>& Layout();

private:
    QString FTipo_do_registro = QStringLiteral("017");
};

class TReg_018
{
public:
    int PK_Cupom = 0;
    Currency Aliquota;
    Currency Base_de_calculo;
    Currency Valor_Imposto;
    int Numero_do_ECF = 0;
    int Indice_da_aliquota = 0;
    QString Servico;
    QString MD5;

    const QString& Tipo_do_registro() const { return FTipo_do_registro; }

    static constexpr int Tamanho = 90;
    static const std::vector<Ruxo::TCampo<TReg_018>>& Layout();

private:
    QString FTipo_do_registro = QStringLiteral("018");
};

class TReg_020
{
public:
    TDateTime Data;
    QString Codigo_do_produto;
    QString Descricao_Produto;
    Currency Quantidade;
    Currency Valor_do_Produto;
    QString Codigo_de_Posse;
    QString CNPJ;
    QString Inscricao_Estadual;
    QString UF;
    QString Unidade;

    const QString& Tipo_do_registro() const { return FTipo_do_registro; }

    static constexpr int Tamanho = 131;
    static const std::vector<Ruxo::TCampo<TReg_020>>& Layout();

private:
    QString FTipo_do_registro = QStringLiteral("020");
};

class TReg_035
{
public:
    QString Codigo_do_produto;
    Currency Quantidade_em_estoque;
    TDateTime Data;
    TDateTime Hora;

    const QString& Tipo_do_registro() const { return FTipo_do_registro; }

    static constexpr int Tamanho = 50;
    static const std::vector<Ruxo::TCampo<TReg_035>>& Layout();

private:
    QString FTipo_do_registro = QStringLiteral("035");
};

class TReg_099
{
public:
    int Registros = 0;

    const QString& Tipo_de_registro() const { return FTipo_de_registro; }

    static constexpr int Tamanho = 13;
    static const std::vector<Ruxo::TCampo<TReg_099>>& Layout();

private:
    QString FTipo_de_registro = QStringLiteral("099");
};

class TReg_101
{
public:
    explicit TReg_101(void* AOwner = nullptr) { Q_UNUSED(AOwner); }

    QString CNPJ;
    TDateTime Data_Inicial;
    TDateTime Horario_Inicial;
    TDateTime Data_Final;
    TDateTime Horario_Final;
    int Especifico_para_o_PAF = 0;

    const QString& Tipo_de_registro() const { return FTipo_de_registro; }
    const QString& Tipo_de_Arquivo() const { return FTipo_de_Arquivo; }
    const QString& Versao_do_Layout() const { return FVersao_do_Layout; }

    static constexpr int Tamanho = 55;
    static const std::vector<Ruxo::TCampo<TReg_101>>& Layout();

private:
    QString FTipo_de_registro = QStringLiteral("101");
    QString FTipo_de_Arquivo = QStringLiteral("RET");
    QString FVersao_do_Layout = QStringLiteral("009");
};

// A collection owns its items; Add appends in constant amortised time, so a file of fifty
// thousand coupons reads in one pass. Items stay where they are when others are added.
template <class T>
class TColecaoRegistros
{
public:
    explicit TColecaoRegistros(void* AOwner = nullptr) { Q_UNUSED(AOwner); }
    TColecaoRegistros(const TColecaoRegistros&) = delete;
    TColecaoRegistros& operator=(const TColecaoRegistros&) = delete;

    T& Add()
    {
        FItens.push_back(std::make_unique<T>());
        return *FItens.back();
    }

    T& Items(int Index) const
    {
        if (Index < 0 || Index >= Count())
            throw EListError(QStringLiteral("Índice de lista fora dos limites (%1)").arg(Index));
        return *FItens[size_t(Index)];
    }

    int Count() const { return int(FItens.size()); }
    void Clear() { FItens.clear(); }

    // Walking the items in order, as `for (TReg_012& item : colecao)`.
    class Iterador
    {
    public:
        using Base = typename std::vector<std::unique_ptr<T>>::const_iterator;
        explicit Iterador(Base b) : FBase(b) {}
        T& operator*() const { return **FBase; }
        T* operator->() const { return FBase->get(); }
        Iterador& operator++()
        {
            ++FBase;
            return *this;
        }
        bool operator==(const Iterador& o) const { return FBase == o.FBase; }

    private:
        Base FBase;
    };
    Iterador begin() const { return Iterador(FItens.cbegin()); }
    Iterador end() const { return Iterador(FItens.cend()); }

private:
    std::vector<std::unique_ptr<T>> FItens;
};

struct TReg_011Collection : public TColecaoRegistros<TReg_011> { using TColecaoRegistros::TColecaoRegistros; };
struct TReg_012Collection : public TColecaoRegistros<TReg_012> { using TColecaoRegistros::TColecaoRegistros; };
struct TReg_013Collection : public TColecaoRegistros<TReg_013> { using TColecaoRegistros::TColecaoRegistros; };
struct TReg_017Collection : public TColecaoRegistros<TReg_017> { using TColecaoRegistros::TColecaoRegistros; };
struct TReg_018Collection : public TColecaoRegistros<TReg_018> { using TColecaoRegistros::TColecaoRegistros; };
struct TReg_020Collection : public TColecaoRegistros<TReg_020> { using TColecaoRegistros::TColecaoRegistros; };
struct TReg_035Collection : public TColecaoRegistros<TReg_035> { using TColecaoRegistros::TColecaoRegistros; };
