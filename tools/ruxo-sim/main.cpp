// ruxo-sim: a stand-in for Ruxo, the point-of-sale program on the other side of the exchange
// folders. It drops coupon files into ONLINE and answers day-closing requests in RETORNO, so the
// integrator can be demonstrated and tested end to end without a till or a fiscal printer.

#include "uCp1252.h"
#include "uErros.h"
#include "uGeradorSim.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSet>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>

using namespace RuxoSim;

namespace {

constexpr int SaidaOk = 0;
constexpr int SaidaFalha = 1;
constexpr int SaidaUso = 2;

const char* const Ajuda = R"(Uso: ruxo-sim --dir DIR <comando> [opções]

Simula o Ruxo (aplicativo do ponto de venda) nas pastas de troca do diretório monitorado DIR.

Comandos:
  cupons      grava um arquivo de cupons (001, 011/012/013 por cupom, 099) com os
              companheiros .A e .L em DIR/ONLINE/, no próximo nome livre
              (00000001.S01, 00000002.S01, ...; a extensão leva o número do ECF)
  responder   responde cada solicitação RT??????.T de DIR/RETORNO/ ainda sem resposta com
              os dados (RT??????.Snn: 001, 017 e 018 de cada dia pedido, 099) e o log
              (RT??????.Lnn, com a linha STATUS;OK); nn é o ECF do registro 101
  demo        faz as duas coisas até receber SIGINT ou SIGTERM: responde as solicitações a
              cada segundo e grava um arquivo de cupons a cada --intervalo segundos

Opções de cupons (e de demo):
  --quantidade N        cupons no arquivo (1 a 999; padrão 1)
  --itens N             itens por cupom (1 a 99; padrão 3)
  --data DD/MM/AAAA     data dos cupons (padrão: hoje)
  --ecf NN              número do ECF (1 a 99; padrão 01)
  --coo N               número do primeiro cupom (padrão: o seguinte ao último gravado
                        neste DIR para este ECF, começando em 1)
  --produtos C1,C2,...  códigos dos produtos vendidos (padrão 000001,000002,000003)
  --barras B1,B2,...    códigos de barras dos produtos, na mesma ordem (padrão
                        7891234567895,7891234567901,7891234567918 com os produtos padrão;
                        com --produtos sem --barras o item informa o próprio código)
  --cnpj CNPJ           CNPJ da loja no cabeçalho (padrão 12345678000195)
  --cancelado           reenvia cancelados os cupons do último arquivo gravado para este ECF
                        (cupom, itens e pagamentos com "C"); não aceita --quantidade, --itens,
                        --data, --coo, --produtos nem --barras

Opções de responder (e de demo):
  --uma-vez             responde as solicitações pendentes e termina (só responder)
  --status OK|ERRO      linha STATUS do log de resposta (padrão OK); com ERRO os dados são
                        gravados assim mesmo
  --cro N               contador de reinício de operação do ECF nas reduções (padrão 1)

Opções de demo:
  --intervalo S         segundos entre dois arquivos de cupons (1 a 3600; padrão 5)

O número do último cupom de cada ECF fica em DIR/RUXOSIM/estado.ini.
Saída: 0 sucesso, 1 falha ao gravar ou ler, 2 erro de uso.
)";

std::atomic<bool> g_parar{false};

void AoSinal(int)
{
    g_parar = true;
}

