#include "platform/db/SearchFold.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

// One character of UTF-8 at s, with n > 0 bytes left: its code point, and its length in
// len. A byte that starts no character is U+FFFD of length 1. So are the first bytes of
// forms longer than needed, of surrogates and of code points beyond U+10FFFF: read as
// characters, they would let "\xC1\x81" match "a", and break the UTF-16 text.
char32_t DecodeUtf8(const unsigned char* s, size_t n, int& len)
{
    const unsigned char b = s[0];
    len = 1;
    if (b < 0x80)
        return b;
    auto tail = [&](size_t i) { return i < n && (s[i] & 0xC0) == 0x80; };
    char32_t cp = 0xFFFD;
    if ((b & 0xE0) == 0xC0 && tail(1)) {
        cp = char32_t(b & 0x1F) << 6 | (s[1] & 0x3F);
        len = 2;
        if (cp >= 0x80)
            return cp;
    } else if ((b & 0xF0) == 0xE0 && tail(1) && tail(2)) {
        cp = char32_t(b & 0x0F) << 12 | char32_t(s[1] & 0x3F) << 6 | (s[2] & 0x3F);
        len = 3;
        if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF))
            return cp;
    } else if ((b & 0xF8) == 0xF0 && tail(1) && tail(2) && tail(3)) {
        cp = char32_t(b & 0x07) << 18 | char32_t(s[1] & 0x3F) << 12
            | char32_t(s[2] & 0x3F) << 6 | (s[3] & 0x3F);
        len = 4;
        if (cp >= 0x10000 && cp <= 0x10FFFF)
            return cp;
    }
    len = 1;
    return 0xFFFD;
}

char32_t FoldCodePoint(char32_t cp)
{
    return cp > 0xFFFF ? QChar::toCaseFolded(cp) : FoldSearchChar(char16_t(cp));
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

// The folded bytes of every two-byte character (Latin-1 to Arabic, Cyrillic among them)
// whose folded form is two bytes too; 0 for the few that fold into another length.
using TTwoByteFolds = std::array<uint16_t, 30 * 64>;

const TTwoByteFolds& TwoByteFolds()
{
    static const TTwoByteFolds table = [] {
        TTwoByteFolds t {};
        for (int lead = 0xC2; lead <= 0xDF; ++lead)
            for (int tail = 0x80; tail <= 0xBF; ++tail) {
                const char32_t cp = char32_t(lead & 0x1F) << 6 | (tail & 0x3F);
                const char32_t f = FoldCodePoint(cp);
                if (f >= 0x80 && f < 0x800)
                    t[(lead - 0xC2) * 64 + (tail - 0x80)]
                        = uint16_t((0xC0 | (f >> 6)) << 8 | (0x80 | (f & 0x3F)));
            }
        return t;
    }();
    return table;
}

// Folds the character at s[i] into o and returns where the next one starts.
size_t FoldOne(const unsigned char* s, size_t n, size_t i, char*& o, const TTwoByteFolds& twoByte)
{
    const unsigned char b = s[i];
    if (b < 0x80) {
        *o++ = char(b >= 'A' && b <= 'Z' ? b + 32 : b);
        return i + 1;
    }
    if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
        if (const uint16_t f = twoByte[(b - 0xC2) * 64 + (s[i + 1] - 0x80)]) {
            *o++ = char(f >> 8), *o++ = char(f & 0xFF);
            return i + 2;
        }
    }
    int len;
    o = PutUtf8(FoldCodePoint(DecodeUtf8(s + i, n - i, len)), o);
    return i + size_t(len);
}

typedef unsigned char TBytes16 __attribute__((vector_size(16)));

TBytes16 Load16(const unsigned char* s)
{
    TBytes16 v;
    std::memcpy(&v, s, sizeof v);
    return v;
}

TBytes16 Within(TBytes16 v, unsigned char low, unsigned char high)
{
    return TBytes16(v - low <= (unsigned char)(high - low));
}

TBytes16 Select(TBytes16 mask, TBytes16 yes, TBytes16 no) { return (yes & mask) | (no & ~mask); }

