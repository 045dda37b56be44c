#include "settings/ConfigStorage.h"

#include <QLocale>

TConfigStorage::TConfigStorage() = default;

TConfigStorage::~TConfigStorage() = default;

void TConfigStorage::SetRootKey(THKey root)
{
    if (root == fRoot)
        return;
    CloseKey();
    fRoot = root;
}

void TConfigStorage::SetAccess(int32_t access)
{
    if (access == fAccess)
        return;
    CloseKey();
    fAccess = access;
}

QString TConfigStorage::ReadStringDef(const QString& valName, const QString& defVal)
{
    return ValueExists(valName) ? ReadString(valName) : defVal;
}

int64_t TConfigStorage::ReadInt64Def(const QString& valName, int64_t defInt)
{
    switch (GetDataType(valName)) {
    case rdString:
    case rdExpandString: {
        int64_t value;
        return ParseStoredInt64(ReadString(valName), &value) ? value : defInt;
    }
    case rdBinary: {
        uint8_t bytes[8] = {};
        uint32_t size = sizeof bytes;
        if (!ReadBinary(valName, size, bytes) || size != 8)
            return defInt;
        uint64_t value = 0;
        for (int i = 7; i >= 0; --i)
            value = (value << 8) | bytes[i];
        return int64_t(value);
    }
    case rdInteger: {
        uint8_t bytes[4] = {};
        uint32_t size = sizeof bytes;
        if (!ReadBinary(valName, size, bytes) || size != 4)
            return defInt;
        return int32_t(uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16)
            | (uint32_t(bytes[3]) << 24));
    }
    default:
        return defInt;
    }
}

bool TConfigStorage::WriteInt64(const QString& valName, int64_t value)
{
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = uint8_t(uint64_t(value) >> (8 * i));
    return WriteBinary(valName, sizeof bytes, bytes);
}

QString FormatStoredReal(double value) { return QString::number(value, 'g', 15); }

bool ParseStoredReal(QString text, double* value)
{
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok)
        *value = v;
    return ok;
}

// Exactly 16 characters are read as hexadecimal (the way a 64-bit value is written out in
// full); anything else as a decimal number, with "$" or "0x" marking hexadecimal.
bool ParseStoredInt64(const QString& text, int64_t* value)
{
    if (text.size() == 16) {
        bool ok = false;
        const uint64_t v = text.toULongLong(&ok, 16);
        if (ok)
            *value = int64_t(v);
        return ok;
    }
    return ParseStoredInteger(text, value);
}

bool ParseStoredInt32(const QString& text, int32_t* value)
{
    int64_t v;
    if (!ParseStoredInteger(text, &v) || v < INT32_MIN || v > INT32_MAX)
        return false;
    *value = int32_t(v);
    return true;
}

bool ParseStoredInteger(const QString& text, int64_t* value)
{
    QString t = text.trimmed();
    bool ok = false;
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t.remove(0, 1);
    }
    int base = 10;
    if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t.remove(0, 1);
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t.remove(0, 2);
    }
    if (t.isEmpty() || !t.at(0).isLetterOrNumber())
        return false;
    const uint64_t magnitude = t.toULongLong(&ok, base);
    if (!ok)
        return false;
    if (base == 10 && magnitude > (negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX)))
        return false;
    *value = negative ? int64_t(0 - magnitude) : int64_t(magnitude);
    return true;
}
