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

void ResultText(sqlite3_context* ctx, const QByteArray& utf8)
{
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// The texts of plain dates as the table shows them. A search makes one for every date of
// every record and a journal has few distinct dates, so each connection keeps them, in the
// locale of the program when the connection was opened.
struct TShownDates {
    QLocale Locale;
    QHash<int, QByteArray> Texts;
};

void DeleteShownDates(void* p) { delete static_cast<TShownDates*>(p); }

void DateTextFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    auto& shown = *static_cast<TShownDates*>(sqlite3_user_data(ctx));
    const auto* utf8 = sqlite3_value_text(argv[0]);
    const int key = PlainDateKey(utf8, sqlite3_value_bytes(argv[0]));
    if (key >= 0) {
        auto it = shown.Texts.constFind(key);
        if (it != shown.Texts.constEnd()) {
            // Kept texts are never dropped while the connection lives, so the database may
            // use them where they are.
            sqlite3_result_text(ctx, it->constData(), int(it->size()), SQLITE_STATIC);
            return;
        }
        const QDate date(key / 10000, key / 100 % 100, key % 100);
        const QByteArray text = date.isValid()
            ? shown.Locale.toString(date, QLocale::ShortFormat).toUtf8()
            : QByteArray(reinterpret_cast<const char*>(utf8), 10);
        if (shown.Texts.size() < 100000) // a bound for a damaged table full of odd dates
            shown.Texts.insert(key, text);
        ResultText(ctx, text);
        return;
    }
    const auto* s = static_cast<const char16_t*>(sqlite3_value_text16(argv[0]));
    const QString stored = QString::fromUtf16(s, sqlite3_value_bytes16(argv[0]) / 2);
    const QDateTime dt = ValueText::StoredDateTime(stored);
    ResultText(ctx,
               (dt.isValid() ? ValueText::DisplayDateTime(dt, ftDateTime, shown.Locale) : stored)
                   .toUtf8());
}

// A stored real as the database gives it as text ("%!.15g": fifteen digits, and ".0" when
// there is no point), made without the database's printf, which took a tenth of a search.
// The two differ only in ties at the fifteenth digit, which no measured value has.
void AppendRealText(double value, TFoldedText& out)
{
    char text[48];
    const auto end = std::to_chars(text, text + sizeof text, value + 0.0, // no "-0"
                                   std::chars_format::general, 15)
                         .ptr;
    char* exponent = std::find(text, end, 'e');
    out.Append(text, size_t(exponent - text));
    if (std::find(text, exponent, '.') == exponent)
        out.Append(".0", 2);
    out.Append(exponent, size_t(end - exponent));
}

// like over a record's values joined by blanks, null as empty: the search of the whole
// record. The joined text is made in a buffer kept between calls and folded in one pass,
// never handed to the database.
void JoinLikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc < 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    const TLikePattern* pattern = PatternOf(ctx, argv[0], QChar());
    if (!pattern)
        return;
    thread_local TFoldedText joined;
    joined.Clear();
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            joined.Append(' ');
        sqlite3_value* value = argv[i];
        switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            break;
        case SQLITE_INTEGER: {
            char digits[24];
            const auto end
                = std::to_chars(digits, digits + sizeof digits, sqlite3_value_int64(value)).ptr;
            joined.Append(digits, size_t(end - digits));
            break;
        }
        case SQLITE_FLOAT:
            if (const double real = sqlite3_value_double(value); std::isfinite(real)) {
                AppendRealText(real, joined);
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
    return sqlite3_create_function_v2(db, "like", 2, flags, nullptr, LikeFunction, nullptr,
                                      nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "like", 3, flags, nullptr, LikeFunction, nullptr,
                                      nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "vsk_joinlike", -1, flags, nullptr, JoinLikeFunction,
                                      nullptr, nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "vsk_datetext", 1, SQLITE_UTF8, new TShownDates,
                                      DateTextFunction, nullptr, nullptr, DeleteShownDates)
        == SQLITE_OK;
}
