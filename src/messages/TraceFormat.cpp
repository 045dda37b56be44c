#include "messages/TraceFormat.h"

namespace {

bool IsIntegral(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool IsNumeric(const QVariant& v)
{
    return IsIntegral(v) || v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

QString Pad(const QString& text, int width, bool left)
{
    if (text.size() >= width)
        return text;
    const QString fill(width - text.size(), QLatin1Char(' '));
    return left ? text + fill : fill + text;
}

QString FormatOne(QChar kind, const QVariant& arg, int precision)
{
    switch (kind.unicode()) {
    case 'd':
        if (IsNumeric(arg))
            return QString::number(arg.toLongLong());
        break;
    case 'u':
        if (IsNumeric(arg))
            return QString::number(arg.toULongLong());
        break;
    case 'x':
    case 'X':
        if (IsNumeric(arg)) {
            QString text = QString::number(arg.toULongLong(), 16);
            return kind == QLatin1Char('X') ? text.toUpper() : text;
        }
        break;
    case 'f':
    case 'e':
    case 'g':
        if (IsNumeric(arg))
            return QString::number(arg.toDouble(), char(kind.unicode()),
                precision >= 0 ? precision : (kind == QLatin1Char('g') ? 15 : 2));
        break;
    default:
        break;
    }
    QString text = arg.toString();
    if (kind == QLatin1Char('s') && precision >= 0)
        text.truncate(precision);
    return text;
}

}

QString FormatTraceText(const QString& format, const QVariantList& args)
{
    static const QString kinds = QStringLiteral("sduxXfeg");
    QString out;
    out.reserve(format.size() + 16);
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%')) {
            out += c;
            continue;
        }
        if (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        bool left = false;
        if (j < format.size() && format.at(j) == QLatin1Char('-')) {
            left = true;
            ++j;
        }
        int width = 0;
        while (j < format.size() && format.at(j).isDigit() && width < 1000)
            width = width * 10 + format.at(j++).digitValue();
        int precision = -1;
        if (j < format.size() && format.at(j) == QLatin1Char('.')) {
            precision = 0;
            ++j;
            while (j < format.size() && format.at(j).isDigit() && precision < 1000)
                precision = precision * 10 + format.at(j++).digitValue();
        }
        if (j >= format.size() || !kinds.contains(format.at(j)) || next >= args.size()) {
            out += c;
            continue;
        }
        out += Pad(FormatOne(format.at(j), args.at(next++), precision), width, left);
        i = j;
    }
    return out;
}
