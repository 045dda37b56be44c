#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// The one widget application of a test program, created on first use and never destroyed, so
// that no widget outlives it at exit.
inline QApplication& TestApplication()
{
    static int argc = 1;
    static char name[] = "veskor_test";
    static char* argv[] = { name, nullptr };
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Calls action with the active modal window as soon as one is on screen, other than besides;
// the tests use it to answer dialogs that block the calling code.
inline void WhenModal(std::function<void(QWidget*)> action, QWidget* other = nullptr)
{
    // Guarded, because a new window may be given the address of one deleted meanwhile.
    QPointer<QWidget> besides(other);
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action, besides] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == besides || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}
