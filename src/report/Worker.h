#pragma once

#include <QThread>
#include <condition_variable>
#include <functional>
#include <mutex>

// An event that releases one waiter and then resets itself. Signals that arrive while
// nobody waits collapse into one.
class TAutoResetEvent {
public:
    void Set();
    // Waits until the event is signalled or Interrupt is called; false when interrupted.
    bool Wait();
    // Wakes every waiter for good; later waits return false at once.
    void Interrupt();

private:
    std::mutex fMutex;
    std::condition_variable fChanged;
    bool fSignalled = false;
    bool fInterrupted = false;
};

using TWorkMethod = std::function<void()>;

// A thread that runs one method. An error escaping the method ends the thread after a line
// in the trace; the owner keeps the object and destroys it, which wakes a waiting method,
// asks it to stop and waits for the thread to end.
class TWorker : public QThread {
    Q_OBJECT
public:
    // A thread that starts at once.
    static TWorker* Create(TWorkMethod method, QObject* parent = nullptr);
    // A thread that waits for Resume.
    static TWorker* CreateSuspended(TWorkMethod method, QObject* parent = nullptr);
    ~TWorker() override;

    TAutoResetEvent& SyncEvent() { return fSyncEvent; }
    void Resume();
    bool Terminated() const { return isInterruptionRequested(); }
    // Asks the method to stop and wakes it if it waits on the event.
    void Stop();

protected:
    void run() override;

private:
    TWorker(TWorkMethod method, QObject* parent);

    TAutoResetEvent fSyncEvent;
    TWorkMethod fMethod;
};
