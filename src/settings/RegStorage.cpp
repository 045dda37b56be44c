#include "settings/RegStorage.h"

#include "messages/Trace.h"

#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t kStringBufferSize = 8193;
constexpr uint32_t kNumberBufferSize = 258;
constexpr uint32_t kMoveKeyAccess = 0x4001F;
constexpr uint32_t kMaxEnumName = 1001;

void RouteRegistryProblemsToTrace()
{
    static const bool installed = [] {
        SetRegProblemSink([](const QString& text) { TraceText(text, TRACE_ERROR); });
        return true;
    }();
    (void)installed;
}

QString Utf16Text(const QByteArray& data, bool stopAtZero)
{
    QString text;
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
        const char16_t c = char16_t(uchar(data[i]) | (uchar(data[i + 1]) << 8));
        if (stopAtZero && c == 0)
            break;
        text += QChar(c);
    }
    return text;
}

QByteArray Utf16Bytes(const QString& text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes + QByteArray(2, '\0');
}

uint64_t LittleEndian(const QByteArray& data, int count)
{
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | uchar(data[i]);
    return value;
}

// The 80-bit extended format: sign and 15-bit exponent, then a 64-bit mantissa with an
// explicit leading bit.
double ExtendedToDouble(const QByteArray& data)
{
    const uint64_t mantissa = LittleEndian(data, 8);
    const int signExponent = uchar(data[8]) | (uchar(data[9]) << 8);
    const int exponent = signExponent & 0x7FFF;
    const double sign = (signExponent & 0x8000) ? -1.0 : 1.0;
    if (exponent == 0x7FFF)
        return (mantissa << 1) ? std::nan("") : sign * HUGE_VAL;
    if (exponent == 0 && mantissa == 0)
        return sign * 0.0;
    return sign * std::ldexp(double(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
}

}

TRegStorage::TRegStorage() { RouteRegistryProblemsToTrace(); }

TRegStorage::~TRegStorage() { CloseKey(); }

bool TRegStorage::OpenKey(const QString& path, bool keyCreate)
{
    CloseKey();
    fErr = 0;
    const QString keyPath = path.startsWith(QLatin1Char('\\')) ? path.mid(1) : path;
    THKey key = 0;
    fErr = keyCreate ? RegCreateKeyEx(fRoot, keyPath, uint32_t(fAccess), &key)
                     : RegOpenKeyEx(fRoot, keyPath, uint32_t(fAccess), &key);
    if (fErr != ERROR_SUCCESS) {
        fPath.clear();
        return false;
    }
    fCurrKey = key;
    fPath = keyPath;
    return true;
}

void TRegStorage::CloseKey()
{
    if (fCurrKey) {
        RegCloseKey(fCurrKey);
        fCurrKey = 0;
    }
}

bool TRegStorage::Query(const QString& valName, uint32_t capacity, uint32_t& type, QByteArray& data)
{
    if (!fCurrKey)
        return false;
    data.resize(capacity);
    uint32_t size = capacity;
    if (RegQueryValueEx(fCurrKey, valName, &type, reinterpret_cast<uint8_t*>(data.data()), &size)
        != ERROR_SUCCESS)
        return false;
    data.resize(size);
    return true;
}

// Expandable strings are returned unexpanded and multi-strings one per line, so that callers
// treating every string type alike (ReadInt64Def, MoveKey) never get an empty text instead.
QString TRegStorage::ReadString(const QString& valName)
{
    uint32_t type = 0;
    QByteArray data;
    if (!Query(valName, kStringBufferSize, type, data))
        return {};
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return Utf16Text(data, true);
    case REG_MULTI_SZ: {
        QStringList lines = Utf16Text(data, false).split(QChar(0));
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines.join(QLatin1Char('\n'));
    }
    case REG_BINARY:
        return Utf16Text(data, false);
    default:
        return {};
    }
}

int32_t TRegStorage::ReadInteger(const QString& valName) { return ReadIntegerDef(valName, 0); }

