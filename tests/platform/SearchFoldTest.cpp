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
};

std::string RandomText(std::mt19937& random)
{
    std::string text;
    const int pieces = int(random() % 40);
    for (int i = 0; i < pieces; ++i)
        text += kPieces[random() % std::size(kPieces)];
    return text;
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

} // namespace
