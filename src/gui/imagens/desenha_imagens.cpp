// Draws the program's own artwork (message icons, button glyphs, the error marker and the update
// notice's pictures) into PNG files. The PNGs are committed and shipped as Qt resources; run this
// only to change the artwork:  tv_desenha_imagens <folder>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

QString Pasta;

void Salva(const QString& nome, int largura, int altura, const std::function<void(QPainter&)>& desenho)
{
    QImage img(largura, altura, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        desenho(p);
    }
    if (!img.save(QDir(Pasta).filePath(nome + ".png")))
        std::fprintf(stderr, "falhou: %s\n", qPrintable(nome));
}

QPen Traco(QColor cor, qreal largura)
{
    return QPen(cor, largura, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A round badge in the kind's colour, lighter at the top, so the four icons read as one family.
void Disco(QPainter& p, QRectF r, QColor cor)
{
    QRadialGradient g(r.center() - QPointF(0, r.height() / 4), r.width() * 0.7);
    g.setColorAt(0, cor.lighter(150));
    g.setColorAt(1, cor);
    p.setPen(Traco(cor.darker(140), 1.2));
    p.setBrush(g);
    p.drawEllipse(r);
}

void Exclamacao(QPainter& p, QPointF topo, qreal altura, qreal largura, QColor cor)
{
    p.setPen(Traco(cor, largura));
    p.drawLine(topo, topo + QPointF(0, altura * 0.62));
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawEllipse(topo + QPointF(0, altura * 0.92), largura * 0.6, largura * 0.6);
}

void Interrogacao(QPainter& p, QPointF centro, qreal escala, QColor cor, qreal largura)
{
    QPainterPath c;
    c.moveTo(centro + QPointF(-0.45, -0.45) * escala);
    c.cubicTo(centro + QPointF(-0.45, -1.0) * escala, centro + QPointF(0.5, -1.0) * escala,
              centro + QPointF(0.5, -0.45) * escala);
    c.cubicTo(centro + QPointF(0.5, -0.05) * escala, centro + QPointF(0, 0) * escala,
              centro + QPointF(0, 0.3) * escala);
    p.setPen(Traco(cor, largura));
    p.setBrush(Qt::NoBrush);
    p.drawPath(c);
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawEllipse(centro + QPointF(0, 0.72) * escala, largura * 0.6, largura * 0.6);
}

void Icones()
{
    const QRectF r(4.5, 3.5, 34, 34);  // inside the 43 x 41 picture of the band
    Salva("ATENCAO", 43, 41, [&](QPainter& p) {
        QPolygonF tri{QPointF(21.5, 3), QPointF(40, 37), QPointF(3, 37)};
        QLinearGradient g(0, 3, 0, 37);
        g.setColorAt(0, QColor(255, 200, 120));
        g.setColorAt(1, QColor(255, 128, 64));
        p.setPen(Traco(QColor(190, 80, 20), 1.6));
        p.setBrush(g);
        p.drawPolygon(tri);
        Exclamacao(p, QPointF(21.5, 14), 19, 4, Qt::white);
    });
    Salva("ERRO", 43, 41, [&](QPainter& p) {
        Disco(p, r, QColor(210, 0, 0));
        p.setPen(Traco(Qt::white, 4));
        p.drawLine(QPointF(14.5, 13.5), QPointF(28.5, 27.5));
        p.drawLine(QPointF(28.5, 13.5), QPointF(14.5, 27.5));
    });
    Salva("INFORMA", 43, 41, [&](QPainter& p) {
        Disco(p, r, QColor(0, 128, 0));
        p.setPen(Traco(Qt::white, 4));
        p.drawLine(QPointF(21.5, 18), QPointF(21.5, 29));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(21.5, 11.5), 2.6, 2.6);
    });
    Salva("CONFIRMA", 43, 41, [&](QPainter& p) {
        Disco(p, r, QColor(58, 110, 165));
        Interrogacao(p, QPointF(21.5, 20), 12, Qt::white, 3.6);
    });
}

// Button glyphs: 16 x 16, one colour per meaning, the same stroke weight throughout.
void Glifos()
{
    const QColor verde(0, 140, 40), vermelho(200, 20, 20), azul(30, 90, 170), laranja(220, 110, 20);
    auto certo = [](QPainter& p, QColor c, QPointF d) {
        p.setPen(Traco(c, 2.4));
        p.drawPolyline(QPolygonF{QPointF(3, 8.5) + d, QPointF(6.5, 12) + d, QPointF(13, 4) + d});
    };
    auto xis = [](QPainter& p, QColor c, QPointF d, qreal t) {
        p.setPen(Traco(c, 2.4));
        p.drawLine(QPointF(8 - t, 8 - t) + d, QPointF(8 + t, 8 + t) + d);
        p.drawLine(QPointF(8 + t, 8 - t) + d, QPointF(8 - t, 8 + t) + d);
    };
    Salva("BtSim", 16, 16, [&](QPainter& p) { certo(p, verde, {}); });
    Salva("BtNao", 16, 16, [&](QPainter& p) { xis(p, vermelho, {}, 4.5); });
    Salva("BtOk", 16, 16, [&](QPainter& p) {
        p.setPen(Traco(verde, 1.4));
        p.setBrush(QColor(220, 245, 225));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        certo(p, verde, QPointF(0, 0.5));
    });
    Salva("BtCancelar", 16, 16, [&](QPainter& p) {
        p.setPen(Traco(vermelho, 1.4));
        p.setBrush(QColor(250, 225, 225));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        xis(p, vermelho, {}, 3.2);
    });
    Salva("BtAborte", 16, 16, [&](QPainter& p) {
        QPolygonF oct;
        for (int i = 0; i < 8; ++i) {
            const qreal a = (22.5 + 45 * i) * 3.14159265 / 180;
            oct << QPointF(8 + 7 * std::cos(a), 8 + 7 * std::sin(a));
        }
        p.setPen(Traco(vermelho.darker(130), 1));
        p.setBrush(vermelho);
        p.drawPolygon(oct);
        p.setPen(Traco(Qt::white, 2));
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
    });
    Salva("BtRepetir", 16, 16, [&](QPainter& p) {
        p.setPen(Traco(azul, 2));
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(azul);
        p.drawPolygon(QPolygonF{QPointF(9, 0.5), QPointF(13.5, 3.5), QPointF(9, 6.5)});
    });
    Salva("BtIgnorar", 16, 16, [&](QPainter& p) {
        p.setPen(Traco(laranja, 2));
        p.drawLine(QPointF(2, 8), QPointF(11, 8));
        p.drawPolyline(QPolygonF{QPointF(8, 4), QPointF(12, 8), QPointF(8, 12)});
        p.drawLine(QPointF(14, 3), QPointF(14, 13));
    });
    Salva("BtTudo", 16, 16, [&](QPainter& p) {
        certo(p, azul, QPointF(-1.5, -1.5));
        certo(p, azul, QPointF(1.5, 2));
    });
    Salva("BtTudoNao", 16, 16, [&](QPainter& p) {
        xis(p, vermelho, QPointF(-2, -2), 3);
        xis(p, vermelho, QPointF(2.5, 2.5), 3);
    });
    Salva("BtTudoSim", 16, 16, [&](QPainter& p) {
        certo(p, verde, QPointF(-1.5, -1.5));
        certo(p, verde, QPointF(1.5, 2));
    });
    Salva("BtAjuda", 16, 16, [&](QPainter& p) {
        p.setPen(Traco(azul, 1.2));
        p.setBrush(QColor(225, 235, 250));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        Interrogacao(p, QPointF(8, 7.2), 5.2, azul, 1.8);
    });
}

void Marcador()
{
    Salva("ErroCampo", 14, 14, [&](QPainter& p) {
        p.setPen(Traco(QColor(160, 0, 0), 1));
        p.setBrush(QColor(220, 20, 20));
        p.drawEllipse(QRectF(0.5, 0.5, 13, 13));
        Exclamacao(p, QPointF(7, 3), 8.5, 2, Qt::white);
    });
}

void Atualizacao()
{
    const QColor marinho(0, 0, 128);
    // The picture the user clicks to download: a rounded button with a down arrow.
    Salva("Download", 137, 45, [&](QPainter& p) {
        QLinearGradient g(0, 0, 0, 45);
        g.setColorAt(0, QColor(90, 160, 230));
        g.setColorAt(1, QColor(20, 80, 160));
        p.setPen(Traco(QColor(10, 50, 110), 1.2));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(1, 1, 135, 43), 9, 9);
        p.setPen(Traco(Qt::white, 3));
        p.drawLine(QPointF(24, 11), QPointF(24, 29));
        p.drawPolyline(QPolygonF{QPointF(16, 22), QPointF(24, 30), QPointF(32, 22)});
        p.drawLine(QPointF(15, 35), QPointF(33, 35));
        QFont f("DejaVu Sans", 13, QFont::Bold);
        f.setPixelSize(17);
        p.setFont(f);
        p.drawText(QRectF(42, 0, 92, 45), Qt::AlignCenter, "Download");
    });
    // Decorations: a package (top left), a globe (top right), a thin ribbon under the title.
    Salva("Pacote", 64, 64, [&](QPainter& p) {
        QPolygonF frente{QPointF(8, 22), QPointF(32, 32), QPointF(32, 60), QPointF(8, 48)};
        QPolygonF lado{QPointF(32, 32), QPointF(56, 22), QPointF(56, 48), QPointF(32, 60)};
        QPolygonF tampa{QPointF(8, 22), QPointF(32, 12), QPointF(56, 22), QPointF(32, 32)};
        p.setPen(Traco(QColor(120, 80, 30), 1.4));
        p.setBrush(QColor(215, 170, 100));
        p.drawPolygon(frente);
        p.setBrush(QColor(190, 140, 70));
        p.drawPolygon(lado);
        p.setBrush(QColor(235, 200, 140));
        p.drawPolygon(tampa);
        p.setPen(Traco(marinho, 3));
        p.drawLine(QPointF(32, 2), QPointF(32, 22));
        p.drawPolyline(QPolygonF{QPointF(25, 15), QPointF(32, 22), QPointF(39, 15)});
    });
    Salva("Globo", 64, 64, [&](QPainter& p) {
        QRectF r(6, 6, 52, 52);
        Disco(p, r, QColor(40, 110, 190));
        p.setPen(Traco(QColor(255, 255, 255, 190), 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(20, 6, 24, 52));
        p.drawLine(QPointF(32, 6), QPointF(32, 58));
        p.drawLine(QPointF(6, 32), QPointF(58, 32));
        p.drawLine(QPointF(10, 19), QPointF(54, 19));
        p.drawLine(QPointF(10, 45), QPointF(54, 45));
    });
    Salva("Faixa", 480, 6, [&](QPainter& p) {
        QLinearGradient g(0, 0, 480, 0);
        g.setColorAt(0, QColor(255, 255, 255, 0));
        g.setColorAt(0.5, marinho);
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(0, 1, 480, 4), 2, 2);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    Pasta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    Icones();
    Glifos();
    Marcador();
    Atualizacao();
    return 0;
}