int32_t TRegStorage::ReadIntegerDef(const QString& valName, int32_t defInt)
{
    uint32_t type = 0;
    QByteArray data;
    if (!Query(valName, kNumberBufferSize, type, data))
        return defInt;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        int32_t value;
        return ParseStoredInt32(Utf16Text(data, true), &value) ? value : defInt;
    }
    if ((type == REG_BINARY || type == REG_DWORD) && data.size() == 4)
        return int32_t(uint32_t(LittleEndian(data, 4)));
    return defInt;
}

int64_t TRegStorage::ReadInt64Def(const QString& valName, int64_t defInt)
{
    switch (GetDataType(valName)) {
    case rdString:
    case rdExpandString: {
        int64_t value;
        return ParseStoredInt64(ReadString(valName), &value) ? value : defInt;
    }
    case rdBinary: {
        // Zeroed first, so a shorter value reads as its bytes extended with zeros.
        uint8_t bytes[8] = {};
        uint32_t size = sizeof bytes;
        if (!ReadBinary(valName, size, bytes))
            return defInt;
        uint64_t value = 0;
        for (int i = 7; i >= 0; --i)
            value = (value << 8) | bytes[i];
        return int64_t(value);
    }
    case rdInteger:
        return ReadIntegerDef(valName, int32_t(defInt));
    default:
        return defInt;
    }
}

double TRegStorage::ReadRealDef(const QString& keyName, double defValue)
{
    uint32_t type = 0;
    QByteArray data;
    if (!Query(keyName, kStringBufferSize, type, data))
        return defValue;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        double value;
        return ParseStoredReal(Utf16Text(data, true), &value) ? value : defValue;
    }
    if (type == REG_BINARY) {
        if (data.size() == 4) {
            float f;
            const uint32_t bits = uint32_t(LittleEndian(data, 4));
            std::memcpy(&f, &bits, 4);
            return f;
        }
        if (data.size() == 8) {
            double d;
            const uint64_t bits = LittleEndian(data, 8);
            std::memcpy(&d, &bits, 8);
            return d;
        }
        if (data.size() == 10)
            return ExtendedToDouble(data);
        return defValue;
    }
    if (type == REG_DWORD && data.size() == 4)
        return int32_t(uint32_t(LittleEndian(data, 4)));
    return defValue;
}

