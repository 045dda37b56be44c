#pragma once

#include "platform/registry/RegApi.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdBinary, rdInteger };

// Called once per value name; returning false stops the enumeration.
using TEnumEvent = std::function<bool(void* ARef, const QString& AParam)>;

// A hierarchical settings store organised like the registry: a root, one open key, named
// values of a few types. Every operation reports failure by its result and never throws.
class TConfigStorage {
public:
    TConfigStorage();
    virtual ~TConfigStorage();
    TConfigStorage(const TConfigStorage&) = delete;
    TConfigStorage& operator=(const TConfigStorage&) = delete;

    THKey RootKey() const { return fRoot; }
    void SetRootKey(THKey root);
    int32_t Access() const { return fAccess; }
    void SetAccess(int32_t access);
    // The platform result code of the last open, binary read or binary write; 0 for success.
    int32_t Error() const { return fErr; }
    // The open key's path without a leading backslash; empty after a failed open.
    QString Path() const { return fPath; }

    virtual bool OpenKey(const QString& path, bool keyCreate) = 0;
    virtual void CloseKey() = 0;
    virtual QString ReadString(const QString& valName) = 0;
    virtual QString ReadStringDef(const QString& valName, const QString& defVal);
    virtual int32_t ReadInteger(const QString& valName) = 0;
    virtual int32_t ReadIntegerDef(const QString& valName, int32_t defInt) = 0;
    virtual int64_t ReadInt64Def(const QString& valName, int64_t defInt);
    virtual double ReadRealDef(const QString& keyName, double defValue) = 0;
    virtual bool ReadBoolDef(const QString& keyName, bool defValue) = 0;
    // bufSize in: the buffer's size, out: the bytes the value has; without buf only the size.
    virtual bool ReadBinary(const QString& valName, uint32_t& bufSize, void* buf) = 0;
    virtual bool WriteString(const QString& valName, const QString& value) = 0;
    virtual bool WriteInteger(const QString& valName, int32_t value) = 0;
    virtual bool WriteInt64(const QString& valName, int64_t value);
    virtual bool WriteBinary(const QString& valName, uint32_t bufSize, const void* buf) = 0;
    virtual bool WriteReal(const QString& valName, double value) = 0;
    virtual bool DeleteValue(const QString& valName) = 0;
    virtual bool DeleteKey(const QString& keyName) = 0;
    virtual void EnumValues(void* ARef, const TEnumEvent& ACallback) = 0;
    virtual bool MoveKey(const QString& oldName, const QString& newName, bool deleteOld) = 0;
    virtual bool ValueExists(const QString& name) = 0;
    virtual TRegDataType GetDataType(const QString& name) = 0;
    virtual void GetValueNames(QStringList& list) = 0;

protected:
    THKey fRoot = HKEY_LOCAL_MACHINE;
    int32_t fAccess = int32_t(KEY_READ);
    int32_t fErr = 0;
    QString fPath;
};

// Conversions both engines share.
QString FormatStoredReal(double value);
bool ParseStoredReal(QString text, double* value);
bool ParseStoredInt64(const QString& text, int64_t* value);
// Decimal, or hexadecimal after "$" or "0x"; blanks around are allowed.
bool ParseStoredInteger(const QString& text, int64_t* value);
bool ParseStoredInt32(const QString& text, int32_t* value);
