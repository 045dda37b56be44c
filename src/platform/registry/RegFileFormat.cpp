#include "platform/registry/RegFileFormat.h"

#include "platform/registry/RegApi.h"

#include <QStringDecoder>

namespace {

const QString kHeader = QStringLiteral("Windows Registry Editor Version 5.00");

QString Quote(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}

QByteArray Utf16Bytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (const QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    bytes += '\0';
    bytes += '\0';
    return bytes;
}

// A string value is written in quotes only when reading the quotes back gives the very
// same bytes: one terminating zero, no control characters, well-formed UTF-16.
bool AsQuotedText(const QByteArray& data, QString* text)
{
    if (data.size() < 2 || data.size() % 2 != 0)
        return false;
    QString s;
    for (qsizetype i = 0; i + 1 < data.size() - 2; i += 2)
        s += QChar(char16_t(uchar(data[i]) | (uchar(data[i + 1]) << 8)));
    if (data.right(2) != QByteArray(2, '\0'))
        return false;
    for (const QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    if (QString::fromUtf8(s.toUtf8()) != s || s.toUtf8().contains("\xEF\xBF\xBD"))
        return false;
    *text = s;
    return true;
}

void AppendHex(QString& out, const QString& lead, const QByteArray& data)
{
    QString line = lead;
    for (qsizetype i = 0; i < data.size(); ++i) {
        QString token = QStringLiteral("%1").arg(uchar(data[i]), 2, 16, QLatin1Char('0'));
        if (i + 1 < data.size())
            token += QLatin1Char(',');
        if (line.size() + token.size() > 78 && i > 0) {
            out += line + QStringLiteral("\\\n");
            line = QStringLiteral("  ");
        }
        line += token;
    }
    out += line + QLatin1Char('\n');
}

void AppendValue(QString& out, const TRegValue& value)
{
    const QString name = value.Name.isEmpty() ? QStringLiteral("@") : Quote(value.Name);
    QString text;
    if (value.Type == REG_SZ && AsQuotedText(value.Data, &text)) {
        out += name + QLatin1Char('=') + Quote(text) + QLatin1Char('\n');
    } else if (value.Type == REG_DWORD && value.Data.size() == 4) {
        const uint32_t v = uchar(value.Data[0]) | (uchar(value.Data[1]) << 8)
            | (uchar(value.Data[2]) << 16) | (uint32_t(uchar(value.Data[3])) << 24);
        out += name + QStringLiteral("=dword:%1\n").arg(v, 8, 16, QLatin1Char('0'));
    } else if (value.Type == REG_BINARY) {
        AppendHex(out, name + QStringLiteral("=hex:"), value.Data);
    } else {
        AppendHex(out, name + QStringLiteral("=hex(%1):").arg(value.Type, 0, 16), value.Data);
    }
}

void AppendKey(QString& out, const QString& path, const TRegKeyNode& key, bool isRoot)
{
    if (!isRoot || !key.Values().empty()) {
        out += QLatin1Char('[') + path + QStringLiteral("]\n");
        for (const TRegValue& value : key.Values())
            AppendValue(out, value);
        out += QLatin1Char('\n');
    }
    for (size_t i = 0; i < key.SubKeyCount(); ++i) {
        const TRegKeyNode& sub = key.SubKeyAt(i);
        AppendKey(out, path + QLatin1Char('\\') + sub.Name(), sub, false);
    }
}

class TRegParser {
public:
    TRegParser(const QStringList& lines, const QString& rootName)
        : fLines(lines)
        , fRootName(rootName)
    {
    }

    bool Parse(TRegKeyNode& root, QString* error);

private:
    bool Fail(const QString& reason)
    {
        fError = QStringLiteral("строка %1: %2").arg(fLine + 1).arg(reason);
        return false;
    }
    bool ParseSection(const QString& line, TRegKeyNode& root);
    bool ParseValue(const QString& line);
    bool ParseQuoted(const QString& line, qsizetype& pos, QString& text);
    bool ParseHex(QString data, QByteArray& bytes);

    const QStringList& fLines;
    const QString fRootName;
    qsizetype fLine = 0;
    TRegKeyNode* fKey = nullptr;
    bool fSkipSection = false;
    QString fError;
};

bool TRegParser::Parse(TRegKeyNode& root, QString* error)
{
    bool seenHeader = false;
    for (fLine = 0; fLine < fLines.size(); ++fLine) {
        const QString line = fLines[fLine].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        bool ok;
        if (!seenHeader) {
            seenHeader = true;
            ok = line == kHeader || Fail(QStringLiteral("нет заголовка «%1»").arg(kHeader));
        } else if (line.startsWith(QLatin1Char('['))) {
            ok = ParseSection(line, root);
        } else {
            ok = ParseValue(line);
        }
        if (!ok) {
            *error = fError;
            return false;
        }
    }
    if (!seenHeader) {
        *error = QStringLiteral("файл пуст");
        return false;
    }
    return true;
}

bool TRegParser::ParseSection(const QString& line, TRegKeyNode& root)
{
    if (!line.endsWith(QLatin1Char(']')))
        return Fail(QStringLiteral("незакрытая скобка раздела"));
    QString path = line.mid(1, line.size() - 2);
    const bool remove = path.startsWith(QLatin1Char('-'));
    if (remove)
        path.remove(0, 1);
    if (path.compare(fRootName, Qt::CaseInsensitive) != 0
        && !path.startsWith(fRootName + QLatin1Char('\\'), Qt::CaseInsensitive))
        return Fail(QStringLiteral("раздел вне %1").arg(fRootName));
    const QStringList parts = path.mid(fRootName.size()).split(QLatin1Char('\\'));
    QStringList keyPath = parts.mid(1);
    if (keyPath.size() > kMaxRegKeyDepth)
        return Fail(QStringLiteral("ключ глубже %1 уровней").arg(kMaxRegKeyDepth));
    for (const QString& part : keyPath) {
        if (part.isEmpty())
            return Fail(QStringLiteral("пустое имя ключа"));
        if (part.size() > kMaxRegKeyNameLength)
            return Fail(QStringLiteral("имя ключа длиннее %1 знаков").arg(kMaxRegKeyNameLength));
    }
    fSkipSection = remove;
    if (remove) {
        if (keyPath.isEmpty())
            return Fail(QStringLiteral("корень нельзя удалить"));
        const QString last = keyPath.takeLast();
        if (TRegKeyNode* parent = root.FindPath(keyPath))
            parent->RemoveSubKey(last);
        fKey = nullptr;
        return true;
    }
    fKey = &root.GetPath(keyPath);
    return true;
}

bool TRegParser::ParseQuoted(const QString& line, qsizetype& pos, QString& text)
{
    ++pos;
    while (pos < line.size()) {
        const QChar c = line[pos++];
        if (c == QLatin1Char('"'))
            return true;
        if (c == QLatin1Char('\\') && pos < line.size()
            && (line[pos] == QLatin1Char('\\') || line[pos] == QLatin1Char('"')))
            text += line[pos++];
        else
            text += c;
    }
    return Fail(QStringLiteral("незакрытая кавычка"));
}

// Hexadecimal numbers are written with a fixed count of digits (two per byte, eight per
// dword), so a shorter one is what a file cut in the middle of a number looks like.
bool HexNumber(const QString& digits, qsizetype minDigits, qsizetype maxDigits, uint& value)
{
    if (digits.size() < minDigits || digits.size() > maxDigits)
        return false;
    value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        uint digit;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            return false;
        value = value * 16 + digit;
    }
    return true;
}

// A long value is continued on the next line, never on an empty one: a backslash with
// nothing after it means the file was cut there.
bool TRegParser::ParseHex(QString data, QByteArray& bytes)
{
    while (data.endsWith(QLatin1Char('\\'))) {
        data.chop(1);
        if (++fLine >= fLines.size() || fLines[fLine].trimmed().isEmpty())
            return Fail(QStringLiteral("файл обрывается посреди значения"));
        data += fLines[fLine].trimmed();
    }
    if (data.trimmed().isEmpty())
        return true;
    for (const QString& token : data.split(QLatin1Char(','))) {
        uint v = 0;
        if (!HexNumber(token.trimmed(), 2, 2, v))
            return Fail(QStringLiteral("байт «%1» не из двух шестнадцатеричных цифр").arg(token));
        bytes += char(v);
    }
    return true;
}

bool TRegParser::ParseValue(const QString& line)
{
    if (fSkipSection)
        return true;
    if (!fKey)
        return Fail(QStringLiteral("значение вне раздела"));
    qsizetype pos = 0;
    QString name;
    if (line.startsWith(QLatin1Char('@')))
        pos = 1;
    else if (!line.startsWith(QLatin1Char('"')) || !ParseQuoted(line, pos, name))
        return fError.isEmpty() ? Fail(QStringLiteral("неверное имя значения")) : false;
    while (pos < line.size() && line[pos].isSpace())
        ++pos;
    if (pos >= line.size() || line[pos] != QLatin1Char('='))
        return Fail(QStringLiteral("нет знака «=»"));
    const QString data = line.mid(pos + 1).trimmed();

    if (data == QLatin1String("-")) {
        fKey->RemoveValue(name);
        return true;
    }
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype at = 0;
        QString text;
        if (!ParseQuoted(data, at, text))
            return false;
        if (at != data.size())
            return Fail(QStringLiteral("лишний текст после строки"));
        fKey->SetValue(name, REG_SZ, Utf16Bytes(text));
        return true;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6);
        uint v = 0;
        if (!HexNumber(digits, 8, 8, v))
            return Fail(
                QStringLiteral("число «%1» не из восьми шестнадцатеричных цифр").arg(digits));
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((v >> (8 * i)) & 0xFF);
        fKey->SetValue(name, REG_DWORD, bytes);
        return true;
    }
    uint32_t type = REG_BINARY;
    QString rest;
    if (data.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
        rest = data.mid(4);
    } else if (data.startsWith(QLatin1String("hex("), Qt::CaseInsensitive)) {
        const qsizetype close = data.indexOf(QLatin1String("):"));
        if (close < 0 || !HexNumber(data.mid(4, close - 4), 1, 8, type))
            return Fail(QStringLiteral("неверный тип значения"));
        rest = data.mid(close + 2);
    } else {
        return Fail(QStringLiteral("неизвестный вид данных"));
    }
    QByteArray bytes;
    if (!ParseHex(rest, bytes))
        return false;
    fKey->SetValue(name, type, bytes);
    return true;
}

}

