#include "platform/db/SqliteFunctions.h"

#include "platform/db/FieldType.h"
#include "platform/db/ValueText.h"

#include <QHash>
#include <QString>
#include <cstring>
#include <string>
#include <vector>
#include <sqlite3.h>

namespace {

char16_t FoldChar(char16_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    if (c >= 0x0430 && c <= 0x044F) // Russian small letters, the common case
        return c;
    if (c >= 0x0410 && c <= 0x042F)
        return char16_t(c + 0x20);
    if (c == 0x0401 || c == 0x0451) // Ё and ё are searched as е
        return 0x0435;
    return char16_t(QChar::toCaseFolded(c));
}

void FoldInto(const char16_t* s, int n, QString& out)
{
    out.resize(n);
    QChar* d = out.data();
    for (int i = 0; i < n; ++i)
        d[i] = QChar(FoldChar(s[i]));
}

// Decodes and folds in one pass, so the database's UTF-8 text is never converted whole.
void FoldUtf8Into(const unsigned char* s, int n, QString& out)
{
    out.resize(n); // never more UTF-16 units than bytes
    QChar* d = out.data();
    int o = 0;
    for (int i = 0; i < n;) {
        const unsigned char b = s[i];
        char32_t cp;
        int len;
        if (b < 0x80) {
            cp = b, len = 1;
        } else if ((b & 0xE0) == 0xC0 && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            cp = char32_t(b & 0x1F) << 6 | (s[i + 1] & 0x3F), len = 2;
        } else if ((b & 0xF0) == 0xE0 && i + 2 < n && (s[i + 1] & 0xC0) == 0x80
                   && (s[i + 2] & 0xC0) == 0x80) {
            cp = char32_t(b & 0x0F) << 12 | char32_t(s[i + 1] & 0x3F) << 6 | (s[i + 2] & 0x3F);
            len = 3;
        } else if ((b & 0xF8) == 0xF0 && i + 3 < n && (s[i + 1] & 0xC0) == 0x80
                   && (s[i + 2] & 0xC0) == 0x80 && (s[i + 3] & 0xC0) == 0x80) {
            cp = char32_t(b & 0x07) << 18 | char32_t(s[i + 1] & 0x3F) << 12
                | char32_t(s[i + 2] & 0x3F) << 6 | (s[i + 3] & 0x3F);
            len = 4;
        } else {
            cp = 0xFFFD, len = 1;
        }
        i += len;
        if (cp > 0xFFFF) {
            const char32_t v = QChar::toCaseFolded(cp);
            d[o++] = QChar(QChar::highSurrogate(v));
            d[o++] = QChar(QChar::lowSurrogate(v));
        } else {
            d[o++] = QChar(FoldChar(char16_t(cp)));
        }
    }
    out.resize(o);
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

char* PutUtf8(char32_t cp, char* out)
{
    if (cp < 0x80) {
        *out++ = char(cp);
    } else if (cp < 0x800) {
        *out++ = char(0xC0 | (cp >> 6));
        *out++ = char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = char(0xE0 | (cp >> 12));
        *out++ = char(0x80 | ((cp >> 6) & 0x3F));
        *out++ = char(0x80 | (cp & 0x3F));
    } else {
        *out++ = char(0xF0 | (cp >> 18));
        *out++ = char(0x80 | ((cp >> 12) & 0x3F));
        *out++ = char(0x80 | ((cp >> 6) & 0x3F));
        *out++ = char(0x80 | (cp & 0x3F));
    }
    return out;
}

// The same folding as FoldUtf8Into, kept in UTF-8: ASCII and Russian letters, nearly all of
// a journal's text, are folded byte by byte without decoding. The buffer only grows, and
// the length of the folded text is returned.
size_t FoldUtf8ToUtf8(const unsigned char* s, int n, std::string& out)
{
    // A folded character takes at most three bytes per byte of the original: a byte that is
    // no UTF-8 becomes U+FFFD, three bytes long.
    const size_t need = size_t(n) * 3 + 4;
    if (out.size() < need)
        out.resize(need);
    char* o = out.data();
    thread_local QString other;
    for (int i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            *o++ = char(b >= 'A' && b <= 'Z' ? b + 32 : b);
            ++i;
            continue;
        }
        if ((b == 0xD0 || b == 0xD1) && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            const unsigned char c = s[i + 1];
            // The Russian alphabet directly in bytes: А-П are D0 90-9F, Р-Я D0 A0-AF, а-п
            // D0 B0-BF, р-я D1 80-8F; Ё (D0 81) and ё (D1 91) are searched as е (D0 B5).
            if (b == 0xD0 && c >= 0x90 && c <= 0x9F) {
                *o++ = char(0xD0), *o++ = char(c + 0x20);
            } else if (b == 0xD0 && c >= 0xA0 && c <= 0xAF) {
                *o++ = char(0xD1), *o++ = char(c - 0x20);
            } else if ((b == 0xD0 && c >= 0xB0) || (b == 0xD1 && c <= 0x8F)) {
                *o++ = char(b), *o++ = char(c);
            } else {
                const char32_t cp = char32_t(b & 0x1F) << 6 | (c & 0x3F);
                o = PutUtf8(FoldChar(char16_t(cp)), o);
            }
            i += 2;
            continue;
        }
        // Anything else takes the general path, one character at a time.
        int len = 1;
        if ((b & 0xE0) == 0xC0)
            len = 2;
        else if ((b & 0xF0) == 0xE0)
            len = 3;
        else if ((b & 0xF8) == 0xF0)
            len = 4;
        len = std::min(len, n - i);
        FoldUtf8Into(s + i, len, other);
        for (qsizetype k = 0; k < other.size(); ++k) {
            char32_t cp = other[k].unicode();
            if (QChar::isHighSurrogate(cp) && k + 1 < other.size()) {
                cp = QChar::surrogateToUcs4(other[k].unicode(), other[k + 1].unicode());
                ++k;
            }
            o = PutUtf8(cp, o);
        }
        i += len;
    }
    return size_t(o - out.data());
}

// A pattern made only of literal runs and "%" matches by byte search in UTF-8, since "%"
// needs no notion of characters; "_" and escapes take the general matcher.
bool MatchRuns(const std::vector<std::string>& runs, bool anchoredStart, bool anchoredEnd,
    const char* text, size_t length)
{
    const char* s = text;
    const char* se = s + length;
    for (size_t r = 0; r < runs.size(); ++r) {
        const std::string& run = runs[r];
        const bool first = r == 0;
        const bool last = r + 1 == runs.size();
        if (first && anchoredStart) {
            if (size_t(se - s) < run.size() || std::memcmp(s, run.data(), run.size()) != 0)
                return false;
            s += run.size();
            if (last && anchoredEnd)
                return s == se;
            continue;
        }
        if (last && anchoredEnd) {
            if (size_t(se - s) < run.size())
                return false;
            return std::memcmp(se - run.size(), run.data(), run.size()) == 0;
        }
        const void* at = memmem(s, size_t(se - s), run.data(), run.size());
        if (!at)
            return false;
        s = static_cast<const char*>(at) + run.size();
    }
    return !anchoredEnd || s == se;
}

struct TFolded {
    QString Text;
    bool Simple = false; // only literal runs and "%"
    bool AnchoredStart = false;
    bool AnchoredEnd = false;
    std::vector<std::string> Runs;
};

void PrepareRuns(TFolded& pattern)
{
    const QString& p = pattern.Text;
    if (p.contains(u'_'))
        return;
    pattern.Simple = true;
    pattern.AnchoredStart = !p.startsWith(u'%');
    pattern.AnchoredEnd = !p.endsWith(u'%');
    for (const QString& run : p.split(u'%', Qt::SkipEmptyParts))
        pattern.Runs.push_back(run.toStdString());
    if (p.isEmpty())
        pattern.AnchoredStart = pattern.AnchoredEnd = true;
}

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
        esc = QChar(FoldChar(e[0]));
    }
    // The pattern is the same for every row of a statement: fold it once.
    auto* pattern = static_cast<TFolded*>(sqlite3_get_auxdata(ctx, 0));
    if (!pattern) {
        pattern = new TFolded;
        const auto* p = static_cast<const char16_t*>(sqlite3_value_text16(argv[0]));
        FoldInto(p, sqlite3_value_bytes16(argv[0]) / 2, pattern->Text);
        if (esc.isNull())
            PrepareRuns(*pattern);
        sqlite3_set_auxdata(ctx, 0, pattern, DeleteFolded);
        pattern = static_cast<TFolded*>(sqlite3_get_auxdata(ctx, 0));
        if (!pattern) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
    }
    const unsigned char* s = sqlite3_value_text(argv[1]);
    if (pattern->Simple) {
        thread_local std::string bytes;
        const size_t length = FoldUtf8ToUtf8(s, sqlite3_value_bytes(argv[1]), bytes);
        sqlite3_result_int(ctx,
            MatchRuns(
                pattern->Runs, pattern->AnchoredStart, pattern->AnchoredEnd, bytes.data(), length));
        return;
    }
    thread_local QString text;
    FoldUtf8Into(s, sqlite3_value_bytes(argv[1]), text);
    const QString& pt = pattern->Text;
    sqlite3_result_int(ctx, Match(pt.constData(), pt.constData() + pt.size(), text.constData(),
                                  text.constData() + text.size(), esc));
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

void DateTextFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    // A search runs this for every date of every record, and a journal has few distinct
    // dates: the texts of plain dates are kept per thread for the locale they were made in.
    thread_local QHash<int, QByteArray> shownDates;
    thread_local QLocale cacheLocale;
    const auto* utf8 = sqlite3_value_text(argv[0]);
    const int key = PlainDateKey(utf8, sqlite3_value_bytes(argv[0]));
    if (key >= 0) {
        const QLocale locale;
        if (cacheLocale != locale) {
            shownDates.clear();
            cacheLocale = locale;
        }
        auto it = shownDates.constFind(key);
        if (it == shownDates.constEnd()) {
            if (shownDates.size() > 100000)
                shownDates.clear();
            const QDate date(key / 10000, key / 100 % 100, key % 100);
            it = shownDates.insert(key, date.isValid()
                                       ? locale.toString(date, QLocale::ShortFormat).toUtf8()
                                       : QByteArray(reinterpret_cast<const char*>(utf8), 10));
        }
        ResultText(ctx, *it);
        return;
    }
    const auto* s = static_cast<const char16_t*>(sqlite3_value_text16(argv[0]));
    const QString stored = QString::fromUtf16(s, sqlite3_value_bytes16(argv[0]) / 2);
    const QDateTime dt = ValueText::StoredDateTime(stored);
    ResultText(ctx,
               (dt.isValid() ? ValueText::DisplayDateTime(dt, ftDateTime, QLocale()) : stored)
                   .toUtf8());
}

// The search text of a record: the values as text, one blank between them, null as empty.
// One function instead of a chain of "||" keeps a search from copying the growing text once
// per field of every record.
void JoinFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    thread_local std::string text;
    text.clear();
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            text.push_back(' ');
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        if (s)
            text.append(s, size_t(sqlite3_value_bytes(argv[i])));
    }
    sqlite3_result_text(ctx, text.data(), int(text.size()), SQLITE_TRANSIENT);
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
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(db, "like", 2, flags, nullptr, LikeFunction, nullptr,
                                      nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "like", 3, flags, nullptr, LikeFunction, nullptr,
                                      nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "vsk_join", -1, flags, nullptr, JoinFunction, nullptr,
                                      nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "vsk_datetext", 1, SQLITE_UTF8, nullptr,
                                      DateTextFunction, nullptr, nullptr, nullptr)
        == SQLITE_OK;
}
