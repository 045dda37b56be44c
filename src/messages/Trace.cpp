#include "messages/Trace.h"

#include "messages/TraceFormat.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

namespace {

std::mutex gWriteLock;
std::atomic<int> gLogHandle { TRACE_NO_HANDLE };

const char* Prefix(int level, int channel)
{
    const bool error = channel != 0;
    switch (level) {
    case -1:
        return error ? "Error! " : "Message! ";
    case 3:
        return error ? "Warning! " : "Message! ";
    case 4:
        return error ? "Note! " : "Message! ";
    case 5:
        return error ? "Info! " : "Message! ";
    case 6:
        return error ? "State! " : "Message! ";
    default:
        return nullptr;
    }
}

// A reader that has gone away (a closed pipe) must not kill the program through SIGPIPE,
// so the signal is blocked for this thread during the write and a pending one is consumed.
bool WriteAll(int handle, const QByteArray& bytes)
{
    sigset_t pipeSet, previous;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &previous);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    const bool wasPending = sigismember(&pendingBefore, SIGPIPE) == 1;

    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    bool brokenPipe = false;
    while (left > 0) {
        const ssize_t n = ::write(handle, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            brokenPipe = errno == EPIPE;
            break;
        }
        if (n == 0)
            break;
        data += n;
        left -= n;
    }
    if (brokenPipe && !wasPending) {
        const timespec zero { 0, 0 };
        sigtimedwait(&pipeSet, nullptr, &zero);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return left == 0;
}

bool StdoutIsOpen() { return ::fcntl(STDOUT_FILENO, F_GETFL) != -1; }

void WriteLine(const QByteArray& line, int handle)
{
    std::lock_guard guard(gWriteLock);
    if (handle != TRACE_NO_HANDLE && WriteAll(handle, line))
        return;
    const int log = gLogHandle.load();
    if (log != TRACE_NO_HANDLE && WriteAll(log, line))
        return;
    if (!StdoutIsOpen())
        return;
    std::fflush(stdout);
    WriteAll(STDOUT_FILENO, line);
    std::fflush(stdout);
}

}

QByteArray TraceLine(
    const QString& format, const QVariantList& args, int channel, int level, const QDateTime& stamp)
{
    if (level > TRACE_THRESHOLD)
        return {};
    const QString body = FormatTraceText(format, args) + QStringLiteral("\r\n");
    const QString time = stamp.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    QString line;
    if (level == 0 || level == 1)
        line = time + QLatin1Char('\t') + body;
    else if (const char* prefix = Prefix(level, channel))
        line = QLatin1String(prefix) + time + QLatin1Char('\t') + body;
    else
        line = body;
    return line.toUtf8();
}

void Trace(const QString& format, const QVariantList& args, int handle, int channel, int level)
{
    if (level > TRACE_THRESHOLD)
        return;
    WriteLine(TraceLine(format, args, channel, level, QDateTime::currentDateTime()), handle);
}

void TraceText(const QString& text, int level, int channel, int handle)
{
    Trace(QStringLiteral("%s"), { text }, handle, channel, level);
}

bool OpenTraceLog(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int handle = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (handle < 0)
        return false;
    std::lock_guard guard(gWriteLock);
    const int previous = gLogHandle.exchange(handle);
    if (previous != TRACE_NO_HANDLE)
        ::close(previous);
    return true;
}

void CloseTraceLog()
{
    std::lock_guard guard(gWriteLock);
    const int previous = gLogHandle.exchange(TRACE_NO_HANDLE);
    if (previous != TRACE_NO_HANDLE)
        ::close(previous);
}

int TraceLogHandle() { return gLogHandle.load(); }
