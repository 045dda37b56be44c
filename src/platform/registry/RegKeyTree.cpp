#include "platform/registry/RegKeyTree.h"

#include <algorithm>

namespace {

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}

TRegValue* TRegKeyNode::FindValue(const QString& name)
{
    for (TRegValue& value : Values)
        if (SameName(value.Name, name))
            return &value;
    return nullptr;
}

const TRegValue* TRegKeyNode::FindValue(const QString& name) const
{
    return const_cast<TRegKeyNode*>(this)->FindValue(name);
}

bool TRegKeyNode::SetValue(const QString& name, uint32_t type, const QByteArray& data)
{
    if (TRegValue* value = FindValue(name)) {
        if (value->Type == type && value->Data == data)
            return false;
        value->Type = type;
        value->Data = data;
        return true;
    }
    Values.push_back({ name, type, data });
    return true;
}

bool TRegKeyNode::RemoveValue(const QString& name)
{
    const auto it = std::find_if(Values.begin(), Values.end(),
        [&](const TRegValue& value) { return SameName(value.Name, name); });
    if (it == Values.end())
        return false;
    Values.erase(it);
    return true;
}

TRegKeyNode* TRegKeyNode::FindSubKey(const QString& name)
{
    for (TRegKeyNode& key : SubKeys)
        if (SameName(key.Name, name))
            return &key;
    return nullptr;
}

const TRegKeyNode* TRegKeyNode::FindSubKey(const QString& name) const
{
    return const_cast<TRegKeyNode*>(this)->FindSubKey(name);
}

TRegKeyNode& TRegKeyNode::GetSubKey(const QString& name, bool* created)
{
    if (TRegKeyNode* key = FindSubKey(name))
        return *key;
    if (created)
        *created = true;
    const auto at = std::lower_bound(
        SubKeys.begin(), SubKeys.end(), name, [](const TRegKeyNode& key, const QString& n) {
            return key.Name.compare(n, Qt::CaseInsensitive) < 0;
        });
    TRegKeyNode node;
    node.Name = name;
    return *SubKeys.insert(at, std::move(node));
}

bool TRegKeyNode::RemoveSubKey(const QString& name)
{
    const auto it = std::find_if(SubKeys.begin(), SubKeys.end(),
        [&](const TRegKeyNode& key) { return SameName(key.Name, name); });
    if (it == SubKeys.end())
        return false;
    SubKeys.erase(it);
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
    if (Name != other.Name || Values.size() != other.Values.size() || SubKeys != other.SubKeys)
        return false;
    for (size_t i = 0; i < Values.size(); ++i)
        if (Values[i].Name != other.Values[i].Name || Values[i].Type != other.Values[i].Type
            || Values[i].Data != other.Values[i].Data)
            return false;
    return true;
}

QStringList SplitRegPath(const QString& path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}
