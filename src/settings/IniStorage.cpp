#include "settings/IniStorage.h"

#include "messages/Trace.h"
#include "platform/registry/RegPaths.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr long ERROR_INVALID_DATA = 13;

const QString kAtSign = QStringLiteral("@");

QString IniName(const QString& valName) { return valName.isEmpty() ? kAtSign : valName; }

// Texts that would break the line structure of the file (and so lose or alter other
// values when it is read back) are refused instead of written.
bool StorableName(const QString& name)
{
    return !name.contains(QLatin1Char('=')) && !name.contains(QLatin1Char('\n'))
        && !name.contains(QLatin1Char('\r')) && !name.trimmed().startsWith(QLatin1Char('['))
        && !name.trimmed().startsWith(QLatin1Char(';')) && name.trimmed() == name;
}

bool StorableValue(const QString& value)
{
    return !value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r'));
}

}

TIniStorage::TIniStorage() = default;

TIniStorage::~TIniStorage() { CloseKey(); }

QString TIniStorage::RootFolder(THKey root)
{
    if (root == HKEY_LOCAL_MACHINE)
        return QDir::cleanPath(RegDataDir() + QStringLiteral("/etc")) + QLatin1Char('/');
    if (root == HKEY_CURRENT_USER) {
        QString profile = qEnvironmentVariable("USERPROFILE");
        if (profile.isEmpty())
            profile = qEnvironmentVariable("HOME");
        if (profile.isEmpty())
            profile = QDir::homePath();
        return QDir::cleanPath(profile + QStringLiteral("/.tessaline")) + QLatin1Char('/');
    }
    return QStringLiteral("./");
}

