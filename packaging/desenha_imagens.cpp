// Draws the pictures the splash loads from Imagens/ and the program icon in its freedesktop
// sizes. The PNGs are committed under imagens/; run this only to change the artwork:
//   cmake --build <build> --target tv_desenha_pacote
//   QT_QPA_PLATFORM=offscreen <build>/bin/tv_desenha_pacote <source>/imagens
// The pictures are drawn at twice the size the splash shows them, so they stay sharp when the
// splash stretches them on a high-density screen.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

QString Pasta;
bool Falhou = false;

void Salva(const QString& nome, int largura, int altura, const std::function<void(QPainter&, QRectF)>& desenho)
{
    QImage img(largura, altura, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        desenho(p, QRectF(0, 0, largura, altura));
    }
    if (!img.save(QDir(Pasta).filePath(nome))) {
        std::fprintf(stderr, "falhou: %s\n", qPrintable(nome));
        Falhou = true;
    }
}

const QColor Marinho(0x1b, 0x3a, 0x6b);
const QColor Azul(0x2f, 0x6f, 0xc4);
const QColor Verde(0x2e, 0xa0, 0x5a);
const QColor Papel(0xfb, 0xfb, 0xf6);

// The program's mark: a till receipt on a blue tile with a green arrow carrying it into the
// back office. The icon and the splash logo are the same drawing, so the menu entry and the
// splash read as one program.
void Marca(QPainter& p, QRectF r)
{
    const qreal u = r.width() / 100.0;
    auto pt = [&](qreal x, qreal y) { return QPointF(r.left() + x * u, r.top() + y * u); };

    QPainterPath ladrilho;
    ladrilho.addRoundedRect(QRectF(pt(4, 4), pt(96, 96)), 18 * u, 18 * u);
    QLinearGradient fundo(pt(0, 4), pt(0, 96));
    fundo.setColorAt(0, Azul.lighter(120));
    fundo.setColorAt(1, Marinho);
    p.fillPath(ladrilho, fundo);

    // The receipt, with a torn lower edge.
    QPainterPath cupom;
    cupom.moveTo(pt(24, 16));
    cupom.lineTo(pt(60, 16));
    cupom.lineTo(pt(60, 78));
    for (int i = 0; i < 6; ++i) {
        cupom.lineTo(pt(60 - 6 * i - 3, 74));
        cupom.lineTo(pt(60 - 6 * i - 6, 78));
    }
    cupom.closeSubpath();
    p.fillPath(cupom, Papel);
    p.setPen(QPen(Marinho.lighter(160), 3 * u, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 6; ++i) {
        const qreal y = 26 + 8 * i;
        p.drawLine(pt(30, y), pt(i % 2 ? 46 : 54, y));
    }

    // The arrow, from the receipt towards the lower right.
    QPainterPath seta;
    seta.moveTo(pt(50, 50));
    seta.cubicTo(pt(66, 50), pt(76, 56), pt(78, 70));
    p.setPen(QPen(Verde, 9 * u, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(seta);
    QPainterPath ponta;
    ponta.moveTo(pt(66, 66));
    ponta.lineTo(pt(90, 66));
    ponta.lineTo(pt(78, 86));
    ponta.closeSubpath();
    p.fillPath(ponta, Verde);
}

void Palavra(QPainter& p, QRectF r)
{
    QFont fonte(QStringLiteral("DejaVu Sans"));
    fonte.setBold(true);
    fonte.setPixelSize(int(r.height() * 0.62));
    fonte.setLetterSpacing(QFont::PercentageSpacing, 104);
    QPainterPath texto;
    texto.addText(0, 0, fonte, QStringLiteral("TESK"));
    // Centred on its own outline, so the word sits in the middle whatever the font's metrics.
    const QRectF caixa = texto.boundingRect();
    const qreal escala = std::min(r.width() * 0.9 / caixa.width(), r.height() * 0.62 / caixa.height());
    QTransform t;
    t.translate(r.center().x(), r.top() + r.height() * 0.40);
    t.scale(escala, escala);
    t.translate(-caixa.center().x(), -caixa.center().y());
    p.fillPath(t.map(texto), Marinho);

    const qreal altura = r.height() * 0.09;
    const QRectF faixa(r.left() + r.width() * 0.05, r.bottom() - altura * 2.2, r.width() * 0.9, altura);
    p.fillRect(QRectF(faixa.left(), faixa.top(), faixa.width() * 0.62, faixa.height()), Azul);
    p.fillRect(QRectF(faixa.left() + faixa.width() * 0.66, faixa.top(), faixa.width() * 0.34, faixa.height()), Verde);
}

// A generic desktop window of four panes beside the splash's "Windows" label.
void Janela(QPainter& p, QRectF r)
{
    const qreal m = r.height() * 0.06;
    const QRectF quadro = r.adjusted(m, m, -m, -m);
    QPainterPath moldura;
    moldura.addRoundedRect(quadro, m * 1.5, m * 1.5);
    p.fillPath(moldura, Marinho);
    const qreal barra = quadro.height() * 0.22;
    const QRectF area = quadro.adjusted(m * 1.5, barra, -m * 1.5, -m * 1.5);
    const qreal g = m;
    const qreal w = (area.width() - g) / 2, h = (area.height() - g) / 2;
    const QColor cores[] = {Azul.lighter(130), Verde, Verde.lighter(130), Azul};
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRectF(area.left() + (i % 2) * (w + g), area.top() + (i / 2) * (h + g), w, h), cores[i]);
    p.setBrush(Papel);
    p.setPen(Qt::NoPen);
    const qreal d = barra * 0.42;
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(quadro.right() - m * 2 - d / 2 - i * d * 1.5, quadro.top() + barra / 2), d / 2, d / 2);
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: tv_desenha_pacote <pasta imagens>\n");
        return 2;
    }
    Pasta = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(Pasta + QStringLiteral("/icone"));

    Salva(QStringLiteral("Logo.png"), 286, 286, Marca);
    Salva(QStringLiteral("TESK_ Logo.png"), 206, 128, Palavra);
    Salva(QStringLiteral("Windows Flag.png"), 64, 52, Janela);
    for (int lado : {16, 24, 32, 48, 64, 128, 256})
        Salva(QStringLiteral("icone/teskvado-%1.png").arg(lado), lado, lado, Marca);
    return Falhou ? 1 : 0;
}
