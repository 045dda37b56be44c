#include "platform/registry/RegHive.h"

#include "platform/registry/AtomicFile.h"
#include "platform/registry/RegApi.h"
#include "platform/registry/RegFileFormat.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

namespace {

std::mutex gSinkLock;
std::function<void(const QString&)> gSink;

long ResultFromErrno(int code)
{
    switch (code) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOTDIR:
    case EEXIST:
        return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EWOULDBLOCK:
        return ERROR_LOCK_VIOLATION;
    default:
        return ERROR_CANTWRITE;
    }
}

QString ErrnoText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

}

void SetRegProblemSink(std::function<void(const QString&)> sink)
{
    std::lock_guard guard(gSinkLock);
    gSink = std::move(sink);
}

void ReportRegProblem(const QString& text)
{
    std::lock_guard guard(gSinkLock);
    if (gSink)
        gSink(text);
}

TRegHive::TRegHive(const QString& file, const QString& rootName)
    : fFile(file)
    , fRootName(rootName)
{
}

TRegHive::TFileSignature TRegHive::Signature() const
{
    TFileSignature signature;
    struct stat info;
    if (::stat(QFile::encodeName(fFile).constData(), &info) != 0)
        return signature;
    signature.Exists = true;
    signature.Device = info.st_dev;
    signature.Inode = info.st_ino;
    signature.Size = quint64(info.st_size);
    signature.Seconds = info.st_mtim.tv_sec;
    signature.Nanoseconds = info.st_mtim.tv_nsec;
    return signature;
}

void TRegHive::Refresh()
{
    const TFileSignature signature = Signature();
    if (!fLoaded || !(signature == fSignature))
        Load(signature);
}

void TRegHive::Load(const TFileSignature& signature)
{
    const bool wasOk = fLoaded && fState == hsOk;
    fLoaded = true;
    fSignature = signature;
    QFile file(fFile);
    if (!file.open(QIODevice::ReadOnly)) {
        fRoot = TRegKeyNode();
        fDigest.clear();
        fState = hsOk;
        if (!file.exists())
            return;
        fState = hsUnreadable;
        ReportRegProblem(
            QStringLiteral("Файл настроек %1 не читается: %2").arg(fFile, file.errorString()));
        return;
    }
    // Never more than the limit is read, even from a file that grows meanwhile, so an
    // oversized file is refused before it reaches memory.
    const qint64 size = file.size();
    const QByteArray bytes = size > kMaxRegFileSize ? QByteArray() : file.read(size + 1);
    if (file.error() != QFileDevice::NoError) {
        fRoot = TRegKeyNode();
        fDigest.clear();
        fState = hsUnreadable;
        ReportRegProblem(
            QStringLiteral("Файл настроек %1 не читается: %2").arg(fFile, file.errorString()));
        return;
    }
    const bool oversized = size > kMaxRegFileSize || bytes.size() > kMaxRegFileSize;
    // Every write reads the file again under the lock; when it still holds the bytes the
    // tree came from, the tree is kept, so a large file is not parsed anew for each value.
    const QByteArray digest
        = oversized ? QByteArray() : QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    if (wasOk && !fDigest.isEmpty() && digest == fDigest)
        return;
    fRoot = TRegKeyNode();
    fDigest.clear();
    fState = hsOk;
    QString reason;
    if (oversized) {
        fState = hsDamaged;
        reason = OversizedRegFileReason(qMax(size, qint64(bytes.size())));
    } else if (!ParseRegFile(bytes, fRootName, fRoot, &reason)) {
        fState = hsDamaged;
    } else {
        fDigest = digest;
    }
    if (fState == hsDamaged) {
        ReportRegProblem(QStringLiteral("Файл настроек %1 повреждён (%2); его значения не "
                                        "используются, при записи он будет отложен в сторону")
                             .arg(fFile, reason));
    }
}

// A damaged file may still hold what an administrator wants back, so it is moved aside
// under a name of its own instead of being replaced.
bool TRegHive::SetAside()
{
    QString aside = fFile + QStringLiteral(".damaged");
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = fFile + QStringLiteral(".damaged.%1").arg(n);
    if (::rename(QFile::encodeName(fFile).constData(), QFile::encodeName(aside).constData()) != 0) {
        ReportRegProblem(QStringLiteral("Повреждённый файл настроек %1 нельзя переименовать: %2")
                             .arg(fFile, ErrnoText(errno)));
        return false;
    }
    ReportRegProblem(QStringLiteral("Повреждённый файл настроек сохранён как %1").arg(aside));
    return true;
}

long TRegHive::Read(const TReadOp& op)
{
    Refresh();
    if (fState == hsDamaged)
        return ERROR_BADDB;
    if (fState == hsUnreadable)
        return ERROR_CANTREAD;
    return op(fRoot);
}

long TRegHive::Write(const TWriteOp& op)
{
    const QString folder = QFileInfo(fFile).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
            const int code = errno;
            ReportRegProblem(QStringLiteral("Папку настроек %1 нельзя создать: %2")
                                 .arg(folder, ErrnoText(code)));
            return ResultFromErrno(code);
        }
    }
    TFileLock lock(fFile);
    if (!lock.IsLocked()) {
        ReportRegProblem(QStringLiteral("Файл настроек %1 нельзя заблокировать: %2")
                             .arg(fFile, ErrnoText(lock.ErrorCode())));
        return ResultFromErrno(lock.ErrorCode());
    }
    // Another instance may have written since we last looked; the change is applied to what
    // is on disk now.
    Load(Signature());
    if (fState == hsUnreadable)
        return ERROR_CANTREAD;
    if (fState == hsDamaged) {
        if (!SetAside())
            return ERROR_BADDB;
        fState = hsOk;
    }
    TRegKeyNode changedRoot = fRoot;
    bool changed = false;
    const long rc = op(changedRoot, changed);
    if (rc != ERROR_SUCCESS || !changed)
        return rc;
    const QByteArray bytes = FormatRegFile(fRootName, changedRoot);
    const int code = WriteFileAtomically(fFile, bytes, 0600);
    if (code != 0) {
        ReportRegProblem(
            QStringLiteral("Файл настроек %1 не записан: %2").arg(fFile, ErrnoText(code)));
        return ResultFromErrno(code);
    }
    fRoot = std::move(changedRoot);
    fDigest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    fSignature = Signature();
    return ERROR_SUCCESS;
}