void Escreve(const QString& texto)
{
    std::fputs(texto.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Erro(const QString& texto)
{
    std::fputs(("ruxo-sim: " + texto).toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

struct TErroUso
{
    QString mensagem;
};

struct TOpcoes
{
    QString dir;
    QString comando;
    // cupons
    int quantidade = 1;
    int itens = 3;
    QDate data;
    int ecf = 1;
    int coo = 0;
    QStringList produtos{"000001", "000002", "000003"};  // the items of teskvado-cli erp demo
    QStringList barras{"7891234567895", "7891234567901", "7891234567918"};
    QString cnpj = QStringLiteral("12345678000195");
    bool cancelado = false;
    QSet<QString> dadas;
    // responder
    bool umaVez = false;
    bool statusOk = true;
    int cro = 1;
    // demo
    int intervalo = 5;
};

int Inteiro(const QString& opcao, const QString& valor, int minimo, int maximo)
{
    bool ok = false;
    int v = valor.toInt(&ok);
    if (!ok || v < minimo || v > maximo)
        throw TErroUso{QStringLiteral("%1 espera um número de %2 a %3, não \"%4\"")
                           .arg(opcao).arg(minimo).arg(maximo).arg(valor)};
    return v;
}

QStringList Lista(const QString& opcao, const QString& valor)
{
    QStringList l = valor.split(u',');
    for (QString& s : l) {
        s = s.trimmed();
        if (s.isEmpty())
            throw TErroUso{QStringLiteral("%1 tem um código vazio").arg(opcao)};
    }
    return l;
}

TOpcoes LerOpcoes(const QStringList& args)
{
    TOpcoes o;
    static const QSet<QString> comandos{"cupons", "responder", "demo"};
    static const QSet<QString> deCupons{"--quantidade", "--itens", "--data", "--ecf", "--coo",
                                        "--produtos", "--barras", "--cnpj", "--cancelado"};
    static const QSet<QString> deResponder{"--uma-vez", "--status", "--cro"};

    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto valor = [&]() -> QString {
            if (i + 1 >= args.size())
                throw TErroUso{QStringLiteral("%1 precisa de um valor").arg(a)};
            return args[++i];
        };
        if (a == u"--help" || a == u"-h") {
            o.comando = QStringLiteral("ajuda");
            return o;
        }
        if (!a.startsWith(u"--")) {
            if (!o.comando.isEmpty())
                throw TErroUso{QStringLiteral("argumento inesperado \"%1\"").arg(a)};
            if (!comandos.contains(a))
                throw TErroUso{QStringLiteral("comando desconhecido \"%1\"").arg(a)};
            o.comando = a;
            continue;
        }
        if (o.dadas.contains(a))
            throw TErroUso{QStringLiteral("%1 dada mais de uma vez").arg(a)};
        o.dadas.insert(a);
        if (a == u"--dir") o.dir = valor();
        else if (a == u"--quantidade") o.quantidade = Inteiro(a, valor(), 1, 999);
        else if (a == u"--itens") o.itens = Inteiro(a, valor(), 1, 99);
        else if (a == u"--ecf") o.ecf = Inteiro(a, valor(), 1, 99);
        else if (a == u"--coo") o.coo = Inteiro(a, valor(), 1, 999999);
        else if (a == u"--cro") o.cro = Inteiro(a, valor(), 0, 999999);
        else if (a == u"--intervalo") o.intervalo = Inteiro(a, valor(), 1, 3600);
        else if (a == u"--data") {
            QString v = valor();
            o.data = QDate::fromString(v, u"dd/MM/yyyy");
            if (!o.data.isValid())
                throw TErroUso{QStringLiteral("--data espera DD/MM/AAAA, não \"%1\"").arg(v)};
        } else if (a == u"--produtos") o.produtos = Lista(a, valor());
        else if (a == u"--barras") o.barras = Lista(a, valor());
        else if (a == u"--cnpj") o.cnpj = valor();
        else if (a == u"--cancelado") o.cancelado = true;
        else if (a == u"--uma-vez") o.umaVez = true;
        else if (a == u"--status") {
            QString v = valor();
            if (v != u"OK" && v != u"ERRO")
                throw TErroUso{QStringLiteral("--status espera OK ou ERRO, não \"%1\"").arg(v)};
            o.statusOk = v == u"OK";
        } else
            throw TErroUso{QStringLiteral("opção desconhecida %1").arg(a)};
    }

    if (o.comando.isEmpty())
        throw TErroUso{QStringLiteral("falta o comando (cupons, responder ou demo)")};
    if (o.dir.isEmpty())
        throw TErroUso{QStringLiteral("falta --dir DIR")};

    for (const QString& d : o.dadas) {
        if (d == u"--dir")
            continue;
        const bool ok = (o.comando == u"cupons" && deCupons.contains(d))
                        || (o.comando == u"responder" && deResponder.contains(d))
                        || (o.comando == u"demo" && d != u"--cancelado" && d != u"--uma-vez"
                            && (deCupons.contains(d) || deResponder.contains(d) || d == u"--intervalo"));
        if (!ok)
            throw TErroUso{QStringLiteral("%1 não vale para o comando %2").arg(d, o.comando)};
    }
    if (o.cancelado) {
        for (const char* p : {"--quantidade", "--itens", "--data", "--coo", "--produtos", "--barras"})
            if (o.dadas.contains(QString::fromLatin1(p)))
                throw TErroUso{QStringLiteral("--cancelado reenvia o último arquivo e não aceita %1")
                                   .arg(QString::fromLatin1(p))};
    }
    if (o.dadas.contains(QStringLiteral("--produtos")) && !o.dadas.contains(QStringLiteral("--barras")))
        o.barras.clear();
    if (!o.barras.isEmpty() && o.barras.size() != o.produtos.size())
        throw TErroUso{QStringLiteral("--barras tem %1 códigos para %2 produtos")
                           .arg(o.barras.size()).arg(o.produtos.size())};
    return o;
}

QString Pasta(const QString& dir, const char* nome)
{
    return QDir(dir).filePath(QString::fromLatin1(nome));
}

// Ruxo's installation comes with its folders; the integrator needs REMESSA to exist before it
// can ship stock positions, so the stand-in makes all three.
void PreparaPastas(const QString& dir)
{
    if (!QFileInfo(dir).isDir())
        throw EInOutError(QStringLiteral("Diretório inexistente: %1").arg(dir));
    for (const char* p : {"ONLINE", "RETORNO", "REMESSA", "RUXOSIM"})
        if (!QDir().mkpath(Pasta(dir, p)))
            throw EInOutError(QStringLiteral("Não foi possível criar %1").arg(Pasta(dir, p)));
}

class TEstado
{
public:
    TEstado(const QString& dir, int ecf)
        : FIni(QDir(Pasta(dir, "RUXOSIM")).filePath(QStringLiteral("estado.ini")), QSettings::IniFormat)
    {
        FIni.beginGroup(QStringLiteral("ECF%1").arg(ecf, 2, 10, QChar(u'0')));
    }
    QVariant Valor(const char* chave) const { return FIni.value(QString::fromLatin1(chave)); }
    void Define(const char* chave, const QVariant& v) { FIni.setValue(QString::fromLatin1(chave), v); }
    void Grava()
    {
        FIni.sync();
        if (FIni.status() != QSettings::NoError)
            throw EInOutError(QStringLiteral("Não foi possível gravar %1").arg(FIni.fileName()));
    }

private:
    QSettings FIni;
};

// A coupon file and its companions share the eight-digit stem, so a name is free only when
// none of the three exists.
QString ProximoNome(const QString& online, int ecf)
{
    const QString ext = QStringLiteral("%1").arg(ecf, 2, 10, QChar(u'0'));
    QDir d(online);
    for (int n = 1; n <= 99999999; ++n) {
        const QString base = QStringLiteral("%1").arg(n, 8, 10, QChar(u'0'));
        if (!d.exists(base + ".S" + ext) && !d.exists(base + ".A" + ext) && !d.exists(base + ".L" + ext))
            return base + ".S" + ext;
    }
    throw EInOutError(QStringLiteral("Nenhum nome livre em %1").arg(online));
}

int GravarCupons(const TOpcoes& o, const QDate& hoje)
{
    TEstado estado(o.dir, o.ecf);
    TLoteCupons lote;
    lote.ecf = o.ecf;
    lote.cnpj = o.cnpj;
    const int ultimoCoo = estado.Valor("coo").toInt();

    if (o.cancelado) {
        if (!estado.Valor("lote_coo").isValid()) {
            Erro(QStringLiteral("nenhum arquivo de cupons gravado antes para o ECF %1").arg(o.ecf));
            return SaidaFalha;
        }
        if (estado.Valor("lote_cancelado").toBool()) {
            Erro(QStringLiteral("o último arquivo do ECF %1 já foi cancelado").arg(o.ecf));
            return SaidaFalha;
        }
        lote.primeiroCoo = estado.Valor("lote_coo").toInt();
        lote.quantidade = estado.Valor("lote_quantidade").toInt();
        lote.itens = estado.Valor("lote_itens").toInt();
        lote.data = QDate::fromString(estado.Valor("lote_data").toString(), u"dd/MM/yyyy");
        lote.hora = QTime::fromString(estado.Valor("lote_hora").toString(), u"HH:mm:ss");
        const QStringList produtos = estado.Valor("lote_produtos").toString().split(u',');
        const QStringList barras = estado.Valor("lote_barras").toString().split(u',');
        for (int i = 0; i < produtos.size(); ++i)
            lote.produtos.push_back({produtos[i], i < barras.size() ? barras[i] : QString()});
        lote.cancelado = true;
        lote.cooCancelamento = ultimoCoo + 1;
    } else {
        lote.primeiroCoo = o.coo > 0 ? o.coo : ultimoCoo + 1;
        lote.quantidade = o.quantidade;
        lote.itens = o.itens;
        lote.data = o.data.isValid() ? o.data : hoje;
        lote.hora = QTime::currentTime();
        lote.hora = QTime(lote.hora.hour(), lote.hora.minute(), lote.hora.second());
        for (int i = 0; i < o.produtos.size(); ++i)
            lote.produtos.push_back({o.produtos[i], o.barras.isEmpty() ? QString() : o.barras[i]});
    }
    if (lote.primeiroCoo + lote.quantidade - 1 > 999999) {
        Erro(QStringLiteral("o número do cupom passaria de 999999"));
        return SaidaFalha;
    }

    const TArquivoGerado arq = GerarArquivoCupons(lote, QDateTime::currentDateTime());
    const QString online = Pasta(o.dir, "ONLINE");
    const QString nome = ProximoNome(online, o.ecf);
    const QString base = nome.left(8), ext = nome.mid(10);
    const QByteArray bytes = [&] {
        QByteArray b;
        for (const QString& l : arq.linhas)
            b += CodificaCp1252(l) + "\r\n";
        return b;
    }();

    // Companions first: the integrator picks the coupon file up as soon as it appears and
    // deletes the companions with it, so they must already be there.
    QDir d(online);
    GravarArquivoCp1252(d.filePath(base + ".A" + ext),
                        {QStringLiteral("MD5;%1").arg(QString::fromLatin1(
                             QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper()))});
    GravarArquivoCp1252(d.filePath(base + ".L" + ext),
                        {QStringLiteral("\"%1\";\"%2 cupons\"").arg(nome).arg(arq.cupons.size()),
                         QStringLiteral("STATUS;OK")});
    GravarArquivoAtomico(d.filePath(nome), bytes);

    const int ultimo = lote.primeiroCoo + lote.quantidade - 1;
    if (lote.cancelado) {
        estado.Define("coo", lote.cooCancelamento);
        estado.Define("lote_cancelado", true);
    } else {
        estado.Define("coo", std::max(ultimoCoo, ultimo));
        estado.Define("lote_coo", lote.primeiroCoo);
        estado.Define("lote_quantidade", lote.quantidade);
        estado.Define("lote_itens", lote.itens);
        estado.Define("lote_data", lote.data.toString(u"dd/MM/yyyy"));
        estado.Define("lote_hora", lote.hora.toString(u"HH:mm:ss"));
        estado.Define("lote_produtos", o.produtos.join(u','));
        estado.Define("lote_barras", o.barras.join(u','));
        estado.Define("lote_cancelado", false);
    }
    estado.Grava();

    Currency total;
    for (const TCupomGerado& c : arq.cupons)
        total += c.total;
    Escreve(QStringLiteral("%1 %2: %3 cupom(ns) COO %4 a %5 de %6, total %7")
                .arg(lote.cancelado ? QStringLiteral("Cancelamento gravado em") : QStringLiteral("Gravado"),
                     QDir(o.dir).relativeFilePath(d.filePath(nome)))
                .arg(arq.cupons.size())
                .arg(lote.primeiroCoo, 6, 10, QChar(u'0'))
                .arg(ultimo, 6, 10, QChar(u'0'))
                .arg(lote.data.toString(u"dd/MM/yyyy"), total.ToString(2, u',')));
    return SaidaOk;
}

// Answers every request that has no answer log yet. Returns the number answered.
int Responder(const TOpcoes& o)
{
    static const QRegularExpression nomePedido(QStringLiteral("^RT\\d{6}\\.T$"),
                                               QRegularExpression::CaseInsensitiveOption);
    QDir retorno(Pasta(o.dir, "RETORNO"));
    int respondidos = 0;
    const QStringList nomes = retorno.entryList(QDir::Files, QDir::Name);
    for (const QString& nome : nomes) {
        if (!nomePedido.match(nome).hasMatch())
            continue;
        QStringList pedido;
        try {
            pedido = LerArquivoCp1252(retorno.filePath(nome));
        } catch (const EInOutError&) {
            continue;  // taken away by the integrator between the listing and the read
        }
        const TRespostaReducao r = ResponderPedido(pedido, o.statusOk, o.cro, QDateTime::currentDateTime());
        const QString ext = QStringLiteral("%1").arg(r.ecf, 2, 10, QChar(u'0'));
        const QString base = nome.left(8);
        const QString log = retorno.filePath(base + ".L" + ext);
        if (QFileInfo::exists(log))
            continue;
        // The data before the log: the integrator reads the data as soon as the log appears.
        GravarArquivoCp1252(retorno.filePath(base + ".S" + ext), r.dados);
        GravarArquivoCp1252(log, r.log);
        ++respondidos;
        if (r.pedidoValido)
            Escreve(QStringLiteral("Respondido %1: ECF %2, %3 a %4, %5 redução(ões), STATUS %6")
                        .arg(nome, ext, r.dataInicial.toString(u"dd/MM/yyyy"),
                             r.dataFinal.toString(u"dd/MM/yyyy"))
                        .arg(r.reducoes)
                        .arg(o.statusOk ? u"OK" : u"ERRO"));
        else
            Escreve(QStringLiteral("Recusado %1: %2").arg(nome, r.motivo));
    }
    return respondidos;
}

// Sleeps in small steps so that a signal ends the wait within a tenth of a second.
bool Espera(int ms)
{
    for (int t = 0; t < ms && !g_parar; t += 100)
        QThread::msleep(100);
    return !g_parar;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TOpcoes o;
    try {
        o = LerOpcoes(app.arguments());
    } catch (const TErroUso& e) {
        Erro(e.mensagem);
        std::fputs("Use ruxo-sim --help para ver as opções.\n", stderr);
        return SaidaUso;
    }
    if (o.comando == u"ajuda") {
        std::fputs(Ajuda, stdout);
        return SaidaOk;
    }

    std::signal(SIGINT, AoSinal);
    std::signal(SIGTERM, AoSinal);
    try {
        PreparaPastas(o.dir);
        if (o.comando == u"cupons")
            return GravarCupons(o, QDate::currentDate());
        if (o.comando == u"responder") {
            do {
                Responder(o);
            } while (!o.umaVez && Espera(1000));
            return SaidaOk;
        }
        // demo
        QDateTime proximo = QDateTime::currentDateTime();
        while (!g_parar) {
            Responder(o);
            if (QDateTime::currentDateTime() >= proximo) {
                TOpcoes c = o;
                c.coo = 0;  // each batch follows the previous one
                GravarCupons(c, QDate::currentDate());
                proximo = QDateTime::currentDateTime().addSecs(o.intervalo);
            }
            Espera(1000);
        }
        return SaidaOk;
    } catch (const Exception& e) {
        Erro(e.Message());
        return SaidaFalha;
    }
}