// Only the rights to change values or create keys count as writing. The read and write
// masks share their standard-rights bit, and treating that bit as write access would make
// every read-only open write its possibly stale copy of the file back over newer content.
bool TIniStorage::CanWrite() const
{
    return fCurrKey && (fCurrKey->dwAccess & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0;
}

bool TIniStorage::OpenKey(const QString& path, bool keyCreate)
{
    CloseKey();
    fErr = 0;
    const QString keyPath = path.startsWith(QLatin1Char('\\')) ? path.mid(1) : path;
    const QStringList parts
        = keyPath.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
    fPath.clear();
    if (parts.size() < 3 || parts[2] == QLatin1String(".") || parts[2] == QLatin1String("..")) {
        fErr = ERROR_INVALID_PARAMETER;
        return false;
    }
    const QString folder = RootFolder(fRoot);
    QString base = parts[2];
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        base.truncate(dot);
    const QString fileName = folder + base + QStringLiteral(".ini");
    const QString section = parts.size() > 3 ? parts[3] : kAtSign;

    if (keyCreate && !QFileInfo(folder).isDir())
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
    if (!keyCreate && !QFileInfo::exists(fileName)) {
        fErr = ERROR_FILE_NOT_FOUND;
        return false;
    }
    auto ini = std::make_unique<TIniReg>(fileName);
    QString reason;
    if (!ini->Load(&reason)) {
        TraceText(
            QStringLiteral("Файл настроек %1 не читается: %2").arg(fileName, reason), TRACE_ERROR);
        fErr = ERROR_CANTREAD;
        return false;
    }
    ini->dwAccess = uint32_t(fAccess);
    ini->defSection = section;
    const bool writable = (ini->dwAccess & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0;
    if (!ini->SectionExists(section)) {
        if (!keyCreate || !writable) {
            fErr = ERROR_FILE_NOT_FOUND;
            return false;
        }
        ini->AddSection(section);
    }
    fCurrKey = std::move(ini);
    fPath = keyPath;
    return true;
}

void TIniStorage::CloseKey()
{
    if (!fCurrKey)
        return;
    if (CanWrite() && fCurrKey->IsModified()) {
        if (const int code = fCurrKey->Save()) {
            fErr = ERROR_CANTWRITE;
            TraceText(QStringLiteral("Файл настроек %1 не записан: %2")
                          .arg(fCurrKey->FileName(), QString::fromLocal8Bit(std::strerror(code))),
                TRACE_ERROR);
        }
    }
    fCurrKey.reset();
}

QString TIniStorage::ReadString(const QString& valName)
{
    if (!fCurrKey)
        return {};
    return QString::fromUtf8(fCurrKey->ReadValue(fCurrKey->defSection, IniName(valName)));
}

int32_t TIniStorage::ReadInteger(const QString& valName) { return ReadIntegerDef(valName, 0); }

int32_t TIniStorage::ReadIntegerDef(const QString& valName, int32_t defInt)
{
    int32_t value;
    return ValueExists(valName) && ParseStoredInt32(ReadString(valName), &value) ? value : defInt;
}

double TIniStorage::ReadRealDef(const QString& keyName, double defValue)
{
    double value;
    return ValueExists(keyName) && ParseStoredReal(ReadString(keyName), &value) ? value : defValue;
}

bool TIniStorage::ReadBoolDef(const QString& keyName, bool defValue)
{
    int32_t value;
    return ValueExists(keyName) && ParseStoredInt32(ReadString(keyName), &value) ? value != 0
                                                                                 : defValue;
}

// A stored value longer than the caller's buffer, or one that is not hexadecimal, fails
// without writing past the buffer or throwing.
bool TIniStorage::ReadBinary(const QString& valName, uint32_t& bufSize, void* buf)
{
    const uint32_t capacity = bufSize;
    bufSize = 0;
    const QString text = ReadString(valName);
    if (text.isEmpty())
        return false;
    const uint32_t count = uint32_t(text.size() / 2);
    if (!buf) {
        bufSize = count;
        return true;
    }
    if (count > capacity) {
        bufSize = count;
        fErr = ERROR_MORE_DATA;
        return false;
    }
    QByteArray bytes;
    for (uint32_t i = 0; i < count; ++i) {
        bool ok = false;
        const QString pair = text.mid(qsizetype(i) * 2, 2);
        const uint v = pair.toUInt(&ok, 16);
        if (!ok || !pair.at(0).isLetterOrNumber() || !pair.at(1).isLetterOrNumber()) {
            fErr = ERROR_INVALID_DATA;
            return false;
        }
        bytes += char(v);
    }
    std::memcpy(buf, bytes.constData(), count);
    bufSize = count;
    return true;
}

bool TIniStorage::WriteString(const QString& valName, const QString& value)
{
    if (!fCurrKey || !StorableName(IniName(valName)) || !StorableValue(value))
        return false;
    fCurrKey->WriteValue(fCurrKey->defSection, IniName(valName), value.toUtf8());
    return true;
}

bool TIniStorage::WriteInteger(const QString& valName, int32_t value)
{
    return WriteString(valName, QString::number(value));
}

bool TIniStorage::WriteBinary(const QString& valName, uint32_t bufSize, const void* buf)
{
    if (!buf || bufSize == 0)
        return bufSize == 0;
    const QByteArray bytes(static_cast<const char*>(buf), qsizetype(bufSize));
    return WriteString(valName, QString::fromLatin1(bytes.toHex().toUpper()));
}

bool TIniStorage::WriteInt64(const QString& valName, int64_t value)
{
    return WriteString(
        valName, QStringLiteral("%1").arg(uint64_t(value), 16, 16, QLatin1Char('0')).toUpper());
}

bool TIniStorage::WriteReal(const QString& valName, double value)
{
    return WriteString(valName, FormatStoredReal(value));
}

bool TIniStorage::DeleteValue(const QString& valName)
{
    if (!fCurrKey)
        return false;
    fCurrKey->DeleteValue(fCurrKey->defSection, IniName(valName));
    return true;
}

bool TIniStorage::DeleteKey(const QString& keyName)
{
    if (!fCurrKey && !OpenKey(keyName, false))
        return false;
    fCurrKey->EraseSection(fCurrKey->defSection);
    fErr = 0;
    CloseKey();
    return fErr == 0;
}

void TIniStorage::EnumValues(void* ARef, const TEnumEvent& ACallback)
{
    if (!fCurrKey || !ACallback)
        return;
    for (const QString& name : fCurrKey->ValueNames(fCurrKey->defSection))
        if (!ACallback(ARef, name))
            return;
}

bool TIniStorage::MoveKey(const QString&, const QString&, bool) { return false; }

bool TIniStorage::ValueExists(const QString& name)
{
    return fCurrKey && fCurrKey->ValueExists(fCurrKey->defSection, IniName(name));
}

TRegDataType TIniStorage::GetDataType(const QString& name)
{
    return ValueExists(name) ? rdString : rdUnknown;
}

void TIniStorage::GetValueNames(QStringList& list)
{
    if (!fCurrKey)
        return;
    list = fCurrKey->ValueNames(fCurrKey->defSection);
}
