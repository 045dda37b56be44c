#include "report/ExecForm.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>
#include <mutex>

struct TExecForm::TState {
    std::mutex Mutex;
    bool Closed = false;
};

namespace {

bool RunSwallowing(const std::function<void()>& proc)
{
    try {
        proc();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

TExecForm::TExecForm(QWidget* parent)
    : QWidget(parent)
    , fState(std::make_shared<TState>())
{
}

TExecForm::~TExecForm() { CloseExec(); }

void TExecForm::CloseExec()
{
    std::lock_guard lock(fState->Mutex);
    fState->Closed = true;
}

bool TExecForm::Exec(const std::function<void()>& proc)
{
    if (QCoreApplication::closingDown() || !proc)
        return false;
    if (QThread::currentThread() == thread())
        return RunSwallowing(proc);

    struct TCall {
        QSemaphore Done;
        bool Result = false;
    };
    auto call = std::make_shared<TCall>();
    auto state = fState;
    {
        std::lock_guard lock(state->Mutex);
        if (state->Closed)
            return false;
    }
    QMetaObject::invokeMethod(
        this,
        [call, state, proc] {
            bool closed;
            {
                std::lock_guard lock(state->Mutex);
                closed = state->Closed;
            }
            if (!closed && !QCoreApplication::closingDown())
                call->Result = RunSwallowing(proc);
            call->Done.release();
        },
        Qt::QueuedConnection);
    // The wait gives up when the window starts closing: its destructor may itself be waiting
    // for this thread, and the queued call would then never run.
    while (!call->Done.tryAcquire(1, 20)) {
        std::lock_guard lock(state->Mutex);
        if (state->Closed)
            return false;
    }
    return call->Result;
}
