#pragma once

#include "uErros.h"

#include <QByteArray>
#include <QString>

#include <cstring>

// The file TGravadorComandos writes and the floors read: per statement its distinct id
// (quint32), the number of values (quint16) and each value as a tag and its bytes; MarcaArquivo
// where a coupon file ended. Native byte order: it is read back by the same process.
namespace Bench {

constexpr quint32 MarcaArquivo = 0xFFFFFFFFu;
enum : char { vNulo = 0, vInteiro = 1, vReal = 2, vTexto = 3 };

template <class T>
void Poe(QByteArray& b, T v)
{
    b.append(reinterpret_cast<const char*>(&v), sizeof v);
}

inline void PoeTexto(QByteArray& b, const QByteArray& t)
{
    b.append(vTexto);
    Poe(b, quint32(t.size()));
    b.append(t);
}

class TLeitor
{
public:
    TLeitor(const uchar* p, qint64 n) : FP(p), FFim(p + n) {}
    bool Fim() const { return FP >= FFim; }
    template <class T>
    T Le()
    {
        if (FFim - FP < qint64(sizeof(T)))
            throw EInOutError(QStringLiteral("Gravação de comandos truncada"));
        T v;
        std::memcpy(&v, FP, sizeof v);
        FP += sizeof v;
        return v;
    }
    const char* Bytes(quint32 n)
    {
        if (FFim - FP < qint64(n))
            throw EInOutError(QStringLiteral("Gravação de comandos truncada"));
        const char* r = reinterpret_cast<const char*>(FP);
        FP += n;
        return r;
    }

private:
    const uchar* FP;
    const uchar* FFim;
};

}  // namespace Bench
