#pragma once

#include <QString>

// Which file a name leads to (device and inode), so that a file replaced under its name by
// a rename is told from the one that was opened.
struct TFileIdentity {
    bool Known = false;
    quint64 Device = 0;
    quint64 Inode = 0;

    // Unknown when the name leads nowhere or is empty.
    static TFileIdentity Of(const QString& path);
    bool operator==(const TFileIdentity&) const = default;
};

// Whether both names lead to one existing file (hard and symbolic links included).
bool SameFile(const QString& a, const QString& b);
