#include "app/Application.h"

#include "messages/MsgDlg.h"
#include "messages/Trace.h"
#include "platform/db/DbError.h"

#include <QEvent>
#include <QIcon>
#include <QWidget>
#include <QLibraryInfo>
#include <QTranslator>

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The icon lives in a static library, whose resources are not registered on their own.
    Q_INIT_RESOURCE(icons);
    setWindowIcon(QIcon(QStringLiteral(":/icons/veskor.svg")));
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const EDatabaseError& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        message = QString::fromLocal8Bit(e.what());
    }
    TraceText(message, TRACE_ERROR);
    ShowMsgDlg(message, { bOk, iHAND }, Title());
    return false;
}

namespace {

class TFirstPaintWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            // The quit is queued so the paint in progress completes first.
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
            watched->removeEventFilter(this);
        }
        return false;
    }
};

} // namespace

void TApplication::QuitAfterFirstPaint(QWidget* window)
{
    window->installEventFilter(new TFirstPaintWatch(window));
}

void TApplication::InstallTranslations()
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : { "qtbase_ru" }) {
        auto* translator = new QTranslator(this);
        if (translator->load(QString::fromLatin1(name), folder))
            installTranslator(translator);
        else
            delete translator;
    }
}
