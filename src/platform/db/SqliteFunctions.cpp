#include "platform/db/SqliteFunctions.h"

#include "platform/db/FieldType.h"
#include "platform/db/SearchFold.h"
#include "platform/db/ValueText.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <sqlite3.h>

namespace {

void DeletePattern(void* p) { delete static_cast<TLikePattern*>(p); }

// The pattern is the same for every row of a statement: it is folded once and kept with
// the statement. Null after reporting the error.
const TLikePattern* PatternOf(sqlite3_context* ctx, sqlite3_value* value, QChar escape)
{
    if (auto* pattern = static_cast<TLikePattern*>(sqlite3_get_auxdata(ctx, 0)))
        return pattern;
    const auto* p = static_cast<const char16_t*>(sqlite3_value_text16(value));
    sqlite3_set_auxdata(ctx, 0, new TLikePattern(p, sqlite3_value_bytes16(value) / 2, escape),
                        DeletePattern);
    auto* pattern = static_cast<TLikePattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!pattern)
        sqlite3_result_error_nomem(ctx);
    return pattern;
}

void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return; // null result, as the database's own like gives
    QChar escape;
    if (argc == 3) {
        const auto* e = static_cast<const char16_t*>(sqlite3_value_text16(argv[2]));
        if (sqlite3_value_bytes16(argv[2]) != 2) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = QChar(e[0]);
    }
    if (const TLikePattern* pattern = PatternOf(ctx, argv[0], escape))
        sqlite3_result_int(ctx, pattern->Matches(sqlite3_value_text(argv[1]),
                                                 size_t(sqlite3_value_bytes(argv[1]))));
}

// A plain stored date "yyyy-mm-dd" as the number yyyymmdd, or -1 for anything else.
int PlainDateKey(const unsigned char* s, int n)
{
    if (n != 10 || s[4] != '-' || s[7] != '-')
        return -1;
    int key = 0;
    for (int i : { 0, 1, 2, 3, 5, 6, 8, 9 }) {
        if (s[i] < '0' || s[i] > '9')
            return -1;
        key = key * 10 + (s[i] - '0');
    }
    return key;
}

// The texts of dates, and the signs of numbers, as the table shows them, in the program's
// locale of the time the connection was opened. A search makes a text for every date of
// every record and a journal has few distinct dates, so each connection keeps those of
// plain dates.
class TShownValues {
public:
    TShownValues()
        : fDecimalPoint(fLocale.decimalPoint().toUtf8())
        , fMinus(fLocale.negativeSign().toUtf8())
    {
    }

    const QByteArray& DecimalPoint() const { return fDecimalPoint; }
    const QByteArray& Minus() const { return fMinus; }

    // The text of a stored date that is not null. The view lives as long as the connection
    // when kept is set, and until the next call otherwise.
    QByteArrayView Text(sqlite3_value* value, bool& kept)
    {
        const auto* utf8 = sqlite3_value_text(value);
        const int n = sqlite3_value_bytes(value);
        const int key = PlainDateKey(utf8, n);
        if (key < 0) {
            const QString stored = QString::fromUtf8(reinterpret_cast<const char*>(utf8), n);
            const QDateTime dt = ValueText::StoredDateTime(stored);
            fMade = (dt.isValid() ? ValueText::DisplayDateTime(dt, ftDateTime, fLocale) : stored)
                        .toUtf8();
            kept = false;
            return fMade;
        }
        auto it = fTexts.constFind(key);
        if (it == fTexts.constEnd()) {
            const QDate date(key / 10000, key / 100 % 100, key % 100);
            QByteArray text = date.isValid()
                ? fLocale.toString(date, QLocale::ShortFormat).toUtf8()
                : QByteArray(reinterpret_cast<const char*>(utf8), 10);
            if (fTexts.size() >= 100000) { // a bound for a damaged table full of odd dates
                fMade = std::move(text);
                kept = false;
                return fMade;
            }
            // A kept text's bytes stay where they are when the table grows.
            it = fTexts.insert(key, std::move(text));
        }
        kept = true;
        return *it;
    }

private:
    QLocale fLocale;
    QByteArray fDecimalPoint;
    QByteArray fMinus;
    QHash<int, QByteArray> fTexts;
    QByteArray fMade;
};

void DeleteShownValues(void* p) { delete static_cast<TShownValues*>(p); }

void DateTextFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    bool kept = false;
    const QByteArrayView text
        = static_cast<TShownValues*>(sqlite3_user_data(ctx))->Text(argv[0], kept);
    sqlite3_result_text(ctx, text.data(), int(text.size()), kept ? SQLITE_STATIC : SQLITE_TRANSIENT);
}

