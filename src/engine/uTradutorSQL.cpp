#include "uTradutorSQL.h"

#include "uErros.h"

namespace {

enum class TTipoToken { Espaco, Ident, Aspas, TabelaAlias, Literal, Numero, Param, Simbolo };

struct TToken
{
    TTipoToken Tipo;
    int Ini;
    int Fim;
    int Linha;
    QString Valor;   // identifier, quoted content, parameter name, symbol
    QString Alias;   // TabelaAlias only
};

bool InicioIdent(QChar c) { return c.isLetter() || c == u'_'; }
bool ParteIdent(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

[[noreturn]] void Falha(const QString& texto, int linha, const QString& motivo)
{
    QStringList linhas = texto.split(u'\n');
    QString l = linha >= 1 && linha <= linhas.size() ? linhas[linha - 1] : QString();
    if (l.endsWith(u'\r'))
        l.chop(1);
    throw EDatabaseError(QStringLiteral("Comando SQL ilegível (%1) na linha %2: %3").arg(motivo).arg(linha).arg(l));
}

std::vector<TToken> Tokeniza(const QString& t)
{
    std::vector<TToken> r;
    const int n = int(t.size());
    int i = 0;
    int linha = 1;
    auto conta = [&](int de, int ate) {
        for (int k = de; k < ate; ++k)
            if (t[k] == u'\n')
                ++linha;
    };
    while (i < n) {
        const QChar c = t[i];
        const int ini = i;
        const int linhaIni = linha;
        if (c.isSpace()) {
            while (i < n && t[i].isSpace())
                ++i;
            conta(ini, i);
            r.push_back({TTipoToken::Espaco, ini, i, linhaIni, {}, {}});
        } else if (c == u'-' && i + 1 < n && t[i + 1] == u'-') {
            while (i < n && t[i] != u'\n')
                ++i;
            r.push_back({TTipoToken::Espaco, ini, i, linhaIni, {}, {}});
        } else if (c == u'/' && i + 1 < n && t[i + 1] == u'*') {
            int f = int(t.indexOf(QStringLiteral("*/"), i + 2));
            if (f < 0)
                Falha(t, linhaIni, QStringLiteral("comentário sem fechamento"));
            i = f + 2;
            conta(ini, i);
            r.push_back({TTipoToken::Espaco, ini, i, linhaIni, {}, {}});
        } else if (c == u'\'' || c == u'"') {
            QString valor;
            ++i;
            bool fechou = false;
            while (i < n) {
                if (t[i] == c) {
                    if (i + 1 < n && t[i + 1] == c) {
                        valor += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    fechou = true;
                    break;
                }
                valor += t[i];
                ++i;
            }
            if (!fechou)
                Falha(t, linhaIni, c == u'"' ? QStringLiteral("aspas duplas sem fechamento")
                                             : QStringLiteral("aspas sem fechamento"));
            conta(ini, i);
            if (c == u'\'') {
                r.push_back({TTipoToken::Literal, ini, i, linhaIni, valor, {}});
            } else if (valor.startsWith(u':')) {
                // ":ALIAS:TABLE"
                int seg = int(valor.indexOf(u':', 1));
                if (seg <= 1 || seg == valor.size() - 1)
                    Falha(t, linhaIni, QStringLiteral("referência de tabela inválida"));
                r.push_back({TTipoToken::TabelaAlias, ini, i, linhaIni, valor.mid(seg + 1),
                             valor.mid(1, seg - 1).toUpper()});
            } else {
                r.push_back({TTipoToken::Aspas, ini, i, linhaIni, valor, {}});
            }
        } else if (c == u':') {
            ++i;
            if (i >= n || !ParteIdent(t[i]))
                Falha(t, linhaIni, QStringLiteral("parâmetro sem nome"));
            while (i < n && ParteIdent(t[i]))
                ++i;
            r.push_back({TTipoToken::Param, ini, i, linhaIni, t.mid(ini + 1, i - ini - 1), {}});
        } else if (InicioIdent(c)) {
            while (i < n && ParteIdent(t[i]))
                ++i;
            r.push_back({TTipoToken::Ident, ini, i, linhaIni, t.mid(ini, i - ini), {}});
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && t[i + 1].isDigit())) {
            while (i < n && (t[i].isLetterOrNumber() || t[i] == u'.'))
                ++i;
            r.push_back({TTipoToken::Numero, ini, i, linhaIni, t.mid(ini, i - ini), {}});
        } else {
            ++i;
            if (i < n) {
                const QChar d = t[i];
                if ((c == u'<' && (d == u'=' || d == u'>')) || (c == u'>' && d == u'=') ||
                    (c == u'!' && d == u'=') || (c == u'|' && d == u'|'))
                    ++i;
            }
            r.push_back({TTipoToken::Simbolo, ini, i, linhaIni, t.mid(ini, i - ini), {}});
        }
    }
    return r;
}

bool Palavra(const TToken& k, const char* p)
{
    return k.Tipo == TTipoToken::Ident && k.Valor.compare(QLatin1StringView(p), Qt::CaseInsensitive) == 0;
}

bool Simbolo(const TToken& k, const char* p)
{
    return k.Tipo == TTipoToken::Simbolo && k.Valor == QLatin1StringView(p);
}

bool SeguidoDePonto(const std::vector<TToken>& tokens, size_t i)
{
    size_t j = i + 1;
    while (j < tokens.size() && tokens[j].Tipo == TTipoToken::Espaco)
        ++j;
    return j < tokens.size() && Simbolo(tokens[j], ".");
}

bool Comparacao(const TToken& k)
{
    return k.Tipo == TTipoToken::Simbolo &&
           (k.Valor == u"=" || k.Valor == u"<" || k.Valor == u">" || k.Valor == u"<=" ||
            k.Valor == u">=" || k.Valor == u"<>" || k.Valor == u"!=");
}

const char* const PalavrasReservadas[] = {
    "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "NULL", "IS", "IN", "LIKE", "BETWEEN", "SET",
    "VALUES", "INTO", "INSERT", "UPDATE", "DELETE", "ORDER", "GROUP", "BY", "HAVING", "AS", "ON",
    "JOIN", "INNER", "LEFT", "RIGHT", "OUTER", "DISTINCT", "UNION", "ALL", "ASC", "DESC", "CASE",
    "WHEN", "THEN", "ELSE", "END", "EXISTS",
};

bool Reservada(const TToken& k)
{
    if (k.Tipo != TTipoToken::Ident)
        return false;
    for (const char* p : PalavrasReservadas)
        if (Palavra(k, p))
            return true;
    return false;
}

bool NomeColuna(const TToken& k)
{
    return k.Tipo == TTipoToken::Aspas || (k.Tipo == TTipoToken::Ident && !Reservada(k));
}

class TAnalise
{
public:
    TAnalise(const std::vector<TToken>& tokens, TTraducao& r) : FTokens(tokens), R(r)
    {
        for (int i = 0; i < int(tokens.size()); ++i)
            if (tokens[i].Tipo != TTipoToken::Espaco)
                S.push_back(i);
    }

    const TToken& At(int k) const { return FTokens[S[k]]; }
    int Qtd() const { return int(S.size()); }

    // A column reference ending at k (inclusive): "X"."Y", X.Y or a lone name. Returns its first
    // index, or -1.
    int ColunaTerminaEm(int k, TColunaAlvo& alvo) const
    {
        if (k < 0 || !NomeColuna(At(k)))
            return -1;
        if (k >= 2 && Simbolo(At(k - 1), ".") && NomeColuna(At(k - 2))) {
            alvo = Resolve(At(k - 2).Valor, At(k).Valor);
            return k - 2;
        }
        if (k >= 1 && Simbolo(At(k - 1), "."))
            return -1;
        alvo = Resolve(QString(), At(k).Valor);
        return k;
    }

    int ColunaComecaEm(int k, TColunaAlvo& alvo) const
    {
        if (k >= Qtd() || !NomeColuna(At(k)))
            return -1;
        if (k + 2 < Qtd() && Simbolo(At(k + 1), ".") && NomeColuna(At(k + 2))) {
            alvo = Resolve(At(k).Valor, At(k + 2).Valor);
            return k + 2;
        }
        if (k + 1 < Qtd() && (Simbolo(At(k + 1), ".") || Simbolo(At(k + 1), "(")))
            return -1;
        alvo = Resolve(QString(), At(k).Valor);
        return k;
    }

    TColunaAlvo Resolve(const QString& qualificador, const QString& coluna) const
    {
        TColunaAlvo a;
        a.Coluna = coluna;
        const TTabelaReferida* t = nullptr;
        for (const auto& ref : R.Tabelas)
            if (!qualificador.isEmpty() && ref.Tabela.compare(qualificador, Qt::CaseInsensitive) == 0) {
                t = &ref;
                break;
            }
        if (!t && !R.Tabelas.empty())
            t = &R.Tabelas.front();
        if (t) {
            a.Alias = t->Alias;
            a.Tabela = t->Tabela;
        }
        return a;
    }

    // Pieces separated by top-level commas between the parentheses opening at k.
    std::vector<std::pair<int, int>> Itens(int abre, int& fecha) const
    {
        std::vector<std::pair<int, int>> itens;
        int nivel = 0;
        int ini = abre + 1;
        for (int k = abre; k < Qtd(); ++k) {
            if (Simbolo(At(k), "("))
                ++nivel;
            else if (Simbolo(At(k), ")")) {
                if (--nivel == 0) {
                    itens.push_back({ini, k - 1});
                    fecha = k;
                    return itens;
                }
            } else if (nivel == 1 && Simbolo(At(k), ",")) {
                itens.push_back({ini, k - 1});
                ini = k + 1;
            }
        }
        fecha = -1;
        return {};
    }

    void Alvos()
    {
        // Values of an INSERT go to the column at the same position of its column list.
        if (Qtd() > 0 && Palavra(At(0), "INSERT")) {
            int abre = -1;
            for (int k = 1; k < Qtd(); ++k)
                if (Simbolo(At(k), "(")) {
                    abre = k;
                    break;
                }
            int fecha = -1;
            std::vector<std::pair<int, int>> colunas;
            if (abre > 0)
                colunas = Itens(abre, fecha);
            if (fecha > 0 && fecha + 2 < Qtd() && Palavra(At(fecha + 1), "VALUES") &&
                Simbolo(At(fecha + 2), "(")) {
                int fim = -1;
                auto valores = Itens(fecha + 2, fim);
                for (size_t i = 0; i < valores.size() && i < colunas.size(); ++i) {
                    auto [a, b] = valores[i];
                    if (a != b || At(a).Tipo != TTipoToken::Param)
                        continue;
                    TColunaAlvo alvo;
                    if (ColunaTerminaEm(colunas[i].second, alvo) >= colunas[i].first)
                        Define(At(a).Valor, alvo);
                }
            }
        }
        for (int k = 0; k < Qtd(); ++k) {
            if (At(k).Tipo != TTipoToken::Param)
                continue;
            TColunaAlvo alvo;
            if (k >= 2 && Comparacao(At(k - 1)) && ColunaTerminaEm(k - 2, alvo) >= 0)
                Define(At(k).Valor, alvo);
            else if (k + 2 < Qtd() && Comparacao(At(k + 1)) && ColunaComecaEm(k + 2, alvo) >= 0)
                Define(At(k).Valor, alvo);
        }
    }

    // Insert column lists and update targets take bare column names in SQL; the qualifier the
    // local-SQL texts write there goes away.
    void Qualificadores()
    {
        if (Qtd() == 0)
            return;
        auto omite = [&](int k) {
            if (k + 2 < Qtd() && NomeColuna(At(k)) && Simbolo(At(k + 1), ".") && NomeColuna(At(k + 2))) {
                Omitir.push_back(S[k]);
                Omitir.push_back(S[k + 1]);
            }
        };
        if (Palavra(At(0), "INSERT")) {
            for (int k = 1; k < Qtd(); ++k)
                if (Simbolo(At(k), "(")) {
                    int fecha = -1;
                    for (auto [a, b] : Itens(k, fecha))
                        if (b - a == 2)
                            omite(a);
                    return;
                }
        } else if (Palavra(At(0), "UPDATE")) {
            int k = 1;
            while (k < Qtd() && !Palavra(At(k), "SET"))
                ++k;
            int nivel = 0;
            bool inicio = true;
            for (++k; k < Qtd(); ++k) {
                if (inicio && nivel == 0)
                    omite(k);
                inicio = false;
                if (Simbolo(At(k), "("))
                    ++nivel;
                else if (Simbolo(At(k), ")"))
                    --nivel;
                else if (nivel == 0 && Simbolo(At(k), ","))
                    inicio = true;
                else if (nivel == 0 && Palavra(At(k), "WHERE"))
                    return;
            }
        }
    }

    void Origens()
    {
        if (Qtd() == 0 || !Palavra(At(0), "SELECT"))
            return;
        int k = 1;
        if (k < Qtd() && (Palavra(At(k), "DISTINCT") || Palavra(At(k), "ALL")))
            ++k;
        int indice = 0;
        int nivel = 0;
        int ini = k;
        for (; k <= Qtd(); ++k) {
            bool fimItem = k == Qtd() || (nivel == 0 && (Simbolo(At(k), ",") || Palavra(At(k), "FROM")));
            if (!fimItem) {
                if (Simbolo(At(k), "("))
                    ++nivel;
                else if (Simbolo(At(k), ")"))
                    --nivel;
                else if (Simbolo(At(k), "*"))
                    return;  // a star makes the positions after it unknowable here
                continue;
            }
            // MAX ( column ) [AS name]
            if (k - ini >= 4 && (Palavra(At(ini), "MAX") || Palavra(At(ini), "MIN")) &&
                Simbolo(At(ini + 1), "(")) {
                int fechaEm = -1;
                for (int j = ini + 2; j < k; ++j)
                    if (Simbolo(At(j), ")")) {
                        fechaEm = j;
                        break;
                    }
                TColunaAlvo alvo;
                if (fechaEm > 0 && ColunaTerminaEm(fechaEm - 1, alvo) == ini + 2)
                    R.Origens.push_back({indice, alvo});
            }
            ++indice;
            ini = k + 1;
            if (k == Qtd() || Palavra(At(k), "FROM"))
                return;
        }
    }

    // CREATE TABLE: every column's declared type, rewritten where the dialect wants; CREATE
    // INDEX: the alias moved from the index's name to its table where the dialect wants.
    void Criacao(const QString& texto, const TDialetoSQL& dialeto)
    {
        if (Qtd() < 3 || !Palavra(At(0), "CREATE"))
            return;
        int k = 1;
        if (Palavra(At(k), "TEMP") || Palavra(At(k), "TEMPORARY") || Palavra(At(k), "UNIQUE"))
            ++k;
        if (k < Qtd() && Palavra(At(k), "TABLE"))
            Tabela(k + 1, texto, dialeto);
        else if (k < Qtd() && Palavra(At(k), "INDEX") && dialeto.IndiceComTabelaQualificada())
            Indice(k + 1, dialeto);
    }

    void Tabela(int k, const QString& texto, const TDialetoSQL& dialeto)
    {
        while (k < Qtd() && !Simbolo(At(k), "("))
            ++k;
        if (k >= Qtd())
            return;
        int fecha = -1;
        const auto itens = Itens(k, fecha);
        const TTabelaReferida tabela = R.Tabelas.empty() ? TTabelaReferida{} : R.Tabelas.front();
        for (auto [a, b] : itens) {
            if (a + 1 > b || !NomeColuna(At(a)) || At(a + 1).Tipo != TTipoToken::Ident)
                continue;
            if (At(a).Tipo == TTipoToken::Ident &&
                (Palavra(At(a), "PRIMARY") || Palavra(At(a), "UNIQUE") || Palavra(At(a), "CONSTRAINT") ||
                 Palavra(At(a), "FOREIGN") || Palavra(At(a), "CHECK")))
                continue;
            const int ini = a + 1;
            int fim = ini;
            if (fim + 1 <= b && Simbolo(At(fim + 1), "(")) {
                for (int j = fim + 2; j <= b; ++j)
                    if (Simbolo(At(j), ")")) {
                        fim = j;
                        break;
                    }
            }
            const QString declarado = texto.mid(At(ini).Ini, At(fim).Fim - At(ini).Ini);
            R.Declaradas.push_back({tabela.Alias, tabela.Tabela, At(a).Valor, declarado});
            const QString novo = dialeto.TipoColuna(declarado);
            if (novo.isEmpty())
                continue;
            Substituir.insert(S[ini], novo);
            for (int t = S[ini] + 1; t <= S[fim]; ++t)
                Omitir.push_back(t);
        }
    }

    void Indice(int k, const TDialetoSQL& dialeto)
    {
        if (k + 2 < Qtd() && Palavra(At(k), "IF") && Palavra(At(k + 1), "NOT") && Palavra(At(k + 2), "EXISTS"))
            k += 3;
        if (k + 4 >= Qtd() || !NomeColuna(At(k)) || !Simbolo(At(k + 1), ".") || !NomeColuna(At(k + 2)) ||
            !Palavra(At(k + 3), "ON") || !NomeColuna(At(k + 4)))
            return;
        for (int t = S[k]; t < S[k + 2]; ++t)
            Omitir.push_back(t);
        Substituir.insert(S[k + 4], dialeto.ReferenciaTabela(At(k).Valor.toUpper(), At(k + 4).Valor));
    }

    void Define(const QString& param, const TColunaAlvo& alvo)
    {
        int i = R.IndiceParametro(param);
        if (i >= 0 && R.Alvos[i].Coluna.isEmpty())
            R.Alvos[i] = alvo;
    }

    const std::vector<TToken>& FTokens;
    TTraducao& R;
    std::vector<int> S;
    std::vector<int> Omitir;
    QHash<int, QString> Substituir;
};

}  // namespace

int TTraducao::IndiceParametro(const QString& nome) const
{
    auto it = FExato.constFind(nome);
    if (it != FExato.cend())
        return it.value();
    auto m = FMaiusculo.constFind(nome.toUpper());
    return m != FMaiusculo.cend() ? m.value() : -1;
}

int TTraducao::LinhaDoOffset(int offsetBytes) const
{
    int linha = 0;
    for (const auto& [offset, l] : FMapa) {
        if (offset > offsetBytes)
            break;
        linha = l;
    }
    return linha;
}

QString TTraducao::Linha(int linha) const
{
    QStringList linhas = TextoOriginal.split(u'\n');
    if (linha < 1 || linha > linhas.size())
        return {};
    QString l = linhas[linha - 1];
    if (l.endsWith(u'\r'))
        l.chop(1);
    return l;
}

std::shared_ptr<const TTraducao> TraduzirSQL(const QString& texto, const QString& aliasPadrao,
                                             const TDialetoSQL& dialeto)
{
    auto r = std::make_shared<TTraducao>();
    r->TextoOriginal = texto;
    r->AliasPadrao = aliasPadrao.toUpper();
    const std::vector<TToken> tokens = Tokeniza(texto);

    // Parameters, tables, and which tokens name a table the statement should find in the
    // query's own alias.
    std::vector<bool> tabelaSemAlias(tokens.size(), false);
    const TToken* anterior = nullptr;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const TToken& k = tokens[i];
        if (k.Tipo == TTipoToken::Espaco)
            continue;
        if (k.Tipo == TTipoToken::Param) {
            QString maiusculo = k.Valor.toUpper();
            if (!r->FMaiusculo.contains(maiusculo)) {
                int indice = int(r->Parametros.size());
                r->Parametros << k.Valor;
                r->FExato.insert(k.Valor, indice);
                r->FMaiusculo.insert(maiusculo, indice);
                r->Alvos.emplace_back();
            }
        } else if (k.Tipo == TTipoToken::TabelaAlias) {
            r->Tabelas.push_back({k.Alias, k.Valor});
        } else if ((k.Tipo == TTipoToken::Ident || k.Tipo == TTipoToken::Aspas) && anterior &&
                   (Palavra(*anterior, "FROM") || Palavra(*anterior, "JOIN") ||
                    Palavra(*anterior, "INTO") || Palavra(*anterior, "UPDATE")) &&
                   !Reservada(k)) {
            size_t j = i + 1;
            while (j < tokens.size() && tokens[j].Tipo == TTipoToken::Espaco)
                ++j;
            bool qualificada = j < tokens.size() && Simbolo(tokens[j], ".");
            if (!qualificada) {
                r->Tabelas.push_back({r->AliasPadrao, k.Valor});
                tabelaSemAlias[i] = !r->AliasPadrao.isEmpty();
            }
        }
        anterior = &k;
    }
    for (const TToken& k : tokens)
        if (k.Tipo != TTipoToken::Espaco) {
            r->Consulta = Palavra(k, "SELECT") || Palavra(k, "WITH") || Palavra(k, "PRAGMA");
            break;
        }

