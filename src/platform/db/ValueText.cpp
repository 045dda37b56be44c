#include "platform/db/ValueText.h"

#include <QRegularExpression>
#include <cmath>

namespace ValueText {

namespace {

    QLocale Plain(const QLocale& locale)
    {
        QLocale l = locale;
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l;
    }

    QString GroupDigits(const QString& digits, const QLocale& locale)
    {
        QString out;
        const int n = digits.size();
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                out += locale.groupSeparator();
            out += digits[i];
        }
        return out;
    }

} // namespace

QString FormatPicture(double value, const QString& picture, const QLocale& locale)
{
    if (!std::isfinite(value))
        return Plain(locale).toString(value);
    int first = -1, last = -1;
    for (int i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == u'0' || c == u'#' || c == u'.' || c == u',') {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return picture;
    const QString prefix = picture.left(first);
    const QString suffix = picture.mid(last + 1);
    const QString body = picture.mid(first, last - first + 1);
    const int point = body.indexOf(u'.');
    const QString intPart = point < 0 ? body : body.left(point);
    const QString fracPart = point < 0 ? QString() : body.mid(point + 1);
    const int minInt = intPart.count(u'0');
    const int fixedFrac = fracPart.count(u'0');
    const int maxFrac = fixedFrac + fracPart.count(u'#');
    const bool grouped = intPart.contains(u',');

    QString text = QString::number(std::fabs(value), 'f', maxFrac);
    QString intDigits = text.section(u'.', 0, 0);
    QString fracDigits = maxFrac > 0 ? text.section(u'.', 1, 1) : QString();
    while (fracDigits.size() > fixedFrac && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);
    if (intDigits == u"0" && minInt == 0)
        intDigits.clear();
    while (intDigits.size() < minInt)
        intDigits.prepend(u'0');
    const bool negative = value < 0 && (intDigits.count(u'0') != intDigits.size()
                                        || fracDigits.count(u'0') != fracDigits.size());
    QString out = grouped ? GroupDigits(intDigits, locale) : intDigits;
    if (!fracDigits.isEmpty())
        out += locale.decimalPoint() + fracDigits;
    if (out.isEmpty())
        out = QStringLiteral("0");
    return prefix + (negative ? locale.negativeSign() : QString()) + out + suffix;
}

namespace {

    // Reads "yyyy-MM-dd", "yyyy-MM-dd HH:mm[:ss[.zzz]]" or with a "T", the forms the embedded
    // database keeps, without the locale and time-zone machinery of a general parser: the
    // table and the search show thousands of dates a second.
    QDateTime ParseIsoDateTime(QStringView t)
    {
        auto digits = [&](int from, int count, int* out) {
            if (from + count > t.size())
                return false;
            int v = 0;
            for (int i = from; i < from + count; ++i) {
                const char16_t c = t[i].unicode();
                if (c < u'0' || c > u'9')
                    return false;
                v = v * 10 + (c - u'0');
            }
            *out = v;
            return true;
        };
        int y, mo, d, h = 0, mi = 0, sec = 0, ms = 0;
        if (t.size() < 10 || t[4] != u'-' || t[7] != u'-' || !digits(0, 4, &y)
            || !digits(5, 2, &mo) || !digits(8, 2, &d))
            return {};
        if (t.size() > 10) {
            if ((t[10] != u' ' && t[10] != u'T') || t.size() < 16 || t[13] != u':'
                || !digits(11, 2, &h) || !digits(14, 2, &mi))
                return {};
            if (t.size() > 16) {
                if (t[16] != u':' || !digits(17, 2, &sec))
                    return {};
                if (t.size() > 19) {
                    if (t[19] != u'.' || !digits(20, int(std::min<qsizetype>(3, t.size() - 20)), &ms))
                        return {};
                    for (qsizetype i = t.size() - 20; i < 3; ++i)
                        ms *= 10;
                    if (t.size() > 23)
                        return {};
                }
            }
        }
        const QDate date(y, mo, d);
        const QTime time(h, mi, sec, ms);
        if (!date.isValid() || !time.isValid())
            return {};
        // Kept in UTC so that no time-zone rules are consulted; only the date and the time of
        // day are ever read back.
        return QDateTime(date, time, Qt::UTC);
    }

} // namespace

QDateTime StoredDateTime(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QDate:
        return QDateTime(value.toDate(), QTime(0, 0), Qt::UTC);
    case QMetaType::QTime:
        return QDateTime(QDate(1899, 12, 30), value.toTime(), Qt::UTC);
    default:
        break;
    }
    return ParseIsoDateTime(QStringView(value.toString()).trimmed());
}

