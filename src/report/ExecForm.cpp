#include "report/ExecForm.h"

#include <QCoreApplication>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>

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

// The calls waiting for the main thread. They are handed over under a lock of our own rather
// than inside the toolkit's queued call, which only wakes the main thread up: the hand-over
// then needs no trust in how the toolkit orders memory between threads.
struct TExecForm::TState {
    struct TCall {
        std::function<void()> Proc;
        bool Finished = false;
        bool Result = false;
    };
    std::mutex Mutex;
    std::condition_variable Done;
    std::deque<std::shared_ptr<TCall>> Queue;
    bool Closed = false;
};

TExecForm::TExecForm(QWidget* parent)
    : QWidget(parent)
    , fState(std::make_shared<TState>())
{
}

TExecForm::~TExecForm() { CloseExec(); }

void TExecForm::CloseExec()
{
    {
        std::lock_guard lock(fState->Mutex);
        fState->Closed = true;
        fState->Queue.clear();
    }
    fState->Done.notify_all();
}

bool TExecForm::Exec(const std::function<void()>& proc)
{
    if (QCoreApplication::closingDown() || !proc)
        return false;
    if (QThread::currentThread() == thread())
        return RunSwallowing(proc);

    auto call = std::make_shared<TState::TCall>();
    call->Proc = proc;
    const std::shared_ptr<TState> state = fState;
    {
        std::lock_guard lock(state->Mutex);
        if (state->Closed)
            return false;
        state->Queue.push_back(call);
    }
    QMetaObject::invokeMethod(this, &TExecForm::RunPending, Qt::QueuedConnection);
    // The wait ends when the window starts closing: its destructor may itself be waiting for
    // this thread, and the call would then never run.
    std::unique_lock lock(state->Mutex);
    state->Done.wait(lock, [&] { return call->Finished || state->Closed; });
    return call->Finished && call->Result;
}

void TExecForm::RunPending()
{
    for (;;) {
        std::shared_ptr<TState::TCall> call;
        {
            std::lock_guard lock(fState->Mutex);
            if (fState->Closed || fState->Queue.empty())
                return;
            call = fState->Queue.front();
            fState->Queue.pop_front();
        }
        const bool result = !QCoreApplication::closingDown() && RunSwallowing(call->Proc);
        {
            std::lock_guard lock(fState->Mutex);
            call->Result = result;
            call->Finished = true;
        }
        fState->Done.notify_all();
    }
}
