#pragma once

#include "settings/ConfigStorage.h"

#include <memory>

class TIniReg;

// Settings kept in ini files. A key path Software\Maker\Program\Section opens the section
// Section (or "@" without one) of Program.ini in the root's folder: "etc" in the program's
// folder for HKEY_LOCAL_MACHINE, ".tessaline" in the user's profile for HKEY_CURRENT_USER,
// the current folder for any other root. Changes reach the file when the key is closed.
class TIniStorage : public TConfigStorage {
public:
    TIniStorage();
    ~TIniStorage() override;

    bool OpenKey(const QString& path, bool keyCreate) override;
    void CloseKey() override;
    QString ReadString(const QString& valName) override;
    int32_t ReadInteger(const QString& valName) override;
    int32_t ReadIntegerDef(const QString& valName, int32_t defInt) override;
    double ReadRealDef(const QString& keyName, double defValue) override;
    bool ReadBoolDef(const QString& keyName, bool defValue) override;
    bool ReadBinary(const QString& valName, uint32_t& bufSize, void* buf) override;
    bool WriteString(const QString& valName, const QString& value) override;
    bool WriteInteger(const QString& valName, int32_t value) override;
    bool WriteBinary(const QString& valName, uint32_t bufSize, const void* buf) override;
    // Written as 16 hexadecimal digits, most significant first, which is the form
    // ReadInt64Def reads back; the bytes of the binary form would come back reversed.
    bool WriteInt64(const QString& valName, int64_t value) override;
    bool WriteReal(const QString& valName, double value) override;
    bool DeleteValue(const QString& valName) override;
    bool DeleteKey(const QString& keyName) override;
    void EnumValues(void* ARef, const TEnumEvent& ACallback) override;
    bool MoveKey(const QString& oldName, const QString& newName, bool deleteOld) override;
    bool ValueExists(const QString& name) override;
    TRegDataType GetDataType(const QString& name) override;
    void GetValueNames(QStringList& list) override;

    // The folder of a root's ini files, ending with "/".
    static QString RootFolder(THKey root);

private:
    bool CanWrite() const;

    std::unique_ptr<TIniReg> fCurrKey;
};
