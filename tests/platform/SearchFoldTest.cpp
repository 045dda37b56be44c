#include "platform/db/SearchFold.h"

#include <gtest/gtest.h>
#include <random>
#include <string_view>

namespace {

// Pieces of text from every path of the folding: ASCII, the Russian alphabet with Ё and ё,
// other two-byte letters, three- and four-byte characters and bytes that are no UTF-8.
const char* const kPieces[] = {
    "a", "Z", " ", "7", ".", "Иванов", "ЁЖИК", "ёлка", "Ъ", "я", "Р", "П", "р", "п", "Є", "ї",
    "Ѣ", "ѣ", "Ωμέγα", "Straße", "µ", "€", "ⱥ", "Ⱥ", "😀", "\xD0", "\xB0", "\xFF", "\xE2\x82",
    "ПРОБА КРОВИ", "abcdefghijklmnopqrstuvwxyz", "ſ",
    "\xC1\x81", "\xE0\x81\x81", "\xED\xA0\x80", "\xF4\xBB\xBB\xBB", // no characters
};

// Russian and ASCII only, with broken sequences, which most journals are.
const char* const kRussianPieces[] = {
    "a", "Z", " ", "7", ".", "Иванов", "ЁЖИК", "ёлка", "Ъ", "я", "Р", "П", "р", "п", "е", "Е",
    "\xD0", "\xB8", "ПРОБА КРОВИ", "иВаНоВа", "Ѣ", "ј", "№", "«", "»", "α", "S", "ſ", "K", "ᲀ", "ᲂ", "\xC1\x81", "\xC1\xA1",
};

template <size_t N>
std::string RandomText(std::mt19937& random, const char* const (&pieces)[N], int most = 40)
{
    std::string text;
    const int count = int(random() % most);
    for (int i = 0; i < count; ++i)
        text += pieces[random() % N];
    return text;
}

std::string RandomText(std::mt19937& random) { return RandomText(random, kPieces); }

// A plain like on code points: every place of every "%" is tried, which is fine on short texts.
bool ReferenceLike(const char32_t* p, const char32_t* pe, const char32_t* s, const char32_t* se,
                   char32_t escape)
{
    if (p == pe)
        return s == se;
    if (*p == U'%') {
        for (const char32_t* t = s;; ++t) {
            if (ReferenceLike(p + 1, pe, t, se, escape))
                return true;
            if (t == se)
                return false;
        }
    }
    if (s == se)
        return false;
    if (*p == U'_')
        return ReferenceLike(p + 1, pe, s + 1, se, escape);
    if (escape && *p == escape && ++p == pe)
        return false;
    return *p == *s && ReferenceLike(p + 1, pe, s + 1, se, escape);
}

bool ReferenceLike(const QString& pattern, const std::string& text, QChar escape)
{
    QString foldedPattern, foldedText;
    FoldUtf16Into(reinterpret_cast<const char16_t*>(pattern.utf16()), int(pattern.size()),
                  foldedPattern);
    FoldUtf8ToUtf16(reinterpret_cast<const unsigned char*>(text.data()), int(text.size()),
                    foldedText);
    const std::u32string p = foldedPattern.toStdU32String();
    const std::u32string t = foldedText.toStdU32String();
    return ReferenceLike(p.data(), p.data() + p.size(), t.data(), t.data() + t.size(),
                         FoldSearchChar(escape.unicode()));
}

TLikePattern LikeOf(const QString& pattern, QChar escape = {})
{
    return TLikePattern(reinterpret_cast<const char16_t*>(pattern.utf16()), int(pattern.size()),
                        escape);
}

std::string Folded(const std::string& text)
{
    TFoldedText folded;
    folded.AppendFolded(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return std::string(folded.Data(), folded.Size());
}

TEST(SearchFold, BlockFoldingAgreesWithCharacterFolding)
{
    std::mt19937 random(7);
    TFoldedText folded;
    QString reference;
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(random);
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        folded.Clear();
        folded.Append("x", 1); // a block may look at the byte before it
        folded.AppendFolded(bytes, text.size());
        FoldUtf8ToUtf16(bytes, int(text.size()), reference);
        ASSERT_EQ(QString::fromUtf8(folded.Data() + 1, qsizetype(folded.Size() - 1)), reference)
            << text;
    }
}

TEST(SearchFold, FoldsRussianAndOtherScripts)
{
    const struct {
        const char* Text;
        const char* Folded;
    } cases[] = {
        { "ИВАНОВ Пётр ЁЛКИН ёж", "иванов петр елкин еж" },
        { "ПРОБА КРОВИ И МОЧИ НА ЭТАНОЛ", "проба крови и мочи на этанол" },
        { "Їжак Є ЎЗ", "їжак є ўз" },
        { "ΩΜΈΓΑ Straße", "ωμέγα straße" },
    };
    TFoldedText folded;
    for (const auto& c : cases) {
        folded.Clear();
        folded.AppendFolded(reinterpret_cast<const unsigned char*>(c.Text), strlen(c.Text));
        EXPECT_EQ(std::string(folded.Data(), folded.Size()), c.Folded);
    }
}

TEST(SearchFold, RunSearchFindsTheFirstPlace)
{
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(random);
        std::string run = RandomText(random).substr(0, random() % 12);
        if (!text.empty() && random() % 2) { // a run that is there, often enough
            const size_t at = random() % text.size();
            run = text.substr(at, 1 + random() % 20);
        }
        const TLiteralRun literal(run);
        const char* found = literal.FindIn(text.data(), text.size());
        const size_t expected = std::string_view(text).find(run);
        ASSERT_EQ(found ? size_t(found - text.data()) : std::string_view::npos, expected)
            << "run \"" << run << "\" in \"" << text << "\"";
    }
}