// A stored real as the table shows it without a display format, but with the fewest digits
// that read back as the value: the locale's signs, and an exponent only beyond the range
// that the table writes without one. It is made here rather than by the locale, which would
// make a string for every real of every record.
void AppendShownReal(double value, const TShownValues& shown, TFoldedText& out)
{
    char text[48];
    const char* end = std::to_chars(text, text + sizeof text, value + 0.0, // no "-0"
                                    std::chars_format::scientific)
                          .ptr;
    const char* p = text;
    if (*p == '-') {
        out.Append(shown.Minus().data(), size_t(shown.Minus().size()));
        ++p;
    }
    const char* const e = std::find(p, end, 'e');
    char digits[24];
    size_t count = 0;
    for (const char* d = p; d < e; ++d)
        if (*d != '.')
            digits[count++] = *d;
    int exponent = 0;
    std::from_chars(e + 2, end, exponent);
    if (e[1] == '-')
        exponent = -exponent;
    const QByteArray& point = shown.DecimalPoint();
    if (exponent < -4 || exponent >= 15) {
        out.Append(digits[0]);
        if (count > 1) {
            out.Append(point.data(), size_t(point.size()));
            out.Append(digits + 1, count - 1);
        }
        out.Append(e, size_t(end - e));
    } else if (exponent < 0) {
        out.Append('0');
        out.Append(point.data(), size_t(point.size()));
        out.Append("0000", size_t(-exponent - 1));
        out.Append(digits, count);
    } else if (count <= size_t(exponent) + 1) {
        out.Append(digits, count);
        out.Append("000000000000000", size_t(exponent) + 1 - count);
    } else {
        out.Append(digits, size_t(exponent) + 1);
        out.Append(point.data(), size_t(point.size()));
        out.Append(digits + exponent + 1, count - size_t(exponent) - 1);
    }
}

// like over a record's values joined by blanks, null as empty: the search of the whole
// record. The second argument tells, one character a value, which values are dates ('d')
// to be joined as the table shows them; reals are joined as the table shows them too. The joined text is made in a buffer kept between
// calls and never handed to the database; dates are shown here rather than by a call of
// vsk_datetext each, which took a quarter of a search.
void JoinLikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    const TLikePattern* pattern = PatternOf(ctx, argv[0], QChar());
    if (!pattern)
        return;
    const auto* kinds = sqlite3_value_text(argv[1]);
    const int kindCount = sqlite3_value_bytes(argv[1]);
    auto& shownValues = *static_cast<TShownValues*>(sqlite3_user_data(ctx));
    thread_local TFoldedText joined;
    joined.Clear();
    for (int i = 2; i < argc; ++i) {
        if (i > 2)
            joined.Append(' ');
        sqlite3_value* value = argv[i];
        const int type = sqlite3_value_type(value);
        if (type == SQLITE_NULL)
            continue;
        if (i - 2 < kindCount && kinds[i - 2] == 'd') {
            bool kept;
            const QByteArrayView text = shownValues.Text(value, kept);
            joined.Append(text.data(), size_t(text.size()));
            continue;
        }
        switch (type) {
        case SQLITE_INTEGER: {
            char digits[24];
            const auto end
                = std::to_chars(digits, digits + sizeof digits, sqlite3_value_int64(value)).ptr;
            joined.Append(digits, size_t(end - digits));
            break;
        }
        case SQLITE_FLOAT:
            if (const double real = sqlite3_value_double(value); std::isfinite(real)) {
                AppendShownReal(real, shownValues, joined);
                break;
            }
            [[fallthrough]];
        default:
            joined.Append(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                          size_t(sqlite3_value_bytes(value)));
        }
    }
    sqlite3_result_int(ctx, pattern->Matches(reinterpret_cast<const unsigned char*>(joined.Data()),
                                             joined.Size()));
}

} // namespace

bool RegisterJournalFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    // Both date functions use one store of texts, which vsk_datetext owns: it is made first,
    // so that the store is deleted by the database whatever fails after it.
    auto* shownValues = new TShownValues;
    return sqlite3_create_function_v2(db, "vsk_datetext", 1, SQLITE_UTF8, shownValues,
                                      DateTextFunction, nullptr, nullptr, DeleteShownValues)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "vsk_joinlike", -1, SQLITE_UTF8, shownValues,
                                      JoinLikeFunction, nullptr, nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "like", 2, flags, nullptr, LikeFunction, nullptr,
                                      nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "like", 3, flags, nullptr, LikeFunction, nullptr,
                                      nullptr, nullptr)
        == SQLITE_OK;
}
