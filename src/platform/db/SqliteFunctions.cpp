#include "platform/db/SqliteFunctions.h"

#include "platform/db/FieldType.h"
#include "platform/db/ValueText.h"

#include <QString>
#include <sqlite3.h>

namespace {

void FoldInto(const char16_t* s, int n, QString& out)
{
    out.resize(n);
    QChar* d = out.data();
    for (int i = 0; i < n; ++i) {
        char16_t c = s[i];
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z')
                c = char16_t(c + 32);
        } else {
            c = QChar::toCaseFolded(c);
            if (c == u'ё')
                c = u'е';
        }
        d[i] = QChar(c);
    }
}

// Matches a folded text against a folded pattern with "%" for any run and "_" for any one
// character; esc, when not null, makes the next pattern character literal.
bool Match(const QChar* p, const QChar* pe, const QChar* s, const QChar* se, QChar esc)
{
    while (p < pe) {
        const QChar c = *p;
        if (c == u'%') {
            while (p < pe && (*p == u'%' || *p == u'_')) {
                if (*p == u'_') {
                    if (s == se)
                        return false;
                    ++s;
                }
                ++p;
            }
            if (p == pe)
                return true;
            // A plain run up to the next wildcard can be searched for directly, which keeps
            // the common "%text%" pattern linear in the text.
            const QChar* runEnd = p;
            while (runEnd < pe && *runEnd != u'%' && *runEnd != u'_' && *runEnd != esc)
                ++runEnd;
            const qsizetype runLen = runEnd - p;
            if (runLen > 0) {
                const QStringView run(p, runLen);
                for (;;) {
                    const qsizetype at = QStringView(s, se - s).indexOf(run);
                    if (at < 0)
                        return false;
                    if (Match(runEnd, pe, s + at + runLen, se, esc))
                        return true;
                    s += at + 1;
                }
            }
            for (; s <= se; ++s)
                if (Match(p, pe, s, se, esc))
                    return true;
            return false;
        }
        if (s == se)
            return false;
        if (c == u'_') {
            ++p, ++s;
            continue;
        }
        QChar lit = c;
        if (!esc.isNull() && c == esc) {
            if (++p == pe)
                return false;
            lit = *p;
        }
        if (lit != *s)
            return false;
        ++p, ++s;
    }
    return s == se;
}

struct TFolded {
    QString Text;
};

void DeleteFolded(void* p) { delete static_cast<TFolded*>(p); }

void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return; // null result, as the database's own like gives
    QChar esc;
    if (argc == 3) {
        const auto* e = static_cast<const char16_t*>(sqlite3_value_text16(argv[2]));
        const int en = sqlite3_value_bytes16(argv[2]) / 2;
        if (en != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        esc = QChar(QChar::toCaseFolded(e[0]));
    }
    // The pattern is the same for every row of a statement: fold it once.
    auto* pattern = static_cast<TFolded*>(sqlite3_get_auxdata(ctx, 0));
    if (!pattern) {
        pattern = new TFolded;
        const auto* p = static_cast<const char16_t*>(sqlite3_value_text16(argv[0]));
        FoldInto(p, sqlite3_value_bytes16(argv[0]) / 2, pattern->Text);
        sqlite3_set_auxdata(ctx, 0, pattern, DeleteFolded);
        pattern = static_cast<TFolded*>(sqlite3_get_auxdata(ctx, 0));
        if (!pattern) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
    }
    thread_local QString text;
    const auto* s = static_cast<const char16_t*>(sqlite3_value_text16(argv[1]));
    FoldInto(s, sqlite3_value_bytes16(argv[1]) / 2, text);
    const QString& pt = pattern->Text;
    sqlite3_result_int(ctx, Match(pt.constData(), pt.constData() + pt.size(), text.constData(),
                                  text.constData() + text.size(), esc));
}

void DateTextFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    const auto* s = static_cast<const char16_t*>(sqlite3_value_text16(argv[0]));
    const QString stored = QString::fromUtf16(s, sqlite3_value_bytes16(argv[0]) / 2);
    const QDateTime dt = ValueText::StoredDateTime(stored);
    const QString shown
        = dt.isValid() ? ValueText::DisplayDateTime(dt, ftDateTime, QLocale()) : stored;
    sqlite3_result_text16(ctx, shown.utf16(), int(shown.size() * 2), SQLITE_TRANSIENT);
}

} // namespace

QString FoldForSearch(const QString& text)
{
    QString out;
    FoldInto(reinterpret_cast<const char16_t*>(text.utf16()), int(text.size()), out);
    return out;
}

bool RegisterJournalFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF16 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(db, "like", 2, flags, nullptr, LikeFunction, nullptr,
                                      nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "like", 3, flags, nullptr, LikeFunction, nullptr,
                                      nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "vsk_datetext", 1, SQLITE_UTF16, nullptr,
                                      DateTextFunction, nullptr, nullptr, nullptr)
        == SQLITE_OK;
}
