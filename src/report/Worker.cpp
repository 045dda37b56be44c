#include "report/Worker.h"

#include "messages/Trace.h"

void TAutoResetEvent::Set()
{
    {
        std::lock_guard lock(fMutex);
        fSignalled = true;
    }
    fChanged.notify_one();
}

bool TAutoResetEvent::Wait()
{
    std::unique_lock lock(fMutex);
    fChanged.wait(lock, [this] { return fSignalled || fInterrupted; });
    if (fInterrupted)
        return false;
    fSignalled = false;
    return true;
}

void TAutoResetEvent::Interrupt()
{
    {
        std::lock_guard lock(fMutex);
        fInterrupted = true;
    }
    fChanged.notify_all();
}

TWorker::TWorker(TWorkMethod method, QObject* parent)
    : QThread(parent)
    , fMethod(std::move(method))
{
}

TWorker* TWorker::Create(TWorkMethod method, QObject* parent)
{
    auto* worker = new TWorker(std::move(method), parent);
    worker->start();
    return worker;
}

TWorker* TWorker::CreateSuspended(TWorkMethod method, QObject* parent)
{
    return new TWorker(std::move(method), parent);
}

TWorker::~TWorker()
{
    Stop();
    wait();
}

void TWorker::Resume()
{
    if (!isRunning() && !isFinished())
        start();
}

void TWorker::Stop()
{
    requestInterruption();
    fSyncEvent.Interrupt();
}

void TWorker::run()
{
    if (Terminated() || !fMethod)
        return;
    try {
        fMethod();
    } catch (const std::exception& e) {
        TraceText(QStringLiteral("TWorker.Execute: ") + QString::fromUtf8(e.what()), TRACE_ERROR);
    }
}