    TAnalise analise(tokens, *r);
    analise.Alvos();
    analise.Origens();
    analise.Qualificadores();
    analise.Criacao(texto, dialeto);
    std::vector<bool> omitir(tokens.size(), false);
    for (int k : analise.Omitir)
        omitir[size_t(k)] = true;

    QString sql;
    sql.reserve(texto.size() + 64);
    int bytes = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const TToken& k = tokens[i];
        if (omitir[i])
            continue;
        QString peca;
        if (auto sub = analise.Substituir.constFind(int(i)); sub != analise.Substituir.cend())
            peca = sub.value();
        else if (k.Tipo == TTipoToken::Param)
            peca = dialeto.Parametro(r->IndiceParametro(k.Valor) + 1);
        else if (k.Tipo == TTipoToken::TabelaAlias)
            peca = dialeto.ReferenciaTabela(k.Alias, k.Valor);
        else if (tabelaSemAlias[i])
            peca = dialeto.ReferenciaTabela(r->AliasPadrao, k.Valor);
        else if (k.Tipo == TTipoToken::Ident && !Reservada(k) && SeguidoDePonto(tokens, i))
            peca = dialeto.Qualificador(k.Valor);
        else
            peca = texto.mid(k.Ini, k.Fim - k.Ini);
        if (k.Tipo != TTipoToken::Espaco)
            r->FMapa.push_back({bytes, k.Linha});
        bytes += int(peca.toUtf8().size());
        sql += peca;
    }
    r->Sql = sql.toUtf8();
    return r;
}
