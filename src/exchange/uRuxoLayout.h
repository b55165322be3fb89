#pragma once

#include "uRuxoCampos.h"

#include <QString>
#include <QStringView>
#include <QVariant>

#include <variant>
#include <vector>

// Every record is described once, field by field, in line order; the line reader, the line
// writers and the tests all walk that one description, so a position can only be wrong in one
// place.
namespace Ruxo {

enum class TCodificacao {
    S,   // constant of the record (type, file kind, layout version): written, never read
    N,   // whole number
    X,   // text
    V,   // money, two implied decimals
    Q,   // quantity, three implied decimals
    R,   // rate in percent, two implied decimals
    D8,  // date ddMMyyyy
    H6,  // time hhmmss
    KX,  // tax number: digits only, then as text
    KN,  // tax number: digits only, then as whole number
    DX,  // digits only, then as text (state registration)
};

template <class T>
struct TCampo
{
    using Membro = std::variant<QString T::*, int T::*, Currency T::*, TDateTime T::*>;
    const char* Nome;
    int Posicao;  // 1-based
    int Largura;
    TCodificacao Codificacao;
    Membro Campo;
};

QString Digitos(const QString& texto);

template <class T>
void LerCampo(QStringView linha, T& reg, const TCampo<T>& c)
{
    const QStringView t = Recorta(linha, c.Posicao, c.Largura);
    switch (c.Codificacao) {
    case TCodificacao::S:
        return;
    case TCodificacao::N:
        reg.*std::get<int T::*>(c.Campo) = LerN(t);
        return;
    case TCodificacao::X:
    case TCodificacao::KX:
    case TCodificacao::KN:
    case TCodificacao::DX:
        reg.*std::get<QString T::*>(c.Campo) = LerX(t);
        return;
    case TCodificacao::V:
    case TCodificacao::R:
        reg.*std::get<Currency T::*>(c.Campo) = LerV(t);
        return;
    case TCodificacao::Q:
        reg.*std::get<Currency T::*>(c.Campo) = LerQ(t);
        return;
    case TCodificacao::D8:
        reg.*std::get<TDateTime T::*>(c.Campo) = LerD8(t);
        return;
    case TCodificacao::H6:
        reg.*std::get<TDateTime T::*>(c.Campo) = LerH6(t);
        return;
    }
}

template <class T>
QString GravarCampo(const T& reg, const TCampo<T>& c)
{
    switch (c.Codificacao) {
    case TCodificacao::S:
    case TCodificacao::X:
        return GravarX(reg.*std::get<QString T::*>(c.Campo), c.Largura);
    case TCodificacao::N:
        return GravarN(reg.*std::get<int T::*>(c.Campo), c.Largura);
    case TCodificacao::KX:
    case TCodificacao::DX:
        return GravarX(Digitos(reg.*std::get<QString T::*>(c.Campo)), c.Largura);
    case TCodificacao::KN:
        return GravarN(Digitos(reg.*std::get<QString T::*>(c.Campo)), c.Largura);
    case TCodificacao::V:
    case TCodificacao::R:
        return GravarV(reg.*std::get<Currency T::*>(c.Campo), c.Largura);
    case TCodificacao::Q:
        return GravarQ(reg.*std::get<Currency T::*>(c.Campo), c.Largura);
    case TCodificacao::D8:
        return GravarD8(reg.*std::get<TDateTime T::*>(c.Campo));
    case TCodificacao::H6:
        return GravarH6(reg.*std::get<TDateTime T::*>(c.Campo));
    }
    return {};
}

// Fills every readable field of `reg` from the line; a short line fills what it reaches and
// leaves the rest as the reader finds it in an empty field.
template <class T>
void LerLinha(QStringView linha, T& reg)
{
    for (const TCampo<T>& c : T::Layout())
        LerCampo(linha, reg, c);
}

template <class T>
QString GerarLinha(const T& reg)
{
    QString linha;
    linha.reserve(T::Tamanho);
    for (const TCampo<T>& c : T::Layout())
        linha += GravarCampo(reg, c);
    return linha;
}

template <class T>
QVariant ValorDoCampo(const T& reg, const TCampo<T>& c)
{
    return std::visit([&](auto membro) { return QVariant::fromValue(reg.*membro); }, c.Campo);
}

template <class T>
const TCampo<T>* CampoPorNome(QStringView nome)
{
    for (const TCampo<T>& c : T::Layout())
        if (nome == QString::fromUtf8(c.Nome))
            return &c;
    return nullptr;
}

}  // namespace Ruxo