bool Any(TBytes16 mask)
{
    uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// Sixteen bytes of ASCII and the Russian alphabet folded at once: the bytes s[-1] and s[16]
// are read too. Returns how many bytes were folded and written to out (16, or 15 when the
// block ends with the first byte of a letter), or 0 when the block holds anything else,
// including bytes that are no UTF-8, which the caller folds one character at a time.
int FoldRussianBlock(const unsigned char* s, char* out)
{
    const TBytes16 prev = Load16(s - 1);
    const TBytes16 cur = Load16(s);
    const TBytes16 next = Load16(s + 1);

    const TBytes16 isTail = TBytes16((cur & 0xC0) == 0x80);
    const TBytes16 isLead = TBytes16((cur == 0xD0) | (cur == 0xD1));
    const TBytes16 afterD0 = TBytes16(prev == 0xD0) & isTail;
    const TBytes16 afterD1 = TBytes16(prev == 0xD1) & isTail;
    // Other scripts, the Cyrillic letters beyond the Russian alphabet (Ѐ-Џ but Ё, and the
    // old letters from D1 A0 on), and broken sequences go the careful way.
    const TBytes16 other = (TBytes16(cur >= 0xC0) & ~isLead)
        | (isTail & ~(afterD0 | afterD1))
        | (isLead & ~TBytes16((next & 0xC0) == 0x80))
        | (afterD0 & Within(cur, 0x80, 0x8F) & ~TBytes16(cur == 0x81))
        | (afterD1 & TBytes16(cur >= 0xA0));
    if (Any(other))
        return 0;

    TBytes16 folded = cur | (Within(cur, 'A', 'Z') & 0x20);
    // А-П (D0 90-9F) become а-п (D0 B0-BF); Р-Я (D0 A0-AF) become р-я (D1 80-8F); Ё (D0 81)
    // and ё (D1 91) become е (D0 B5).
    folded = Select(afterD0 & Within(cur, 0x90, 0x9F), cur + 0x20, folded);
    folded = Select(afterD0 & Within(cur, 0xA0, 0xAF), cur - 0x20, folded);
    const TBytes16 yo = (afterD0 & TBytes16(cur == 0x81)) | (afterD1 & TBytes16(cur == 0x91));
    folded = Select(yo, TBytes16 {} + 0xB5, folded);
    folded = Select(TBytes16(cur == 0xD0) & Within(next, 0xA0, 0xAF), TBytes16 {} + 0xD1, folded);
    folded = Select(TBytes16(cur == 0xD1) & TBytes16(next == 0x91), TBytes16 {} + 0xD0, folded);

    std::memcpy(out, &folded, sizeof folded);
    return cur[15] == 0xD0 || cur[15] == 0xD1 ? 15 : 16;
}

// "_" in a part of a pattern, a value that no code point has.
constexpr char32_t kAnyChar = 0x110000;
constexpr size_t kNowhere = std::u32string::npos;

// Folded code points of UTF-16 text; a surrogate without its other half, which no text can
// hold, becomes U+FFFD.
std::u32string FoldedCodePoints(const char16_t* s, int n)
{
    std::u32string out;
    out.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        char32_t cp = s[i];
        if (QChar::isHighSurrogate(cp) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
            cp = QChar::surrogateToUcs4(s[i], s[i + 1]), ++i;
        else if (QChar::isSurrogate(cp))
            cp = 0xFFFD;
        out += FoldCodePoint(cp);
    }
    return out;
}

// Folded code points of UTF-8 text, into a buffer that keeps its memory between records.
void FoldUtf8ToCodePoints(const unsigned char* s, size_t n, std::u32string& out)
{
    out.resize(n); // never more characters than bytes
    char32_t* d = out.data();
    size_t o = 0;
    for (size_t i = 0; i < n;) {
        int len;
        d[o++] = FoldCodePoint(DecodeUtf8(s + i, n - i, len));
        i += size_t(len);
    }
    out.resize(o);
}

// Whether the part stands at t, which has room for it.
bool PartAt(const std::u32string& part, const char32_t* t)
{
    for (size_t i = 0; i < part.size(); ++i)
        if (part[i] != kAnyChar && part[i] != t[i])
            return false;
    return true;
}

// The first place from `from` on where the part stands in t[0, n), or kNowhere. Places are
// proposed by the part's first literal character.
size_t FindPart(const std::u32string& part, const char32_t* t, size_t from, size_t n)
{
    const size_t k = part.size();
    if (n < k || n - k < from)
        return kNowhere;
    const size_t probe = part.find_first_not_of(kAnyChar);
    if (probe == kNowhere)
        return from;
    const char32_t* const probeEnd = t + (n - k) + probe + 1;
    for (size_t at = from;; ++at) {
        const char32_t* hit = std::find(t + at + probe, probeEnd, part[probe]);
        if (hit == probeEnd)
            return kNowhere;
        at = size_t(hit - t) - probe;
        if (PartAt(part, t + at))
            return at;
    }
}

// The parts between "%" have fixed lengths, so the first place of a part leaves the most
// text to the parts after it: a part is never tried again at a later place once the next
// one is sought. This keeps a match within text length times pattern length, where trying
// every place of every "%" took time exponential in their number.
bool MatchParts(const std::vector<std::u32string>& parts, const char32_t* t, size_t n)
{
    const std::u32string& first = parts.front();
    if (parts.size() == 1)
        return n == first.size() && PartAt(first, t);
    if (n < first.size() || !PartAt(first, t))
        return false;
    size_t s = first.size();
    for (size_t i = 1; i + 1 < parts.size(); ++i) {
        const size_t at = FindPart(parts[i], t, s, n);
        if (at == kNowhere)
            return false;
        s = at + parts[i].size();
    }
    const std::u32string& last = parts.back();
    return n - s >= last.size() && PartAt(last, t + (n - last.size()));
}

// The positions of a bit per byte, from a mask of 0x00 and 0xFF bytes.
unsigned BitsOf(TBytes16 mask)
{
    uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    constexpr uint64_t high = 0x8080808080808080ull, gather = 0x0002040810204081ull;
    return unsigned(((halves[0] & high) * gather) >> 56)
        | unsigned(((halves[1] & high) * gather) >> 56) << 8;
}

// Whether folded text is made of ASCII and the Russian small letters only.
bool RussianOrAscii(const std::string& folded)
{
    const auto* s = reinterpret_cast<const unsigned char*>(folded.data());
    for (size_t i = 0; i < folded.size(); ++i) {
        if (s[i] < 0x80)
            continue;
        if (i + 1 < folded.size()
            && ((s[i] == 0xD0 && s[i + 1] >= 0xB0 && s[i + 1] <= 0xBF)
                || (s[i] == 0xD1 && s[i + 1] >= 0x80 && s[i + 1] <= 0x8F))) {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

// The bytes that may stand at place at of unfolded text which folds into folded, made of
// ASCII and the Russian small letters.
std::string UnfoldedBytes(const std::string& folded, size_t at)
{
    const auto b = static_cast<unsigned char>(folded[at]);
    if (b < 0x80)
        return b >= 'a' && b <= 'z' ? std::string { char(b), char(b - 32) } : std::string(1, char(b));
    if (b == 0xD0 || b == 0xD1)
        return "\xD0\xD1";
    const char32_t small = char32_t(static_cast<unsigned char>(folded[at - 1]) & 0x1F) << 6 | (b & 0x3F);
    std::string bytes { char(b), char(0x80 | ((small - 0x20) & 0x3F)) };
    if (small == 0x0435) // е is also what Ё and ё become
        bytes += "\x81\x91";
    return bytes;
}

// Sixteen copies of each of the bytes, repeated to four.
std::array<std::array<unsigned char, 16>, 4> Broadcast(const std::string& bytes)
{
    std::array<std::array<unsigned char, 16>, 4> copies;
    for (size_t k = 0; k < copies.size(); ++k)
        copies[k].fill(static_cast<unsigned char>(bytes[k % bytes.size()]));
    return copies;
}

// Which bytes of v are one of the wanted bytes.
TBytes16 OneOf(TBytes16 v, const std::array<std::array<unsigned char, 16>, 4>& wanted)
{
    return TBytes16(v == Load16(wanted[0].data())) | TBytes16(v == Load16(wanted[1].data()))
        | TBytes16(v == Load16(wanted[2].data())) | TBytes16(v == Load16(wanted[3].data()));
}

bool IsOneOf(unsigned char b, const std::array<std::array<unsigned char, 16>, 4>& wanted)
{
    return b == wanted[0][0] || b == wanted[1][0] || b == wanted[2][0] || b == wanted[3][0];
}

// Only the cases of a Russian or ASCII letter fold into it, and they keep their length when
// folded, except for a few letters: ſ (C5 BF) and the Kelvin sign (E2 84 AA) fold into s and
// k, and the old round letters from U+1C80 (E1 B2 80-88) into в, д, о, с, т and ъ. Text
// without them may be searched for a run of such letters in place. The tests are wider
// than these letters (any C5 or E1 lead), and cheaper.
bool NoOddFoldings(const unsigned char* s, size_t n)
{
    auto odd = [&](size_t i) {
        return s[i] == 0xC5 || s[i] == 0xE1
            || (s[i] == 0xE2 && i + 2 < n && s[i + 1] == 0x84 && s[i + 2] == 0xAA);
    };
    size_t i = 0;
    for (; i + 18 <= n; i += 16) {
        const TBytes16 v = Load16(s + i);
        const TBytes16 kelvin = TBytes16(v == 0xE2) & TBytes16(Load16(s + i + 1) == 0x84)
            & TBytes16(Load16(s + i + 2) == 0xAA);
        if (Any(TBytes16(v == 0xC5) | TBytes16(v == 0xE1) | kelvin))
            return false;
    }
    for (; i < n; ++i)
        if (odd(i))
            return false;
    return true;
}

// The first of the places 0 .. starts-1 where both probes hold and isRun says the run is
// there, or starts when there is none. Sixteen places at a time are tried at the probes
// (probes16 gives a byte mask of them), and only the places where both agree are compared
// whole; the last few are tried one by one.
template <class TProbes16, class TProbes, class TIsRun>
size_t FirstPlace(size_t starts, TProbes16 probes16, TProbes probes, TIsRun isRun)
{
    size_t i = 0;
    for (; i + 16 <= starts; i += 16)
        for (unsigned bits = BitsOf(probes16(i)); bits; bits &= bits - 1)
            if (const size_t at = i + size_t(__builtin_ctz(bits)); isRun(at))
                return at;
    for (; i < starts; ++i)
        if (probes(i) && isRun(i))
            return i;
    return starts;
}

// Literal runs separated by "%" need no notion of characters: a byte search finds them.
bool MatchRuns(const std::vector<TLiteralRun>& runs, bool anchoredStart, bool anchoredEnd,
               const char* text, size_t length)
{
    const char* s = text;
    const char* se = s + length;
    for (size_t r = 0; r < runs.size(); ++r) {
        const std::string& run = runs[r].Bytes();
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
        const char* at = runs[r].FindIn(s, size_t(se - s));
        if (!at)
            return false;
        s = at + run.size();
    }
    return !anchoredEnd || s == se;
}

} // namespace

TLiteralRun::TLiteralRun(std::string bytes)
    : fBytes(std::move(bytes))
{
    // Lead bytes of Cyrillic letters and blanks are in nearly every position of a journal's
    // text; the bytes that tell letters apart make far fewer false candidates.
    auto common = [](unsigned char b) { return b == 0xD0 || b == 0xD1 || b == ' '; };
    const size_t k = fBytes.size();
    size_t firstRare = k, lastRare = k;
    for (size_t i = 0; i < k; ++i)
        if (!common(static_cast<unsigned char>(fBytes[i]))) {
            if (firstRare == k)
                firstRare = i;
            lastRare = i;
        }
    if (firstRare == lastRare) { // fewer than two such bytes: the ends will do
        firstRare = 0;
        lastRare = k ? k - 1 : 0;
    }
    fProbe1 = firstRare;
    fProbe2 = lastRare;
    if (k > 0 && RussianOrAscii(fBytes)) {
        fSieves = true;
        fRawProbe1 = Broadcast(UnfoldedBytes(fBytes, fProbe1));
        fRawProbe2 = Broadcast(UnfoldedBytes(fBytes, fProbe2));
    }
}

const char* TLiteralRun::FindIn(const char* s, size_t n) const
{
    const size_t k = fBytes.size();
    if (k == 0)
        return s;
    if (n < k)
        return nullptr;
    if (k == 1)
        return static_cast<const char*>(std::memchr(s, fBytes[0], n));
    const auto* u = reinterpret_cast<const unsigned char*>(s);
    const unsigned char b1 = static_cast<unsigned char>(fBytes[fProbe1]);
    const unsigned char b2 = static_cast<unsigned char>(fBytes[fProbe2]);
    const size_t starts = n - k + 1;
    const size_t at = FirstPlace(
        starts,
        [&](size_t i) {
            return TBytes16(Load16(u + i + fProbe1) == b1) & TBytes16(Load16(u + i + fProbe2) == b2);
        },
        [&](size_t i) { return u[i + fProbe1] == b1 && u[i + fProbe2] == b2; },
        [&](size_t i) { return std::memcmp(s + i, fBytes.data(), k) == 0; });
    return at < starts ? s + at : nullptr;
}

bool TLiteralRun::MayOccurIn(const unsigned char* text, size_t n) const
{
    if (!fSieves || !NoOddFoldings(text, n))
        return true;
    const size_t k = fBytes.size();
    if (n < k)
        return false;
    // What folds into the run has the run's length, so a place of the run in the folded text
    // is a place of that length here, with the probes at the same distance from its start.
    const size_t starts = n - k + 1;
    return FirstPlace(
               starts,
               [&](size_t i) {
                   return OneOf(Load16(text + i + fProbe1), fRawProbe1)
                       & OneOf(Load16(text + i + fProbe2), fRawProbe2);
               },
               [&](size_t i) {
                   return IsOneOf(text[i + fProbe1], fRawProbe1)
                       && IsOneOf(text[i + fProbe2], fRawProbe2);
               },
               [&](size_t i) {
                   thread_local TFoldedText window;
                   window.Clear();
                   window.AppendFolded(text + i, k);
                   return window.Size() == k && std::memcmp(window.Data(), fBytes.data(), k) == 0;
               })
        < starts;
}

char16_t FoldSearchChar(char16_t c)
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

void FoldUtf16Into(const char16_t* s, int n, QString& out)
{
    out.resize(n);
    QChar* d = out.data();
    for (int i = 0; i < n; ++i)
        d[i] = QChar(FoldSearchChar(s[i]));
}

void FoldUtf8ToUtf16(const unsigned char* s, int n, QString& out)
{
    out.resize(n); // never more UTF-16 units than bytes
    QChar* d = out.data();
    int o = 0;
    for (int i = 0; i < n;) {
        int len;
        const char32_t cp = FoldCodePoint(DecodeUtf8(s + i, size_t(n - i), len));
        i += len;
        if (cp > 0xFFFF) {
            d[o++] = QChar(QChar::highSurrogate(cp));
            d[o++] = QChar(QChar::lowSurrogate(cp));
        } else {
            d[o++] = QChar(char16_t(cp));
        }
    }
    out.resize(o);
}

// ASCII and the two-byte scripts, nearly all of a journal's text, are folded without
// decoding; the rest one character at a time.
void TFoldedText::AppendFolded(const unsigned char* s, size_t n)
{
    // A folded character takes at most three bytes per byte of the original: a byte that is
    // no UTF-8 becomes U+FFFD, three bytes long. Blocks write up to 16 bytes at once.
    char* const start = Reserve(n * 3 + 16);
    char* o = start;
    const TTwoByteFolds& twoByte = TwoByteFolds();
    size_t i = 0;
    while (i < n) {
        // A block needs the byte before it and the one after it.
        if (i > 0 && i + 17 <= n) {
            if (const int done = FoldRussianBlock(s + i, o)) {
                o += done, i += size_t(done);
                continue;
            }
            for (const size_t stop = i + 16; i < stop;)
                i = FoldOne(s, n, i, o, twoByte);
            continue;
        }
        i = FoldOne(s, n, i, o, twoByte);
    }
    fSize += size_t(o - start);
}

void TFoldedText::Grow(size_t extra)
{
    const size_t capacity = std::max(fCapacity * 2, fSize + extra);
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (fSize)
        std::memcpy(data.get(), fData.get(), fSize);
    fData = std::move(data);
    fCapacity = capacity;
}

TLikePattern::TLikePattern(const char16_t* pattern, int length, QChar escape)
    : fEscape(escape.isNull() ? QChar() : QChar(FoldSearchChar(escape.unicode())))
{
    FoldUtf16Into(pattern, length, fText);
    if (!fEscape.isNull() || fText.contains(u'_')) {
        const std::u32string chars = FoldedCodePoints(pattern, length);
        fParts.emplace_back();
        for (size_t i = 0; i < chars.size(); ++i) {
            char32_t c = chars[i];
            if (c == U'%') {
                fParts.emplace_back();
                continue;
            }
            if (c == U'_') {
                c = kAnyChar;
            } else if (!fEscape.isNull() && c == fEscape.unicode()) {
                if (++i == chars.size()) {
                    fMatchesNothing = true;
                    break;
                }
                c = chars[i];
            }
            fParts.back() += c;
        }
        // The longest run of literal characters rules out most texts before they are
        // decoded, as for the other patterns.
        std::u32string_view longest;
        for (const std::u32string& part : fParts)
            for (size_t from = 0; from < part.size();) {
                const size_t to = std::min(part.find(kAnyChar, from), part.size());
                if (to - from > longest.size())
                    longest = std::u32string_view(part).substr(from, to - from);
                from = to + 1;
            }
        if (!longest.empty()) {
            std::string bytes(longest.size() * 4, '\0');
            char* end = bytes.data();
            for (const char32_t c : longest)
                end = PutUtf8(c, end);
            bytes.resize(size_t(end - bytes.data()));
            fRuns.emplace_back(std::move(bytes));
            fSieve = 0;
        }
        return;
    }
    fSimple = true;
    fAnchoredStart = !fText.startsWith(u'%');
    fAnchoredEnd = !fText.endsWith(u'%');
    for (const QString& run : fText.split(u'%', Qt::SkipEmptyParts))
        fRuns.emplace_back(run.toStdString());
    if (fText.isEmpty())
        fAnchoredStart = fAnchoredEnd = true;
    for (size_t r = 0; r < fRuns.size(); ++r)
        if (fSieve < 0 || fRuns[r].Bytes().size() > fRuns[size_t(fSieve)].Bytes().size())
            fSieve = int(r);
}

bool TLikePattern::Matches(const unsigned char* text, size_t length) const
{
    if (fSieve >= 0 && !fRuns[size_t(fSieve)].MayOccurIn(text, length))
        return false;
    thread_local TFoldedText folded;
    if (fSimple) {
        folded.Clear();
        folded.AppendFolded(text, length);
        return MatchesFolded(folded.Data(), folded.Size());
    }
    return MatchesFolded(reinterpret_cast<const char*>(text), length);
}

bool TLikePattern::MatchesFolded(const char* text, size_t length) const
{
    if (fSimple)
        return MatchRuns(fRuns, fAnchoredStart, fAnchoredEnd, text, length);
    if (fMatchesNothing)
        return false;
    // Folding folded text again changes nothing, so any text can come this way.
    thread_local std::u32string chars;
    FoldUtf8ToCodePoints(reinterpret_cast<const unsigned char*>(text), length, chars);
    return MatchParts(fParts, chars.data(), chars.size());
}
