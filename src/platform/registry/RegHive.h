#pragma once

#include "platform/registry/RegKeyTree.h"

#include <QString>

#include <functional>

// One registry root backed by its file. Reads see the file as it is now (it is read again
// whenever it changed on disk); each change is applied to the file's current content under
// the file lock and written atomically, so two instances never lose each other's values.
// Not thread-safe by itself: the registry functions serialise all calls.
class TRegHive {
public:
    using TReadOp = std::function<long(const TRegKeyNode& root)>;
    // Sets changed when the tree was modified and must be written.
    using TWriteOp = std::function<long(TRegKeyNode& root, bool& changed)>;

    TRegHive(const QString& file, const QString& rootName);

    long Read(const TReadOp& op);
    long Write(const TWriteOp& op);

private:
    enum THiveState { hsOk, hsDamaged, hsUnreadable };
    struct TFileSignature {
        bool Exists = false;
        quint64 Device = 0, Inode = 0, Size = 0;
        qint64 Seconds = 0, Nanoseconds = 0;
        bool operator==(const TFileSignature&) const = default;
    };

    TFileSignature Signature() const;
    void Refresh();
    void Load(const TFileSignature& signature);
    bool SetAside();

    QString fFile;
    QString fRootName;
    TRegKeyNode fRoot;
    // Of the bytes fRoot was read from or written as; empty when it stands for no file.
    QByteArray fDigest;
    THiveState fState = hsOk;
    bool fLoaded = false;
    TFileSignature fSignature;
};

void ReportRegProblem(const QString& text);
