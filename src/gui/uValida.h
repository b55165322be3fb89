#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

class QLabel;
class QWidget;

// Error marks on the fields the user still has to fill: an icon beside each marked control with
// the message as its tool tip. Marks add up until the object is destroyed, which removes them all.
class TValida : public QObject
{
    Q_OBJECT

public:
    explicit TValida(QObject* AOwner = nullptr);
    ~TValida() override;

    // Marks `Controle` with `Mensagem` and moves the focus to it when it can take focus.
    void ValidaParametos(QWidget* Controle, const QString& Mensagem);
    // Marks `Controle` when `Campo` (a field's value, typed as the field is) counts as missing;
    // true when it was valid. The focus goes to the control only when it was not.
    bool ValidaCampo(QWidget* Controle, const QVariant& Campo, const QString& Mensagem);

    // Whether a field value counts as missing: empty text for texts and floats, 0 or less for
    // integers and money, 0 for dates; other types never do.
    static bool CampoAusente(const QVariant& Campo);

    int Marcas() const;

protected:
    bool eventFilter(QObject* alvo, QEvent* e) override;

private:
    struct TMarca
    {
        QPointer<QWidget> controle;
        QPointer<QLabel> icone;
    };
    void Marca(QWidget* controle, const QString& mensagem);
    static void Posiciona(const TMarca& m);

    QList<TMarca> FMarcas;
};
