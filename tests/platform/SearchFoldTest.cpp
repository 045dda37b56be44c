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

} // namespace
