#include "platform/registry/RegApi.h"

#include "platform/registry/RegHive.h"
#include "platform/registry/RegPaths.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct TOpenKey {
    THKey Root = 0;
    QString File;
    QStringList Path;
    uint32_t Access = 0;
};

std::recursive_mutex gLock;
std::map<QString, std::unique_ptr<TRegHive>> gHives;
std::map<THKey, TOpenKey> gKeys;
THKey gNextHandle = 1;

constexpr int kMaxValueNameLength = 16383;

bool IsPredefined(THKey key) { return key >= HKEY_CLASSES_ROOT && key <= HKEY_USERS; }

TRegHive* HiveFor(const TOpenKey& key)
{
    std::unique_ptr<TRegHive>& hive = gHives[key.File];
    if (!hive)
        hive = std::make_unique<TRegHive>(key.File, RegRootName(key.Root));
    return hive.get();
}

// The file of a root is looked up at each call, so a change of the configuration folder
// (in tests, or through --data-dir before the first use) takes effect at once.
long Resolve(THKey key, TOpenKey& out)
{
    if (IsPredefined(key)) {
        out.Root = key;
        out.File = RegRootFile(key);
        out.Path.clear();
        out.Access = KEY_ALL_ACCESS;
        return out.File.isEmpty() ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
    }
    const auto it = gKeys.find(key);
    if (it == gKeys.end())
        return ERROR_INVALID_HANDLE;
    out = it->second;
    return ERROR_SUCCESS;
}

bool ValidKeyPath(const QStringList& parts)
{
    if (parts.size() > kMaxRegKeyDepth)
        return false;
    for (const QString& part : parts) {
        if (part.size() > kMaxRegKeyNameLength)
            return false;
        for (const QChar c : part)
            if (c.unicode() < 0x20 || c == QLatin1Char(']'))
                return false;
    }
    return true;
}

bool ValidValueName(const QString& name)
{
    if (name.size() > kMaxValueNameLength)
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20)
            return false;
    return true;
}

THKey NewHandle(const TOpenKey& key)
{
    const THKey handle = gNextHandle++;
    gKeys[handle] = key;
    return handle;
}