TEST(SearchFold, SieveRulesOutRussianTextWithoutTheRun)
{
    const struct {
        const char* Run; // folded
        const char* Text;
        bool MayOccur;
    } cases[] = {
        { "иванова", "Петрова Анна Ивановна, кровь", false },
        { "иванова", "ПЕТРОВА И ИВАНОВА", true },
        { "семенов", "Семёнов", true },
        { "ёж", "ЁЖ", true },     // runs of letters beyond the sieve's alphabet are not ruled on
        { "ab", "xAB", true },
        { "ab", "xAc", false },
        { "a", "\xC1\x81\xC1\xA1", false }, // "A" and "a" written longer than UTF-8 allows
        { "иванова", "№ 5 «Петрова» α ‰", false },
        { "sk", "ſK", true },  // ſ and the Kelvin sign fold into s and k
        { "вот", "ᲀᲂᲄ", true }, // so do the old round letters into в, о, т
    };
    for (const auto& c : cases) {
        const TLiteralRun run(c.Run);
        EXPECT_EQ(run.MayOccurIn(reinterpret_cast<const unsigned char*>(c.Text), strlen(c.Text)),
                  c.MayOccur)
            << c.Run << " in " << c.Text;
    }
}

TEST(SearchFold, PatternsRuleOutTextsOnlyWhenTheyCannotMatch)
{
    // Whatever shortcut a match takes, its answer is that of the folded text.
    std::mt19937 random(5);
    int matched = 0;
    for (int round = 0; round < 40000; ++round) {
        const bool russian = random() % 4 != 0;
        const std::string text = russian ? RandomText(random, kRussianPieces, 30) : RandomText(random);
        std::string pattern = "%";
        for (int runs = 1 + int(random() % 2); runs > 0; --runs) {
            const std::string folded = Folded(text);
            std::string run = RandomText(random, kRussianPieces, 3);
            if (!folded.empty() && random() % 3 != 0)
                run = QString::fromUtf8(text.substr(random() % text.size(), 1 + random() % 9))
                          .toUtf8()
                          .toStdString();
            pattern += run + "%";
        }
        const QString p = QString::fromStdString(pattern);
        const TLikePattern like(reinterpret_cast<const char16_t*>(p.utf16()), int(p.size()), QChar());
        const std::string folded = Folded(text);
        const bool expected = like.MatchesFolded(folded.data(), folded.size());
        matched += expected;
        ASSERT_EQ(like.Matches(reinterpret_cast<const unsigned char*>(text.data()), text.size()),
                  expected)
            << "\"" << text << "\" like \"" << pattern << "\"";
    }
    EXPECT_GT(matched, 1000); // both answers were checked often
}