QString DisplayDateTime(const QDateTime& dt, TFieldType type, const QLocale& locale)
{
    const QTime t = dt.time();
    const QString time = t.second() != 0 || t.msec() != 0 ? locale.toString(t, u"HH:mm:ss")
                                                          : locale.toString(t, u"HH:mm");
    if (type == ftTime)
        return time;
    const QString date = locale.toString(dt.date(), QLocale::ShortFormat);
    if (t == QTime(0, 0))
        return date;
    return date + u' ' + time;
}

QString Display(const QVariant& value, TFieldType type, const QString& displayFormat,
                const QLocale& locale)
{
    if (value.isNull() || !value.isValid())
        return QString();
    const QLocale plain = Plain(locale);
    switch (type) {
    case ftInteger:
        if (!displayFormat.isEmpty())
            return FormatPicture(value.toDouble(), displayFormat, locale);
        return plain.toString(value.toLongLong());
    case ftFloat:
    case ftBCD: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok)
            return value.toString();
        if (!displayFormat.isEmpty())
            return FormatPicture(d, displayFormat, locale);
        return plain.toString(d, 'g', 15);
    }
    case ftCurrency:
        return FormatPicture(value.toDouble(),
                             displayFormat.isEmpty() ? QStringLiteral("0.00") : displayFormat,
                             locale);
    case ftBoolean:
        return value.toBool() ? QStringLiteral("Да") : QStringLiteral("Нет");
    case ftDate:
    case ftDateTime:
    case ftTime: {
        const QDateTime dt = StoredDateTime(value);
        return dt.isValid() ? DisplayDateTime(dt, type, locale) : value.toString();
    }
    case ftBlob:
    case ftGraphic:
        return QStringLiteral("(двоичные данные)");
    default:
        return value.toString();
    }
}

double ParseNumber(const QString& text, const QLocale& locale, bool* ok)
{
    QString t = text.trimmed();
    t.remove(u' ');
    t.remove(QChar(0x00A0));
    t.remove(QChar(0x202F));
    bool good = false;
    double d = locale.toDouble(t, &good);
    if (!good) {
        QString c = t;
        c.replace(u',', u'.');
        d = QLocale::c().toDouble(c, &good);
    }
    if (good && !std::isfinite(d))
        good = false;
    if (ok)
        *ok = good;
    return good ? d : 0.0;
}

namespace {

    // The order of day, month and year in the locale's short date, e.g. "dmy" or "mdy".
    QString DateOrder(const QLocale& locale)
    {
        const QString f = locale.dateFormat(QLocale::ShortFormat);
        QString order;
        for (QChar c : f) {
            const QChar k = c == u'd' ? u'd' : c == u'M' ? u'm' : c == u'y' ? u'y' : QChar();
            if (!k.isNull() && !order.contains(k))
                order += k;
        }
        return order.size() == 3 ? order : QStringLiteral("dmy");
    }

} // namespace

