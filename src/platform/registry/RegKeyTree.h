#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

// The in-memory tree of one registry root. Names of keys and values compare without regard
// to case but keep the case they were created with. Values keep their insertion order, which
// is the order of enumeration and of the file; subkeys are kept sorted by name. A settings
// file may hold tens of thousands of values in one key, so every lookup, insertion and
// removal is logarithmic and enumerating a key is linear.

// The registry's own bounds. They also bound the recursion over a tree read from a file, which
// a path of a million levels would otherwise overflow.
constexpr qsizetype kMaxRegKeyDepth = 512;
constexpr qsizetype kMaxRegKeyNameLength = 255;

struct TRegValue {
    QString Name;
    uint32_t Type = 0;
    QByteArray Data;
};

struct TRegNameLess {
    bool operator()(const QString& a, const QString& b) const
    {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }
};

class TRegKeyNode {
public:
    TRegKeyNode() = default;
    explicit TRegKeyNode(const QString& name);
    TRegKeyNode(const TRegKeyNode& other);
    TRegKeyNode& operator=(const TRegKeyNode& other);
    TRegKeyNode(TRegKeyNode&&) noexcept = default;
    TRegKeyNode& operator=(TRegKeyNode&&) noexcept = default;

    const QString& Name() const { return fName; }

    // In insertion order.
    const std::vector<TRegValue>& Values() const;
    const TRegValue* FindValue(const QString& name) const;
    // Returns true when the value was new or its type or data changed.
    bool SetValue(const QString& name, uint32_t type, const QByteArray& data);
    bool RemoveValue(const QString& name);

    // Sorted by name.
    size_t SubKeyCount() const { return fSubKeys.size(); }
    const TRegKeyNode& SubKeyAt(size_t index) const;
    TRegKeyNode* FindSubKey(const QString& name);
    const TRegKeyNode* FindSubKey(const QString& name) const;
    TRegKeyNode& GetSubKey(const QString& name, bool* created = nullptr);
    bool RemoveSubKey(const QString& name);

    TRegKeyNode* FindPath(const QStringList& path);
    const TRegKeyNode* FindPath(const QStringList& path) const;
    TRegKeyNode& GetPath(const QStringList& path, bool* created = nullptr);

    bool operator==(const TRegKeyNode& other) const;

    // True when the indexes agree with the values and subkeys they index, in this key and
    // every key below; otherwise Fault gets the first disagreement found.
    bool CheckConsistency(QString* Fault = nullptr) const;

private:
    void DropRemovedValues() const;
    QString FirstInconsistency() const;

    QString fName;
    // A removal only marks its slot, so that a file with many deletion lines still loads in
    // n log n; the slots are dropped when the values are next looked at in order.
    mutable std::vector<TRegValue> fValues;
    mutable std::vector<size_t> fRemovedSlots;
    mutable std::map<QString, size_t, TRegNameLess> fValueSlots;
    std::map<QString, std::unique_ptr<TRegKeyNode>, TRegNameLess> fSubKeys;
    // Enumeration by index, rebuilt after a subkey was added or removed.
    mutable std::vector<const TRegKeyNode*> fSubKeyOrder;
};

// Splits a key path at backslashes, dropping empty parts.
QStringList SplitRegPath(const QString& path);
