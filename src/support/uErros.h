#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The errors the system raises. Every one carries the text the user reads in the log;
// the class only tells handlers what kind of trouble it was.
class Exception : public std::exception
{
public:
    explicit Exception(QString mensagem) : FMessage(std::move(mensagem)), FUtf8(FMessage.toUtf8()) {}
    const QString& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// The text of any exception: ours carry it as a QString, the standard library's in what().
inline QString MensagemDe(const std::exception& e)
{
    if (const auto* nossa = dynamic_cast<const Exception*>(&e))
        return nossa->Message();
    return QString::fromLocal8Bit(e.what());
}

#define TV_DECLARA_ERRO(Nome, Base)                                  \
    class Nome : public Base                                         \
    {                                                                \
    public:                                                          \
        explicit Nome(QString mensagem) : Base(std::move(mensagem)) {} \
    };

TV_DECLARA_ERRO(EConvertError, Exception)      // a text or variant that is not of the type asked
TV_DECLARA_ERRO(EZeroDivide, Exception)
TV_DECLARA_ERRO(EInOutError, Exception)        // files and folders
TV_DECLARA_ERRO(EDatabaseError, Exception)     // the engine and the statements it runs
TV_DECLARA_ERRO(EClassNotFound, Exception)     // the model class registry
TV_DECLARA_ERRO(EPropertyError, Exception)     // a property name or value the class refuses
TV_DECLARA_ERRO(EFieldNotFound, EDatabaseError)  // a field of a data set
TV_DECLARA_ERRO(EListError, Exception)         // an index outside a list
TV_DECLARA_ERRO(EAbort, Exception)             // a silent stop the handlers do not report

#undef TV_DECLARA_ERRO
