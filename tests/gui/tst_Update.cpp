#include "AuxGui.h"
#include "uUpdate.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// A one-resource HTTP server on loopback: answers every GET with the status and body set, or
// keeps silent to let the client's read time-out fire.
class TServidorTeste : public QObject
{
public:
    TServidorTeste()
    {
        FServidor.listen(QHostAddress::LocalHost);
        connect(&FServidor, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = FServidor.nextPendingConnection()) {
                ++Conexoes;
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    FPedido += s->readAll();
                    if (!FPedido.contains("\r\n\r\n") || Mudo)
                        return;
                    Caminhos << QString::fromLatin1(FPedido.split(' ').value(1));
                    FPedido.clear();
                    s->write("HTTP/1.1 " + Status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                             QByteArray::number(Corpo.size()) + "\r\nConnection: close\r\n\r\n" + Corpo);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString Url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/suporte/Pacotes%20de%20Atualizacao/TeskVado/update.ini")
            .arg(FServidor.serverPort());
    }

    QByteArray Status = "200 OK";
    QByteArray Corpo;
    bool Mudo = false;
    int Conexoes = 0;
    QStringList Caminhos;

private:
    QTcpServer FServidor;
    QByteArray FPedido;
};

const QString Instalador = QStringLiteral("http://127.0.0.1:1/suporte/Pacotes%20de%20Atualizacao/TeskVado/TeskImpNFeUpdate.exe");
const QString Titulo = QStringLiteral("Tesk - Vado Integrador Ruxo");

TVerificaAtualizacao Verificador(const QString& versao = QStringLiteral("1.2.3.4"))
{
    TVerificaAtualizacao v;
    v.Conectado = [] { return true; };
    v.VersaoAtual = versao;
    v.TempoConexaoMs = 2000;
    v.TempoLeituraMs = 300;
    return v;
}

// Collects what the notice shows, then closes it with Cancelar.
struct TAviso
{
    QString titulo, atual, nova;
    TQuandoModal fecha{[this](QWidget* w) {
        titulo = w->findChild<QLabel*>(QStringLiteral("lbTitulo"))->text();
        atual = w->findChild<QLabel*>(QStringLiteral("lbVerAtual"))->text();
        nova = w->findChild<QLabel*>(QStringLiteral("lbNovaVersao"))->text();
        w->findChild<QPushButton*>(QStringLiteral("cxbtnCancel"))->click();
    }};
};

class TCapturaUrl : public QObject
{
    Q_OBJECT
public:
    TCapturaUrl() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "Abre"); }
    ~TCapturaUrl() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    QList<QUrl> Abertas;
public slots:
    void Abre(const QUrl& url) { Abertas << url; }
};

}  // namespace

TEST(VerificaAtualizacao, VersaoMaiorMostraOAviso)
{
    TServidorTeste servidor;
    servidor.Corpo = "9";
    TCapturaUrl urls;
    auto v = Verificador();
    TAviso aviso;
    EXPECT_EQ(v.Executa(servidor.Url(), Instalador, Titulo), TVerificaAtualizacao::TResultado::NovaVersao);
    ASSERT_TRUE(aviso.fecha.Viu());
    EXPECT_EQ(servidor.Caminhos, QStringList{"/suporte/Pacotes%20de%20Atualizacao/TeskVado/update.ini"});
    EXPECT_EQ(aviso.titulo, Titulo);
    EXPECT_EQ(aviso.atual, QStringLiteral("Vesão Atual: 1.2.3.4"));
    EXPECT_EQ(aviso.nova, QStringLiteral("Nova Versão: 9"));
    EXPECT_TRUE(urls.Abertas.isEmpty()) << "Cancelar only closes the notice";

    // Within the same run the check does not come back, however the window is re-activated.
    TAviso outro;
    EXPECT_EQ(v.Executa(servidor.Url(), Instalador, Titulo), TVerificaAtualizacao::TResultado::JaVerificado);
    EXPECT_EQ(servidor.Conexoes, 1);
    EXPECT_FALSE(outro.fecha.Viu());
}

TEST(VerificaAtualizacao, ComparacaoETextual)
{
    struct Caso
    {
        QByteArray servidor;
        QString atual;
        TVerificaAtualizacao::TResultado esperado;
    };
    using R = TVerificaAtualizacao::TResultado;
    const Caso casos[] = {
        {"1.2.3.4", "1.2.3.4", R::EmDia},
        {"1.2.3.4\r\n", "1.2.3.4", R::NovaVersao},  // a trailing line end counts as newer
        {"1.0.0.10", "1.0.0.9", R::EmDia},          // text order, not number order
        {"1.2.3.5", "1.2.3.4", R::NovaVersao},
        {"", "1.2.3.4", R::EmDia},
    };
    for (const Caso& c : casos) {
        TServidorTeste servidor;
        servidor.Corpo = c.servidor;
        auto v = Verificador(c.atual);
        TAviso aviso;
        EXPECT_EQ(v.Executa(servidor.Url(), Instalador, Titulo), c.esperado) << c.servidor.toStdString();
        EXPECT_EQ(aviso.fecha.Viu(), c.esperado == R::NovaVersao) << c.servidor.toStdString();
    }
}

TEST(VerificaAtualizacao, FalhasSaoSilenciosas)
{
    using R = TVerificaAtualizacao::TResultado;
    {
        TServidorTeste servidor;
        servidor.Corpo = "9";
        auto v = Verificador();
        v.Conectado = [] { return false; };
        EXPECT_EQ(v.Executa(servidor.Url(), Instalador, Titulo), R::SemConexao);
        EXPECT_EQ(servidor.Conexoes, 0) << "offline: no request is made";
    }
    {
        TServidorTeste servidor;
        servidor.Status = "500 Internal Server Error";
        servidor.Corpo = "9";
        auto v = Verificador();
        TAviso aviso;
        EXPECT_EQ(v.Executa(servidor.Url(), Instalador, Titulo), R::Falhou);
        EXPECT_EQ(servidor.Conexoes, 1);
        EXPECT_FALSE(aviso.fecha.Viu());
    }
    {
        TServidorTeste servidor;
        servidor.Status = "404 Not Found";
        servidor.Corpo = "9.9.9.9";
        auto v = Verificador();
        EXPECT_EQ(v.Executa(servidor.Url(), Instalador, Titulo), R::Falhou);
    }
    {
        TServidorTeste servidor;
        servidor.Mudo = true;
        auto v = Verificador();
        EXPECT_EQ(v.Executa(servidor.Url(), Instalador, Titulo), R::Falhou) << "read time-out";
        EXPECT_EQ(servidor.Conexoes, 1);
    }
    {
        QString url;
        {
            TServidorTeste fechado;
            url = fechado.Url();
        }
        auto v = Verificador();
        EXPECT_EQ(v.Executa(url, Instalador, Titulo), R::Falhou) << "refused";
    }
}

TEST(TfrmUpdate, FiguraAbreOInstaladorEFecha)
{
    TCapturaUrl urls;
    TfrmUpdate aviso;
    aviso.SetUrlUpdate(Instalador);
    aviso.show();
    aviso.cxImage3->click();
    EXPECT_FALSE(aviso.isVisible());
    ASSERT_EQ(urls.Abertas.size(), 1);
    EXPECT_EQ(urls.Abertas[0], QUrl(Instalador));
    EXPECT_EQ(aviso.size(), QSize(505, 272));
    EXPECT_EQ(aviso.windowTitle(), QStringLiteral("Update"));
}

#include "tst_Update.moc"
