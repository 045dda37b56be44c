#pragma once

#include "settings/ConfigStorage.h"

// Settings kept in the registry (see platform/registry/RegApi.h).
class TRegStorage : public TConfigStorage {
public:
    TRegStorage();
    ~TRegStorage() override;

    bool OpenKey(const QString& path, bool keyCreate) override;
    void CloseKey() override;
    QString ReadString(const QString& valName) override;
    int32_t ReadInteger(const QString& valName) override;
    int32_t ReadIntegerDef(const QString& valName, int32_t defInt) override;
    int64_t ReadInt64Def(const QString& valName, int64_t defInt) override;
    double ReadRealDef(const QString& keyName, double defValue) override;
    bool ReadBoolDef(const QString& keyName, bool defValue) override;
    bool ReadBinary(const QString& valName, uint32_t& bufSize, void* buf) override;
    bool WriteString(const QString& valName, const QString& value) override;
    bool WriteInteger(const QString& valName, int32_t value) override;
    bool WriteBinary(const QString& valName, uint32_t bufSize, const void* buf) override;
    bool WriteReal(const QString& valName, double value) override;
    bool DeleteValue(const QString& valName) override;
    bool DeleteKey(const QString& keyName) override;
    void EnumValues(void* ARef, const TEnumEvent& ACallback) override;
    bool MoveKey(const QString& oldName, const QString& newName, bool deleteOld) override;
    bool ValueExists(const QString& name) override;
    TRegDataType GetDataType(const QString& name) override;
    void GetValueNames(QStringList& list) override;

private:
    // Reads a value of at most capacity bytes; false when it is missing or larger.
    bool Query(const QString& valName, uint32_t capacity, uint32_t& type, QByteArray& data);

    bool SetValue(const QString& valName, uint32_t type, const QByteArray& data);

    THKey fCurrKey = 0;
};
