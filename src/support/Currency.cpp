#include "Currency.h"

#include "uErros.h"

#include <cmath>
#include <limits>

namespace {

using i128 = __int128;

constexpr i128 Potencia10(int n)
{
    i128 p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// Quotient of a / b rounded half to even (b > 0 or b < 0, never 0).
i128 DivideMeioPar(i128 a, i128 b)
{
    if (b < 0) {
        a = -a;
        b = -b;
    }
    i128 q = a / b;
    i128 r = a % b;
    if (r == 0)
        return q;
    i128 dobro = (r < 0 ? -r : r) * 2;
    int sinal = (a < 0) ? -1 : 1;
    if (dobro > b || (dobro == b && (q % 2 != 0)))
        q += sinal;
    return q;
}

i128 ArredondaEm(i128 valor, int casasDoValor, int decimais)
{
    if (decimais >= casasDoValor)
        return valor;
    i128 passo = Potencia10(casasDoValor - decimais);
    return DivideMeioPar(valor, passo) * passo;
}

i128 TruncaEm(i128 valor, int casasDoValor, int decimais)
{
    if (decimais >= casasDoValor)
        return valor;
    i128 passo = Potencia10(casasDoValor - decimais);
    return (valor / passo) * passo;  // C++ division cuts toward zero
}

int64_t Estreita(i128 v)
{
    if (v > std::numeric_limits<int64_t>::max() || v < std::numeric_limits<int64_t>::min())
        throw EConvertError(QStringLiteral("Valor fora da faixa de Currency"));
    return int64_t(v);
}

QString TextoDecimal(i128 valor, int casas, int decimaisFixos, QChar separador)
{
    bool negativo = valor < 0;
    unsigned __int128 a = negativo ? (unsigned __int128)(-valor) : (unsigned __int128)valor;
    unsigned __int128 escala = (unsigned __int128)Potencia10(casas);
    unsigned __int128 inteiro = a / escala;
    unsigned __int128 fracao = a % escala;

    QString digitos;
    do {
        digitos.prepend(QChar(u'0' + int(inteiro % 10)));
        inteiro /= 10;
    } while (inteiro != 0);

    QString frac;
    for (int i = 0; i < casas; ++i) {
        frac.prepend(QChar(u'0' + int(fracao % 10)));
        fracao /= 10;
    }
    if (decimaisFixos < 0) {
        while (!frac.isEmpty() && frac.endsWith(u'0'))
            frac.chop(1);
    } else {
        frac = frac.left(decimaisFixos);
    }
    QString r = digitos;
    if (!frac.isEmpty())
        r += separador + frac;
    bool zero = (a == 0) || (r.count(u'0') + (frac.isEmpty() ? 0 : 1) == r.size());
    if (negativo && !zero)
        r.prepend(u'-');
    return r;
}

}  // namespace

Currency Currency::FromDouble(double valor)
{
    if (!std::isfinite(valor) || std::fabs(valor) > 9.2e14)
        throw EConvertError(QStringLiteral("Valor fora da faixa de Currency"));
    // The shortest decimal text of the double is what the user saw; read it back exactly,
    // so 0.1 gives 1000 ten-thousandths and not 999.
    auto c = Parse(QString::number(valor, 'g', 15));
    if (!c)
        return FromRaw(int64_t(std::nearbyint(valor * Escala)));
    return *c;
}

std::optional<Currency> Currency::Parse(QStringView texto)
{
    QStringView t = texto.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool negativo = false;
    qsizetype i = 0;
    if (t[0] == u'-' || t[0] == u'+') {
        negativo = t[0] == u'-';
        ++i;
    }
    i128 valor = 0;
    int casas = 0;
    bool separador = false;
    bool algumDigito = false;
    qsizetype expoente = 0;
    for (; i < t.size(); ++i) {
        QChar ch = t[i];
        if (ch >= u'0' && ch <= u'9') {
            algumDigito = true;
            if (valor > Potencia10(30))
                return std::nullopt;
            valor = valor * 10 + (ch.unicode() - u'0');
            if (separador)
                ++casas;
        } else if ((ch == u'.' || ch == u',') && !separador) {
            separador = true;
        } else if ((ch == u'e' || ch == u'E') && algumDigito) {
            bool ok = false;
            expoente = t.mid(i + 1).toInt(&ok);
            if (!ok)
                return std::nullopt;
            break;
        } else {
            return std::nullopt;
        }
    }
    if (!algumDigito)
        return std::nullopt;
    casas -= int(expoente);
    while (casas < 0) {
        valor *= 10;
        ++casas;
        if (valor > Potencia10(34))
            return std::nullopt;
    }
    // valor has `casas` decimals; bring it to four, ties to even.
    i128 quatro;
    if (casas > 4) {
        if (casas > 36)
            quatro = 0;
        else
            quatro = DivideMeioPar(valor, Potencia10(casas - 4));
    } else {
        quatro = valor * Potencia10(4 - casas);
    }
    if (negativo)
        quatro = -quatro;
    if (quatro > std::numeric_limits<int64_t>::max() || quatro < std::numeric_limits<int64_t>::min())
        return std::nullopt;
    return FromRaw(int64_t(quatro));
}

QString Currency::ToString(QChar separador) const
{
    return TextoDecimal(FValor, 4, -1, separador);
}

QString Currency::ToString(int decimais, QChar separador) const
{
    return TextoDecimal(Arredonda(decimais).FValor, 4, decimais, separador);
}

Currency Currency::Arredonda(int decimais) const
{
    return FromRaw(Estreita(ArredondaEm(FValor, 4, decimais)));
}

Currency Currency::Trunca(int decimais) const
{
    return FromRaw(Estreita(TruncaEm(FValor, 4, decimais)));
}

Exato Currency::Vezes(Currency outro) const
{
    return Exato(*this) * Exato(outro);
}

Currency Currency::operator*(Currency o) const
{
    return FromRaw(Estreita(DivideMeioPar(i128(FValor) * o.FValor, Escala)));
}

Currency Currency::operator/(Currency o) const
{
    if (o.FValor == 0)
        throw EZeroDivide(QStringLiteral("Divisão por zero"));
    return FromRaw(Estreita(DivideMeioPar(i128(FValor) * Escala, o.FValor)));
}

// ---------------------------------------------------------------------------------------------

namespace {
constexpr i128 EscalaExata = Potencia10(Exato::Casas);
constexpr i128 DeCurrency = Potencia10(Exato::Casas - 4);
}  // namespace

Exato::Exato(Currency c) : FValor(i128(c.Raw()) * DeCurrency) {}

Exato::Exato(int inteiro) : FValor(i128(inteiro) * EscalaExata) {}

Exato Exato::operator+(const Exato& o) const { return FromRaw(FValor + o.FValor); }
Exato Exato::operator-(const Exato& o) const { return FromRaw(FValor - o.FValor); }
Exato Exato::operator-() const { return FromRaw(-FValor); }

Exato Exato::operator*(const Exato& o) const
{
    // Split one factor so the 24-decimal product never overflows for values of the ERP's range.
    i128 a = FValor, b = o.FValor;
    i128 ai = a / EscalaExata, af = a % EscalaExata;
    i128 parteInteira = ai * b;                      // exact, 12 decimals
    i128 parteFracao = DivideMeioPar(af * b, EscalaExata);  // af < 1e12, b < ~1e26 for sane values
    return FromRaw(parteInteira + parteFracao);
}

Exato Exato::operator/(const Exato& o) const
{
    if (o.FValor == 0)
        throw EZeroDivide(QStringLiteral("Divisão por zero"));
    // a / b at twelve decimals: (a * 10^12) / b, done in two steps to stay within 128 bits.
    i128 a = FValor, b = o.FValor;
    i128 q = a / b;
    i128 r = a % b;
    i128 resultado = q * EscalaExata;
    // The remainder's share: r * 10^12 / b, where |r| < |b|; scale in steps of 10^6.
    i128 passo = Potencia10(6);
    i128 parcial = 0;
    for (int k = 0; k < 2; ++k) {
        r *= passo;
        i128 d = r / b;
        r = r % b;
        parcial = parcial * passo + d;
    }
    // Round the last digit half to even with what is left.
    i128 dobro = (r < 0 ? -r : r) * 2;
    i128 absb = b < 0 ? -b : b;
    bool negativo = (a < 0) != (b < 0);
    if (dobro > absb || (dobro == absb && ((resultado + parcial) % 2 != 0)))
        parcial += negativo ? -1 : 1;
    return FromRaw(resultado + parcial);
}

Exato Exato::Trunca(int decimais) const { return FromRaw(TruncaEm(FValor, Casas, decimais)); }
Exato Exato::Arredonda(int decimais) const { return FromRaw(ArredondaEm(FValor, Casas, decimais)); }

Currency Exato::ToCurrency() const
{
    return Currency::FromRaw(Estreita(DivideMeioPar(FValor, DeCurrency)));
}

double Exato::ToDouble() const { return double(FValor) / double(EscalaExata); }

QString Exato::ToString() const { return TextoDecimal(FValor, Casas, -1, u'.'); }

std::strong_ordering Exato::operator<=>(const Exato& o) const
{
    if (FValor < o.FValor)
        return std::strong_ordering::less;
    if (FValor > o.FValor)
        return std::strong_ordering::greater;
    return std::strong_ordering::equal;
}

// Named registration, so the reflection layer can find the type by its name "Currency".
static const int RegistroCurrency = qRegisterMetaType<Currency>("Currency");
