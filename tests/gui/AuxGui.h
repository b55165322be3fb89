#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal window once it is up: the code under test blocks in its own exec().
class TQuandoModal
{
public:
    explicit TQuandoModal(std::function<void(QWidget*)> acao) : FAcao(std::move(acao))
    {
        QObject::connect(&FTimer, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || !w->isVisible() || FViu)
                return;
            FViu = true;
            FTimer.stop();
            FAcao(w);
        });
        FTimer.start(10);
    }
    bool Viu() const { return FViu; }

private:
    std::function<void(QWidget*)> FAcao;
    QTimer FTimer;
    bool FViu = false;
};