TEST(SearchFold, WildcardPatternsMatchAsThePlainLike)
{
    // Few pieces, so that random texts often hold what the patterns ask for.
    const char* const pieces[] = {
        "о", "О", "ё", "Е", "1", "0", "3", "a", "A", "x", " ", "%", "_", "\\", "😀", "\xFF", "\xD0",
    };
    const struct {
        const char* Pattern;
        char16_t Escape;
    } cases[] = {
        { "_", 0 },
        { "__", 0 },
        { "%_", 0 },
        { "_%", 0 },
        { "%о%о%о%_1003%", 0 },
        { "о%о%_1", 0 },
        { "%_о_%", 0 },
        { "%е_%е%", 0 }, // ё is searched as е
        { "%a_%a_%a%", 0 },
        { "%%_%%_", 0 },
        { "%😀_%", 0 },  // "_" is one character, not one half of it
        { "%_😀", 0 },
        { "%1%0%3%", u'\\' }, // escape given but not used
        { "%\\%%", u'\\' },
        { "%\\_\\\\%", u'\\' },
        { "\\a%\\", u'\\' }, // ends in an escape with nothing to escape
        { "%x%_", u'X' },        // the escape is folded like the pattern
        { "%о%_%\\о%о", u'\\' },
    };
    std::mt19937 random(3);
    int matched = 0, rounds = 0;
    for (const auto& c : cases) {
        const QString pattern = QString::fromUtf8(c.Pattern);
        const QChar escape(c.Escape);
        const TLikePattern like = LikeOf(pattern, escape);
        for (int round = 0; round < 3000; ++round, ++rounds) {
            const std::string text = RandomText(random, pieces, 14);
            const bool expected = ReferenceLike(pattern, text, escape);
            matched += expected;
            ASSERT_EQ(like.Matches(reinterpret_cast<const unsigned char*>(text.data()), text.size()),
                      expected)
                << "\"" << text << "\" like \"" << c.Pattern << "\"";
            const std::string folded = Folded(text);
            ASSERT_EQ(like.MatchesFolded(folded.data(), folded.size()), expected)
                << "\"" << text << "\" like \"" << c.Pattern << "\", folded";
        }
    }
    EXPECT_GT(matched, rounds / 10); // both answers were checked often
    EXPECT_LT(matched, rounds - rounds / 10);
}

TEST(SearchFold, ManyWildcardsTakeNoTimeExponentialInTheirNumber)
{
    // Trying every place of every "%" would try more ways to place thirty "a" in thousands
    // than could be counted in a lifetime.
    const std::string as(3000, 'a');
    const QString manyA = QString("%a").repeated(30);
    const struct {
        QString Pattern;
        QChar Escape;
        std::string Text;
        bool Matches;
    } cases[] = {
        { manyA + "_b", {}, as, false },
        { manyA + "_b", {}, as + "cb", true },
        { manyA + "\\%", u'\\', as, false },
        { manyA + "\\%", u'\\', as + "%", true },
    };
    for (const auto& c : cases)
        EXPECT_EQ(LikeOf(c.Pattern, c.Escape)
                      .Matches(reinterpret_cast<const unsigned char*>(c.Text.data()), c.Text.size()),
                  c.Matches)
            << c.Pattern.toStdString() << " against " << c.Text.size() << " bytes";
}

} // namespace
