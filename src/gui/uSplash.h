#pragma once

#include <QString>
#include <QWidget>

class QLabel;

// The start-up picture: title, logo, version. It only shows; closing it is the caller's timer.
class TfrmSplash : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Largura = 494;
    static constexpr int Altura = 273;
    static constexpr int TempoMs = 5000;

    explicit TfrmSplash(QWidget* AOwner = nullptr);

    QString Titulo() const { return FTitulo; }
    void SetTitulo(const QString& valor);
    QString Imagem() const { return FImagem; }
    // Loads the logo when the file exists; a missing picture leaves the image empty.
    void SetImagem(const QString& valor);

    QLabel* lbTitulo = nullptr;
    QLabel* cxImage1 = nullptr;
    QLabel* cxImage2 = nullptr;
    QLabel* cxImage3 = nullptr;
    QLabel* cxlbVersao = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QString FTitulo;
    QString FImagem;
};
