#include "settings/WindowPlacement.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>
#include <QToolBar>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace {

const QString kCorrectionName = QStringLiteral("veskorFrameCorrection");

// Waits for a window's first activation, when its frame is known, and then places it again
// so that its outer rectangle is the one asked for.
class TFrameCorrection : public QObject {
public:
    TFrameCorrection(QWidget* window, const QRect& outer)
        : QObject(window)
        , fWindow(window)
        , fOuter(outer)
    {
        setObjectName(kCorrectionName);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool activated = event->type() == QEvent::WindowActivate;
        if (watched != fWindow || !(activated || event->type() == QEvent::Show))
            return false;
        const QSize frame = fWindow->frameGeometry().size() - fWindow->size();
        if (!frame.isNull() && fWindow->windowState() == Qt::WindowNoState) {
            fWindow->move(fOuter.topLeft());
            fWindow->resize(
                qMax(1, fOuter.width() - frame.width()), qMax(1, fOuter.height() - frame.height()));
        }
        if (!frame.isNull() || activated) {
            fWindow->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> fWindow;
    QRect fOuter;
};

QScreen* ScreenOf(const QRect& rect)
{
    QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->availableGeometry().intersected(rect);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best ? best : QGuiApplication::primaryScreen();
}

}

QRect KeepOnScreen(const QRect& rect)
{
    QScreen* screen = ScreenOf(rect);
    if (!screen)
        return rect;
    const QRect area = screen->availableGeometry();
    QRect result(rect.topLeft(), rect.size().boundedTo(area.size()));
    if (result.right() > area.right())
        result.moveRight(area.right());
    if (result.bottom() > area.bottom())
        result.moveBottom(area.bottom());
    if (result.left() < area.left())
        result.moveLeft(area.left());
    if (result.top() < area.top())
        result.moveTop(area.top());
    return result;
}

void CentreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = OuterGeometry(window);
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void SetOuterGeometry(QWidget* window, const QRect& outer)
{
    const QSize frame = window->frameGeometry().size() - window->size();
    window->move(outer.topLeft());
    window->resize(
        qMax(1, outer.width() - frame.width()), qMax(1, outer.height() - frame.height()));
    for (QObject* pending :
        window->findChildren<QObject*>(kCorrectionName, Qt::FindDirectChildrenOnly))
        delete pending;
    if (frame.isNull() && !window->isVisible())
        new TFrameCorrection(window, outer);
}

QRect OuterGeometry(const QWidget* widget)
{
    return widget->isWindow() ? widget->frameGeometry() : widget->geometry();
}

QMainWindow* MainWindowOf(QWidget* ctrl)
{
    return ctrl ? qobject_cast<QMainWindow*>(ctrl->parentWidget()) : nullptr;
}

bool IsFloatingBar(const QWidget* ctrl)
{
    if (auto* bar = qobject_cast<const QToolBar*>(ctrl))
        return bar->isFloating();
    if (auto* dock = qobject_cast<const QDockWidget*>(ctrl))
        return dock->isFloating();
    return false;
}
