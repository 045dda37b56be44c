#pragma once

#include <QByteArray>
#include <QString>

// Replaces path with bytes so that a reader sees either the whole old file or the whole new
// one, whatever happens meanwhile (a crash, a kill, a full disk): the bytes go to
// path + ".new", are synced, then renamed over path. The file gets the given mode. Returns 0
// or the errno of the step that failed; on failure the old file is untouched.
int WriteFileAtomically(const QString& path, const QByteArray& bytes, unsigned mode = 0600);

// The steps of WriteFileAtomically that TAtomicWriteFault can make fail.
enum TAtomicWriteStep { awsCreate, awsWrite, awsRename };

// While it lives, the given step of every atomic write fails with the errno code, as it would
// in a folder without write permission or on a full disk. Tests use it because permissions
// do not bind the superuser, under whom they also run.
class TAtomicWriteFault {
public:
    TAtomicWriteFault(TAtomicWriteStep step, int code);
    ~TAtomicWriteFault();
    TAtomicWriteFault(const TAtomicWriteFault&) = delete;
    TAtomicWriteFault& operator=(const TAtomicWriteFault&) = delete;
};

// An exclusive advisory lock on a file of its own (path + ".lock"), which survives the
// renames of the file it guards. Gives up after timeoutMs.
class TFileLock {
public:
    TFileLock(const QString& path, int timeoutMs = 5000);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

    bool IsLocked() const { return fHandle >= 0; }
    int ErrorCode() const { return fError; }

private:
    int fHandle = -1;
    int fError = 0;
};
