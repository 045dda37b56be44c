#include "platform/registry/RegKeyTree.h"

#include <algorithm>

TRegKeyNode::TRegKeyNode(const QString& name)
    : fName(name)
{
}

TRegKeyNode::TRegKeyNode(const TRegKeyNode& other)
    : fName(other.fName)
{
    other.DropRemovedValues();
    fValues = other.fValues;
    fValueSlots = other.fValueSlots;
    for (const auto& [name, key] : other.fSubKeys)
        fSubKeys.emplace(name, std::make_unique<TRegKeyNode>(*key));
}

TRegKeyNode& TRegKeyNode::operator=(const TRegKeyNode& other)
{
    if (this != &other) {
        TRegKeyNode copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void TRegKeyNode::DropRemovedValues() const
{
    if (fRemovedSlots.empty())
        return;
    std::sort(fRemovedSlots.begin(), fRemovedSlots.end());
    size_t kept = 0;
    auto removed = fRemovedSlots.begin();
    for (size_t slot = 0; slot < fValues.size(); ++slot) {
        if (removed != fRemovedSlots.end() && *removed == slot) {
            ++removed;
            continue;
        }
        if (kept != slot)
            fValues[kept] = std::move(fValues[slot]);
        ++kept;
    }
    fValues.resize(kept);
    fRemovedSlots.clear();
    for (size_t slot = 0; slot < fValues.size(); ++slot)
        fValueSlots.find(fValues[slot].Name)->second = slot;
}

const std::vector<TRegValue>& TRegKeyNode::Values() const
{
    DropRemovedValues();
    return fValues;
}

const TRegValue* TRegKeyNode::FindValue(const QString& name) const
{
    const auto it = fValueSlots.find(name);
    return it == fValueSlots.end() ? nullptr : &fValues[it->second];
}

bool TRegKeyNode::SetValue(const QString& name, uint32_t type, const QByteArray& data)
{
    const auto [it, added] = fValueSlots.try_emplace(name, fValues.size());
    if (added) {
        fValues.push_back({ name, type, data });
        return true;
    }
    TRegValue& value = fValues[it->second];
    if (value.Type == type && value.Data == data)
        return false;
    value.Type = type;
    value.Data = data;
    return true;
}

bool TRegKeyNode::RemoveValue(const QString& name)
{
    const auto it = fValueSlots.find(name);
    if (it == fValueSlots.end())
        return false;
    fValues[it->second] = TRegValue();
    fRemovedSlots.push_back(it->second);
    fValueSlots.erase(it);
    return true;
}

const TRegKeyNode& TRegKeyNode::SubKeyAt(size_t index) const
{
    if (fSubKeyOrder.empty()) {
        fSubKeyOrder.reserve(fSubKeys.size());
        for (const auto& entry : fSubKeys)
            fSubKeyOrder.push_back(entry.second.get());
    }
    return *fSubKeyOrder[index];
}

TRegKeyNode* TRegKeyNode::FindSubKey(const QString& name)
{
    const auto it = fSubKeys.find(name);
    return it == fSubKeys.end() ? nullptr : it->second.get();
}

const TRegKeyNode* TRegKeyNode::FindSubKey(const QString& name) const
{
    return const_cast<TRegKeyNode*>(this)->FindSubKey(name);
}

TRegKeyNode& TRegKeyNode::GetSubKey(const QString& name, bool* created)
{
    auto [it, added] = fSubKeys.try_emplace(name);
    if (added) {
        it->second = std::make_unique<TRegKeyNode>(name);
        fSubKeyOrder.clear();
        if (created)
            *created = true;
    }
    return *it->second;
}

bool TRegKeyNode::RemoveSubKey(const QString& name)
{
    if (!fSubKeys.erase(name))
        return false;
    fSubKeyOrder.clear();
    return true;
}

TRegKeyNode* TRegKeyNode::FindPath(const QStringList& path)
{
    TRegKeyNode* key = this;
    for (const QString& part : path) {
        key = key->FindSubKey(part);
        if (!key)
            return nullptr;
    }
    return key;
}

const TRegKeyNode* TRegKeyNode::FindPath(const QStringList& path) const
{
    return const_cast<TRegKeyNode*>(this)->FindPath(path);
}

TRegKeyNode& TRegKeyNode::GetPath(const QStringList& path, bool* created)
{
    TRegKeyNode* key = this;
    for (const QString& part : path)
        key = &key->GetSubKey(part, created);
    return *key;
}

bool TRegKeyNode::operator==(const TRegKeyNode& other) const
{
    if (fName != other.fName || Values().size() != other.Values().size()
        || fSubKeys.size() != other.fSubKeys.size())
        return false;
    for (size_t i = 0; i < fValues.size(); ++i)
        if (fValues[i].Name != other.fValues[i].Name || fValues[i].Type != other.fValues[i].Type
            || fValues[i].Data != other.fValues[i].Data)
            return false;
    return std::equal(fSubKeys.begin(), fSubKeys.end(), other.fSubKeys.begin(),
        [](const auto& a, const auto& b) { return *a.second == *b.second; });
}

bool TRegKeyNode::CheckConsistency(QString* Fault) const
{
    const QString fault = FirstInconsistency();
    if (Fault)
        *Fault = fault;
    return fault.isEmpty();
}

QString TRegKeyNode::FirstInconsistency() const
{
    const QString where = QStringLiteral("key «%1»: ").arg(fName);
    std::vector<bool> removed(fValues.size(), false);
    for (const size_t slot : fRemovedSlots) {
        if (slot >= fValues.size() || removed[slot])
            return where + QStringLiteral("removed slot %1 is out of range or twice").arg(slot);
        removed[slot] = true;
    }
    if (fValueSlots.size() != fValues.size() - fRemovedSlots.size())
        return where
            + QStringLiteral("%1 names index %2 live values")
                  .arg(fValueSlots.size())
                  .arg(fValues.size() - fRemovedSlots.size());
    for (const auto& [name, slot] : fValueSlots)
        if (slot >= fValues.size() || removed[slot] || fValues[slot].Name != name)
            return where + QStringLiteral("value «%1» is indexed at a wrong slot").arg(name);
    if (!fSubKeyOrder.empty() && fSubKeyOrder.size() != fSubKeys.size())
        return where + QStringLiteral("subkey order is stale");
    size_t index = 0;
    for (const auto& [name, key] : fSubKeys) {
        if (!key || key->fName != name)
            return where + QStringLiteral("subkey «%1» is filed under a wrong name").arg(name);
        if (!fSubKeyOrder.empty() && fSubKeyOrder[index] != key.get())
            return where + QStringLiteral("subkey order is stale");
        ++index;
        const QString below = key->FirstInconsistency();
        if (!below.isEmpty())
            return below;
    }
    return QString();
}

QStringList SplitRegPath(const QString& path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}