bool TRegStorage::ReadBoolDef(const QString& keyName, bool defValue)
{
    uint32_t type = 0;
    QByteArray data;
    if (!Query(keyName, kNumberBufferSize, type, data))
        return defValue;
    if (type == REG_BINARY || type == REG_DWORD) {
        if (data.size() != 1 && data.size() != 2 && data.size() != 4)
            return defValue;
        return LittleEndian(data, int(data.size())) != 0;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return defValue;
    const QString text = Utf16Text(data, true);
    int32_t number;
    if (ParseStoredInt32(text, &number))
        return number != 0;
    const QChar first = text.isEmpty() ? QChar() : text.at(0).toUpper();
    if (first == QLatin1Char('F') || first == QLatin1Char('N'))
        return false;
    if (first == QLatin1Char('T') || first == QLatin1Char('Y'))
        return true;
    return defValue;
}

bool TRegStorage::ReadBinary(const QString& valName, uint32_t& bufSize, void* buf)
{
    if (!fCurrKey) {
        fErr = ERROR_INVALID_HANDLE;
        return false;
    }
    fErr = RegQueryValueEx(fCurrKey, valName, nullptr, static_cast<uint8_t*>(buf), &bufSize);
    return fErr == ERROR_SUCCESS;
}

bool TRegStorage::WriteString(const QString& valName, const QString& value)
{
    const QByteArray bytes = Utf16Bytes(value);
    return SetValue(valName, REG_SZ, bytes);
}

bool TRegStorage::SetValue(const QString& valName, uint32_t type, const QByteArray& data)
{
    if (!fCurrKey) {
        fErr = ERROR_INVALID_HANDLE;
        return false;
    }
    fErr = RegSetValueEx(fCurrKey, valName, type,
        reinterpret_cast<const uint8_t*>(data.constData()), uint32_t(data.size()));
    return fErr == ERROR_SUCCESS;
}

bool TRegStorage::WriteInteger(const QString& valName, int32_t value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(uint32_t(value) >> (8 * i));
    return SetValue(valName, REG_DWORD, bytes);
}

bool TRegStorage::WriteBinary(const QString& valName, uint32_t bufSize, const void* buf)
{
    if (!buf && bufSize) {
        fErr = ERROR_INVALID_PARAMETER;
        return false;
    }
    return SetValue(valName, REG_BINARY,
        QByteArray(static_cast<const char*>(buf), qsizetype(buf ? bufSize : 0)));
}

bool TRegStorage::WriteReal(const QString& valName, double value)
{
    return WriteString(valName, FormatStoredReal(value));
}

bool TRegStorage::DeleteValue(const QString& valName)
{
    return fCurrKey && RegDeleteValue(fCurrKey, valName) == ERROR_SUCCESS;
}

bool TRegStorage::DeleteKey(const QString& keyName)
{
    const QString keyPath = keyName.startsWith(QLatin1Char('\\')) ? keyName.mid(1) : keyName;
    const bool ok = RegDeleteKey(fRoot, keyPath) == ERROR_SUCCESS;
    CloseKey();
    return ok;
}

void TRegStorage::EnumValues(void* ARef, const TEnumEvent& ACallback)
{
    if (!ACallback || !fCurrKey)
        return;
    QString name;
    for (uint32_t index = 0; RegEnumValue(fCurrKey, index, &name, kMaxEnumName) == ERROR_SUCCESS;
         ++index)
        if (!ACallback(ARef, name))
            return;
}

void TRegStorage::GetValueNames(QStringList& list)
{
    list.clear();
    EnumValues(&list, [](void* ref, const QString& name) {
        static_cast<QStringList*>(ref)->append(name);
        return true;
    });
}

// Values are copied byte for byte with their own type, whatever their size, and the old key
// is deleted only when every value arrived: a move never loses a setting.
bool TRegStorage::MoveKey(const QString& oldName, const QString& newName, bool deleteOld)
{
    TRegStorage source, target;
    source.SetRootKey(fRoot);
    target.SetRootKey(fRoot);
    source.SetAccess(int32_t(KEY_READ));
    target.SetAccess(int32_t(kMoveKeyAccess));
    bool ok = source.OpenKey(oldName, false) && target.OpenKey(newName, true);
    if (ok) {
        QStringList names;
        source.GetValueNames(names);
        for (const QString& name : names) {
            uint32_t type = 0, size = 0;
            if (RegQueryValueEx(source.fCurrKey, name, &type, nullptr, &size) != ERROR_SUCCESS) {
                ok = false;
                continue;
            }
            QByteArray data(qsizetype(size), '\0');
            ok = RegQueryValueEx(
                     source.fCurrKey, name, &type, reinterpret_cast<uint8_t*>(data.data()), &size)
                    == ERROR_SUCCESS
                && target.SetValue(name, type, data.left(size)) && ok;
        }
    }
    source.CloseKey();
    target.CloseKey();
    if (ok && deleteOld)
        ok = DeleteKey(oldName);
    CloseKey();
    return ok;
}

bool TRegStorage::ValueExists(const QString& name) { return GetDataType(name) != rdUnknown; }

TRegDataType TRegStorage::GetDataType(const QString& name)
{
    uint32_t type = 0;
    if (!fCurrKey || RegQueryValueEx(fCurrKey, name, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return rdUnknown;
    switch (type) {
    case REG_SZ:
    case REG_MULTI_SZ:
        return rdString;
    case REG_EXPAND_SZ:
        return rdExpandString;
    case REG_BINARY:
        return rdBinary;
    case REG_DWORD:
        return rdInteger;
    default:
        return rdUnknown;
    }
}
