#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// The registry as the settings stores use it: predefined roots, keys and subkeys, typed
// values, result codes. Each root is kept in a text file (see RegPaths.h); every change is
// merged into that file under a lock and written atomically before the call returns, so
// another instance sees it on its next call and a crash never leaves a half-written file.
// All functions may be called from any thread.

using THKey = uintptr_t;

constexpr THKey HKEY_CLASSES_ROOT = 0x80000000;
constexpr THKey HKEY_CURRENT_USER = 0x80000001;
constexpr THKey HKEY_LOCAL_MACHINE = 0x80000002;
constexpr THKey HKEY_USERS = 0x80000003;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_LOCK_VIOLATION = 33;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_DISK_FULL = 112;
constexpr long ERROR_MORE_DATA = 234;
constexpr long ERROR_NO_MORE_ITEMS = 259;
constexpr long ERROR_BADDB = 1009;
constexpr long ERROR_CANTREAD = 1012;
constexpr long ERROR_CANTWRITE = 1013;
constexpr long ERROR_KEY_DELETED = 1018;

constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t REG_MULTI_SZ = 7;

constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr uint32_t KEY_SET_VALUE = 0x0002;
constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr uint32_t KEY_NOTIFY = 0x0010;
constexpr uint32_t KEY_READ = 0x20019;
constexpr uint32_t KEY_WRITE = 0x20006;
constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

constexpr uint32_t REG_CREATED_NEW_KEY = 1;
constexpr uint32_t REG_OPENED_EXISTING_KEY = 2;

// Opens subKey below key, creating the missing keys. disposition, when given, tells which.
long RegCreateKeyEx(THKey key, const QString& subKey, uint32_t access, THKey* result,
    uint32_t* disposition = nullptr);
long RegOpenKeyEx(THKey key, const QString& subKey, uint32_t access, THKey* result);
long RegCloseKey(THKey key);

// dataSize is in: the buffer's size, out: the bytes the value has. Without data only the
// size is returned; a buffer too small gives ERROR_MORE_DATA and the needed size.
long RegQueryValueEx(
    THKey key, const QString& valueName, uint32_t* type, uint8_t* data, uint32_t* dataSize);
long RegSetValueEx(
    THKey key, const QString& valueName, uint32_t type, const uint8_t* data, uint32_t dataSize);
long RegDeleteValue(THKey key, const QString& valueName);

// Names longer than maxNameLength characters give ERROR_MORE_DATA. Values come in the order
// they were created, subkeys sorted by name; both orders survive a restart.
long RegEnumValue(THKey key, uint32_t index, QString* valueName, uint32_t maxNameLength = 16383,
    uint32_t* type = nullptr);
long RegEnumKeyEx(THKey key, uint32_t index, QString* subKeyName);

// Refuses (ERROR_ACCESS_DENIED) a key that still has subkeys.
long RegDeleteKey(THKey key, const QString& subKey);

// Receives a sentence for every problem with a registry file (damaged, unreadable, not
// writable); the settings layer routes it into the diagnostic trace.
void SetRegProblemSink(std::function<void(const QString&)> sink);