long OpenOrCreate(THKey key, const QString& subKey, uint32_t access, THKey* result,
    uint32_t* disposition, bool create)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    std::lock_guard guard(gLock);
    TOpenKey parent;
    if (const long rc = Resolve(key, parent); rc != ERROR_SUCCESS)
        return rc;
    const QStringList parts = SplitRegPath(subKey);
    TOpenKey opened = parent;
    opened.Path += parts;
    if (!ValidKeyPath(opened.Path))
        return ERROR_INVALID_PARAMETER;
    opened.Access = access;
    bool created = false;
    TRegHive* hive = HiveFor(parent);
    long rc = hive->Read([&](const TRegKeyNode& root) {
        if (!root.FindPath(parent.Path))
            return ERROR_KEY_DELETED;
        return root.FindPath(opened.Path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (create && (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_BADDB)) {
        if (rc == ERROR_FILE_NOT_FOUND && !(parent.Access & KEY_CREATE_SUB_KEY))
            return ERROR_ACCESS_DENIED;
        rc = hive->Write([&](TRegKeyNode& root, bool& changed) {
            if (!root.FindPath(parent.Path) && !parent.Path.isEmpty())
                return ERROR_KEY_DELETED;
            root.GetPath(opened.Path, &created);
            changed = created;
            return ERROR_SUCCESS;
        });
    }
    if (rc != ERROR_SUCCESS)
        return rc;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(opened);
    return ERROR_SUCCESS;
}

template <typename TOp> long ReadKey(THKey key, uint32_t need, TOp op)
{
    std::lock_guard guard(gLock);
    TOpenKey open;
    if (const long rc = Resolve(key, open); rc != ERROR_SUCCESS)
        return rc;
    if ((open.Access & need) != need)
        return ERROR_ACCESS_DENIED;
    return HiveFor(open)->Read([&](const TRegKeyNode& root) {
        const TRegKeyNode* node = root.FindPath(open.Path);
        return node ? op(*node) : ERROR_KEY_DELETED;
    });
}

template <typename TOp> long WriteKey(THKey key, uint32_t need, TOp op)
{
    std::lock_guard guard(gLock);
    TOpenKey open;
    if (const long rc = Resolve(key, open); rc != ERROR_SUCCESS)
        return rc;
    if ((open.Access & need) != need)
        return ERROR_ACCESS_DENIED;
    return HiveFor(open)->Write([&](TRegKeyNode& root, bool& changed) {
        TRegKeyNode* node = root.FindPath(open.Path);
        return node ? op(*node, changed) : ERROR_KEY_DELETED;
    });
}

}

long RegCreateKeyEx(
    THKey key, const QString& subKey, uint32_t access, THKey* result, uint32_t* disposition)
{
    return OpenOrCreate(key, subKey, access, result, disposition, true);
}

long RegOpenKeyEx(THKey key, const QString& subKey, uint32_t access, THKey* result)
{
    return OpenOrCreate(key, subKey, access, result, nullptr, false);
}

long RegCloseKey(THKey key)
{
    std::lock_guard guard(gLock);
    if (IsPredefined(key))
        return ERROR_SUCCESS;
    return gKeys.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

long RegQueryValueEx(
    THKey key, const QString& valueName, uint32_t* type, uint8_t* data, uint32_t* dataSize)
{
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    return ReadKey(key, KEY_QUERY_VALUE, [&](const TRegKeyNode& node) {
        const TRegValue* value = node.FindValue(valueName);
        if (!value)
            return ERROR_FILE_NOT_FOUND;
        if (type)
            *type = value->Type;
        if (!dataSize)
            return ERROR_SUCCESS;
        const uint32_t needed = uint32_t(value->Data.size());
        const uint32_t capacity = *dataSize;
        *dataSize = needed;
        if (!data)
            return ERROR_SUCCESS;
        if (capacity < needed)
            return ERROR_MORE_DATA;
        if (needed)
            std::memcpy(data, value->Data.constData(), needed);
        return ERROR_SUCCESS;
    });
}

long RegSetValueEx(
    THKey key, const QString& valueName, uint32_t type, const uint8_t* data, uint32_t dataSize)
{
    if ((!data && dataSize) || !ValidValueName(valueName))
        return ERROR_INVALID_PARAMETER;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(dataSize));
    return WriteKey(key, KEY_SET_VALUE, [&](TRegKeyNode& node, bool& changed) {
        changed = node.SetValue(valueName, type, bytes);
        return ERROR_SUCCESS;
    });
}

long RegDeleteValue(THKey key, const QString& valueName)
{
    return WriteKey(key, KEY_SET_VALUE, [&](TRegKeyNode& node, bool& changed) {
        changed = node.RemoveValue(valueName);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

long RegEnumValue(
    THKey key, uint32_t index, QString* valueName, uint32_t maxNameLength, uint32_t* type)
{
    return ReadKey(key, KEY_QUERY_VALUE, [&](const TRegKeyNode& node) {
        const std::vector<TRegValue>& values = node.Values();
        if (index >= values.size())
            return ERROR_NO_MORE_ITEMS;
        const TRegValue& value = values[index];
        if (uint32_t(value.Name.size()) > maxNameLength)
            return ERROR_MORE_DATA;
        if (valueName)
            *valueName = value.Name;
        if (type)
            *type = value.Type;
        return ERROR_SUCCESS;
    });
}

long RegEnumKeyEx(THKey key, uint32_t index, QString* subKeyName)
{
    return ReadKey(key, KEY_ENUMERATE_SUB_KEYS, [&](const TRegKeyNode& node) {
        if (index >= node.SubKeyCount())
            return ERROR_NO_MORE_ITEMS;
        if (subKeyName)
            *subKeyName = node.SubKeyAt(index).Name();
        return ERROR_SUCCESS;
    });
}

long RegDeleteKey(THKey key, const QString& subKey)
{
    QStringList parts = SplitRegPath(subKey);
    if (parts.isEmpty())
        return ERROR_ACCESS_DENIED;
    std::lock_guard guard(gLock);
    TOpenKey open;
    if (const long rc = Resolve(key, open); rc != ERROR_SUCCESS)
        return rc;
    const QString last = parts.takeLast();
    TRegHive* hive = HiveFor(open);
    const long found = hive->Read([&](const TRegKeyNode& root) {
        const TRegKeyNode* parent = root.FindPath(open.Path + parts);
        const TRegKeyNode* target = parent ? parent->FindSubKey(last) : nullptr;
        if (!target)
            return ERROR_FILE_NOT_FOUND;
        return target->SubKeyCount() == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    });
    if (found != ERROR_SUCCESS)
        return found;
    return hive->Write([&](TRegKeyNode& root, bool& changed) {
        TRegKeyNode* parent = root.FindPath(open.Path + parts);
        const TRegKeyNode* target = parent ? parent->FindSubKey(last) : nullptr;
        if (!target)
            return ERROR_FILE_NOT_FOUND;
        if (target->SubKeyCount() != 0)
            return ERROR_ACCESS_DENIED;
        changed = parent->RemoveSubKey(last);
        return ERROR_SUCCESS;
    });
}