QDateTime ParseDateTime(const QString& text, const QLocale& locale, bool* ok)
{
    static const QRegularExpression local(
        QStringLiteral(R"(^\s*(\d{1,4})[./-](\d{1,2})[./-](\d{1,4})(?:[\sT]+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    if (ok)
        *ok = false;
    const auto m = local.match(text);
    if (!m.hasMatch())
        return {};
    int parts[3] = { m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt() };
    int day, month, year;
    int yearDigits;
    if (m.captured(1).size() == 4) { // ISO order
        year = parts[0], month = parts[1], day = parts[2];
        yearDigits = 4;
    } else {
        const QString order = DateOrder(locale);
        int d = order.indexOf(u'd'), mo = order.indexOf(u'm'), y = order.indexOf(u'y');
        day = parts[d], month = parts[mo], year = parts[y];
        yearDigits = m.captured(y + 1).size();
        if (yearDigits != 2 && yearDigits != 4)
            return {};
    }
    if (yearDigits == 2)
        year += QDate::currentDate().year() / 100 * 100;
    const QDate date(year, month, day);
    if (!date.isValid())
        return {};
    QTime time(0, 0);
    if (m.hasCaptured(4)) {
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                     m.hasCaptured(6) ? m.captured(6).toInt() : 0);
        if (!time.isValid())
            return {};
    }
    if (ok)
        *ok = true;
    return QDateTime(date, time, Qt::UTC); // a wall-clock time: no DST gap may shift it
}

namespace {
    QVariant ParseValue(const QString& text, TFieldType type, const QLocale& locale,
                        QString* error);

    // Clearing a field stores null; blanks alone are a value only for texts.
    bool IsBlank(const QString& text, TFieldType type)
    {
        return type == ftString || type == ftMemo ? text.isEmpty() : text.trimmed().isEmpty();
    }
} // namespace

bool Parse(const QString& text, TFieldType type, const QLocale& locale, QVariant* out,
           QString* error)
{
    QVariant v = ParseValue(text, type, locale, error);
    if (!v.isValid() && !IsBlank(text, type))
        return false;
    *out = v;
    return true;
}

namespace {

QVariant ParseValue(const QString& text, TFieldType type, const QLocale& locale, QString* error)
{
    if (IsBlank(text, type))
        return QVariant();
    auto fail = [&](const QString& what) {
        if (error)
            *error = QStringLiteral("«%1» не является допустимым значением: %2.").arg(text, what);
        return QVariant();
    };
    bool ok = false;
    switch (type) {
    case ftInteger: {
        const double d = ParseNumber(text, locale, &ok);
        if (!ok)
            return fail(QStringLiteral("ожидается целое число"));
        if (d != std::floor(d) || std::fabs(d) > 9.007199254740992e15)
            return fail(QStringLiteral("ожидается целое число"));
        return QVariant(static_cast<qlonglong>(d));
    }
    case ftFloat:
    case ftCurrency:
    case ftBCD: {
        const double d = ParseNumber(text, locale, &ok);
        if (!ok)
            return fail(QStringLiteral("ожидается число"));
        return QVariant(d);
    }
    case ftBoolean: {
        const QString t = text.trimmed().toLower();
        if (t == u"да" || t == u"1" || t == u"true" || t == u"истина")
            return QVariant(true);
        if (t == u"нет" || t == u"0" || t == u"false" || t == u"ложь")
            return QVariant(false);
        return fail(QStringLiteral("ожидается «Да» или «Нет»"));
    }
    case ftDate:
    case ftDateTime: {
        const QDateTime dt = ParseDateTime(text, locale, &ok);
        if (!ok)
            return fail(QStringLiteral("ожидается дата в виде %1")
                            .arg(locale.dateFormat(QLocale::ShortFormat).toLower()));
        if (type == ftDate)
            return QVariant(dt.date());
        return QVariant(dt);
    }
    case ftTime: {
        QTime t = QTime::fromString(text.trimmed(), u"H:mm:ss");
        if (!t.isValid())
            t = QTime::fromString(text.trimmed(), u"H:mm");
        if (!t.isValid())
            return fail(QStringLiteral("ожидается время в виде чч:мм"));
        return QVariant(t);
    }
    case ftBlob:
    case ftGraphic:
        return fail(QStringLiteral("двоичные данные не вводятся с клавиатуры"));
    default:
        return QVariant(text);
    }
}

} // namespace

} // namespace ValueText
