#pragma once

#include <QWidget>
#include <functional>
#include <memory>

// A window that runs procedures on the main thread when asked from any thread. A worker
// uses it to show progress and results; the call returns once the procedure has run.
class TExecForm : public QWidget {
    Q_OBJECT
public:
    explicit TExecForm(QWidget* parent = nullptr);
    ~TExecForm() override;

    // Runs proc on the main thread: at once when called there, otherwise by a call queued to
    // the window and waited for. False when the application is ending, the window is being
    // destroyed, or proc raised (the error is swallowed).
    bool Exec(const std::function<void()>& proc);

protected:
    // Refuses further calls and releases the threads waiting in Exec; a derived window calls
    // it first thing in its destructor, before it waits for its own threads.
    void CloseExec();

private:
    void RunPending();

    struct TState;
    std::shared_ptr<TState> fState;
};