QString OversizedRegFileReason(qint64 size)
{
    return QStringLiteral("размер %1 байт превышает предел %2 МБ")
        .arg(size)
        .arg(kMaxRegFileSize / (1024 * 1024));
}

QByteArray FormatRegFile(const QString& rootName, const TRegKeyNode& root)
{
    QString out = kHeader + QStringLiteral("\n\n");
    AppendKey(out, rootName, root, true);
    return out.toUtf8();
}

bool ParseRegFile(
    const QByteArray& bytes, const QString& rootName, TRegKeyNode& root, QString* error)
{
    if (bytes.size() > kMaxRegFileSize) {
        *error = OversizedRegFileReason(bytes.size());
        return false;
    }
    QString text;
    if (bytes.startsWith("\xFF\xFE")) {
        if (bytes.size() % 2 != 0) {
            *error = QStringLiteral("обрезанный текст UTF-16");
            return false;
        }
        text = QString::fromUtf16(
            reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = decoder(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
        if (decoder.hasError()) {
            *error = QStringLiteral("текст не в UTF-8");
            return false;
        }
    }
    if (text.contains(QChar(0))) {
        *error = QStringLiteral("двоичные данные в тексте");
        return false;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    TRegKeyNode parsed;
    TRegParser parser(lines, rootName);
    if (!parser.Parse(parsed, error))
        return false;
    root = std::move(parsed);
    return true;
}
