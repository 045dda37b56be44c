#include "messages/MsgDlg.h"

#include "messages/MyMsgDlg.h"
#include "messages/Trace.h"

#include <QApplication>
#include <QMessageBox>
#include <QMutex>
#include <QThread>

#include <chrono>
#include <deque>
#include <future>
#include <memory>
#include <mutex>

namespace {

struct TWorkerRequest {
    QString Text;
    TButtonSet Buttons;
    QString Caption;
    std::promise<int> Answer;
};

TDlgFactory gDefaultFactory;
TDlgFactory* gFactory = &gDefaultFactory;

// Only touched on the main thread.
bool gShowing = false;
std::shared_ptr<TWorkerRequest> gPendingRequest;

// Serialises callers from other threads: each waits for the one before to be answered.
QMutex gWorkerLock;

// Requests from other threads pass to the main thread through this queue rather than inside
// the posted call, so that the hand-over is ordered by a lock of our own.
std::mutex gHandOffLock;
std::deque<std::shared_ptr<TWorkerRequest>> gHandOff;

QMessageBox::StandardButtons PlatformButtons(TButtonSet b)
{
    if (b.Contains(bOk) && b.Contains(bCancel))
        return QMessageBox::Ok | QMessageBox::Cancel;
    if (b.Contains(bCancel) && b.Contains(bYes) && b.Contains(bNo))
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    if (b.Contains(bYes) && b.Contains(bNo))
        return QMessageBox::Yes | QMessageBox::No;
    return QMessageBox::Ok;
}

QMessageBox::Icon PlatformIcon(TButtonSet b)
{
    switch (b.Icon()) {
    case iASTERISK:
        return QMessageBox::Information;
    case iEXCLAMATION:
        return QMessageBox::Warning;
    case iHAND:
        return QMessageBox::Critical;
    case iQUESTION:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

int PlatformMessageBox(const QString& text, TButtonSet buttons)
{
    QMessageBox box(PlatformIcon(buttons), QStringLiteral("Tessaline"),
        TMyMsgDlg::DisplayText(text), PlatformButtons(buttons), nullptr,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    switch (box.exec()) {
    case QMessageBox::Ok:
        return mrOk;
    case QMessageBox::Cancel:
        return mrCancel;
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    default:
        return mrNone;
    }
}

void ServeWorker(const std::shared_ptr<TWorkerRequest>& request);

// Hands a waiting request from another thread back to the event loop once the message on
// screen is gone; showing it from here would keep the main-thread caller waiting for it.
void ServePendingLater()
{
    if (!gPendingRequest)
        return;
    std::shared_ptr<TWorkerRequest> request = std::move(gPendingRequest);
    gPendingRequest.reset();
    QMetaObject::invokeMethod(
        qApp, [request] { ServeWorker(request); }, Qt::QueuedConnection);
}

void TraceMessage(const QString& text, TButtonSet buttons)
{
    TraceText(QStringLiteral("[MsgInfo] ") + text,
        (buttons.Bits() & TButtonSet::WarningMask) ? TRACE_WARNING : TRACE_MESSAGE);
}

int ShowOnMainThread(const QString& text, TButtonSet buttons, const QString& caption)
{
    gShowing = true;
    TraceMessage(text, buttons);
    int result = mrNone;
    TDlgFactory* factory = gFactory;
    try {
        TMyMsgDlg* dialog = factory->DoCreate();
        dialog->infoText = text;
        dialog->AButtons = buttons;
        if (!caption.isEmpty())
            dialog->ACaption = caption;
        dialog->processinfo();
        QApplication::beep();
        if (dialog->isVisible())
            dialog->hide();
        dialog->SyncShow();
        result = dialog->AModResult;
        factory->DoFree();
    } catch (...) {
        try {
            factory->DoFree();
        } catch (...) {
        }
        result = PlatformMessageBox(text, buttons);
    }
    gShowing = false;
    ServePendingLater();
    return result;
}

void ServeWorker(const std::shared_ptr<TWorkerRequest>& request)
{
    if (gShowing) {
        gPendingRequest = request;
        return;
    }
    request->Answer.set_value(ShowOnMainThread(request->Text, request->Buttons, request->Caption));
}

void ServeHandOff()
{
    std::deque<std::shared_ptr<TWorkerRequest>> requests;
    {
        std::lock_guard guard(gHandOffLock);
        requests.swap(gHandOff);
    }
    for (const std::shared_ptr<TWorkerRequest>& request : requests)
        ServeWorker(request);
}

int ShowFromWorker(const QString& text, TButtonSet buttons, const QString& caption)
{
    QMutexLocker lock(&gWorkerLock);
    auto request = std::make_shared<TWorkerRequest>();
    request->Text = text;
    request->Buttons = buttons;
    request->Caption = caption;
    std::future<int> answer = request->Answer.get_future();
    {
        std::lock_guard guard(gHandOffLock);
        gHandOff.push_back(request);
    }
    QMetaObject::invokeMethod(qApp, &ServeHandOff, Qt::QueuedConnection);
    // The main thread may never come back to its event loop when the program is ending; the
    // caller then gets no answer instead of waiting for ever.
    using namespace std::chrono_literals;
    while (answer.wait_for(100ms) != std::future_status::ready)
        if (QCoreApplication::closingDown() || !QCoreApplication::instance())
            return mrNone;
    return answer.get();
}

}

// A window left over at exit is not deleted once the application object is gone, when
// deleting a widget is no longer allowed.
TDlgFactory::~TDlgFactory()
{
    if (QCoreApplication::instance())
        delete fDialog;
}

TMyMsgDlg* TDlgFactory::DoCreate()
{
    if (!fDialog)
        fDialog = new TMyMsgDlg;
    return fDialog;
}

void TDlgFactory::DoFree()
{
    delete fDialog;
    fDialog = nullptr;
}

TDlgFactory* SetDlgFactory(TDlgFactory* factory)
{
    TDlgFactory* previous = gFactory == &gDefaultFactory ? nullptr : gFactory;
    gFactory = factory ? factory : &gDefaultFactory;
    return previous;
}

int ShowMsgDlg(const QString& text, TButtonSet buttons, const QString& caption)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        TraceMessage(text, buttons);
        return mrNone;
    }
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        return ShowFromWorker(text, buttons, caption);
    if (gShowing)
        return mrNone;
    return ShowOnMainThread(text, buttons, caption);
}
