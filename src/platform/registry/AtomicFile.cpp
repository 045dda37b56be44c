#include "platform/registry/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<int> gFaultStep { -1 };
std::atomic<int> gFaultCode { 0 };

int InjectedFault(TAtomicWriteStep step) { return gFaultStep == step ? gFaultCode.load() : 0; }

int SyncFolder(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int handle = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return errno;
    const int rc = ::fsync(handle) == 0 ? 0 : errno;
    ::close(handle);
    return rc;
}

}

int WriteFileAtomically(const QString& path, const QByteArray& bytes, unsigned mode)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".new";
    if (const int fault = InjectedFault(awsCreate))
        return fault;
    const int handle
        = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (handle < 0)
        return errno;
    int rc = InjectedFault(awsWrite);
    if (rc == 0 && ::fchmod(handle, mode) != 0)
        rc = errno;
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (rc == 0 && left > 0) {
        const ssize_t n = ::write(handle, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            rc = n < 0 ? errno : ENOSPC;
            break;
        }
        data += n;
        left -= n;
    }
    if (rc == 0 && ::fsync(handle) != 0)
        rc = errno;
    if (::close(handle) != 0 && rc == 0)
        rc = errno;
    if (rc == 0)
        rc = InjectedFault(awsRename);
    if (rc == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        rc = errno;
    if (rc != 0) {
        ::unlink(temporary.constData());
        return rc;
    }
    SyncFolder(path);
    return 0;
}

TAtomicWriteFault::TAtomicWriteFault(TAtomicWriteStep step, int code)
{
    gFaultCode = code;
    gFaultStep = step;
}

TAtomicWriteFault::~TAtomicWriteFault() { gFaultStep = -1; }

TFileLock::TFileLock(const QString& path, int timeoutMs)
{
    const QByteArray name = QFile::encodeName(path + QStringLiteral(".lock"));
    fHandle = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fHandle < 0) {
        fError = errno;
        return;
    }
    for (int waited = 0;; waited += 10) {
        if (::flock(fHandle, LOCK_EX | LOCK_NB) == 0)
            return;
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        if (waited >= timeoutMs) {
            errno = EWOULDBLOCK;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fError = errno;
    ::close(fHandle);
    fHandle = -1;
}

TFileLock::~TFileLock()
{
    if (fHandle >= 0) {
        ::flock(fHandle, LOCK_UN);
        ::close(fHandle);
    }
}
