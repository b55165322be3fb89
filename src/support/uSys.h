#pragma once

#include <QString>

// The session's parameters: one record the whole program reads and assigns directly.
// Field order is the record's layout; several fields are kept for it though nothing reads them.
struct TSys
{
    QString Codigo_da_Empresa;
    QString CGC_da_Empresa;
    QString Nome_Fantasia_Empresa;
    QString Atividade_da_Empresa;
    QString Codigo_do_Usuario;
    QString Codigo_do_Vendedor;
    QString Codigo_da_Transportadora;
    QString Nome_Fantasia_Transport;
    QString Placa_do_Veiculo;
    QString UF_Veiculo;
    QString Frete_por_Conta;
    QString Codigo_da_Destinacao;
    QString Descricao_da_Destinacao;
    QString CFO;
    QString Atualiza_Estoque;
    QString Tipo_Movimento_Estoque;
    QString Nivel_Usuario;
    QString Nome_Usuario;
    QString Tipo_ContrDia;
    QString Numero_Controle_Dia;
    QString Numero_do_CRO;
    QString Numero_do_ECF;
    bool IsSupervisor = false;
    QString Diretorio;
    QString Estacao;
    QString Chapa_Supervisor;
    QString Nome_Supervisor;
    QString Nivel_Supervisor;
    QString Codigo_do_Cliente;
    bool Caixa_Aberto = false;
    QString Caixa_Id;
    bool Fechar = false;
};

extern TSys Sys_;
