#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The in-memory tree of one registry root. Names of keys and values compare without regard
// to case but keep the case they were created with. Values keep their insertion order, which
// is the order of enumeration and of the file; subkeys are kept sorted by name.

struct TRegValue {
    QString Name;
    uint32_t Type = 0;
    QByteArray Data;
};

struct TRegKeyNode {
    QString Name;
    std::vector<TRegValue> Values;
    std::vector<TRegKeyNode> SubKeys;

    TRegValue* FindValue(const QString& name);
    const TRegValue* FindValue(const QString& name) const;
    // Returns true when the value was new or its type or data changed.
    bool SetValue(const QString& name, uint32_t type, const QByteArray& data);
    bool RemoveValue(const QString& name);

    TRegKeyNode* FindSubKey(const QString& name);
    const TRegKeyNode* FindSubKey(const QString& name) const;
    TRegKeyNode& GetSubKey(const QString& name, bool* created = nullptr);
    bool RemoveSubKey(const QString& name);

    TRegKeyNode* FindPath(const QStringList& path);
    const TRegKeyNode* FindPath(const QStringList& path) const;
    TRegKeyNode& GetPath(const QStringList& path, bool* created = nullptr);

    bool operator==(const TRegKeyNode& other) const;
};

// Splits a key path at backslashes, dropping empty parts.
QStringList SplitRegPath(const QString& path);
