// libFuzzer target for the search's folding and matching: every shortcut (blocks of sixteen
// bytes, probes, the sieve) must agree with folding one character at a time, whatever the
// bytes. Built and run by scripts/fuzz.sh.
#include "platform/db/SearchFold.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string Folded(const std::string& text)
{
    TFoldedText folded;
    folded.AppendFolded(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return std::string(folded.Data(), folded.Size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte tells how much of the rest is the pattern.
    const size_t patternLength = std::min<size_t>(data[0] % 24, size - 1);
    const std::string pattern(reinterpret_cast<const char*>(data) + 1, patternLength);
    const std::string text(reinterpret_cast<const char*>(data) + 1 + patternLength,
                           size - 1 - patternLength);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());

    const std::string folded = Folded(text);
    QString reference;
    FoldUtf8ToUtf16(bytes, int(text.size()), reference);
    if (QString::fromUtf8(folded.data(), qsizetype(folded.size())) != reference)
        abort();

    const QString p = QString::fromUtf8(pattern.data(), qsizetype(pattern.size()));
    for (const QChar escape : { QChar(), QChar(u'\\') }) {
        const TLikePattern like(reinterpret_cast<const char16_t*>(p.utf16()), int(p.size()), escape);
        if (like.Matches(bytes, text.size()) != like.MatchesFolded(folded.data(), folded.size()))
            abort();
    }

    const TLiteralRun run(Folded(pattern));
    const char* at = run.FindIn(folded.data(), folded.size());
    const size_t expected = std::string_view(folded).find(run.Bytes());
    if ((at ? size_t(at - folded.data()) : std::string_view::npos) != expected)
        abort();
    if (expected != std::string_view::npos && !run.MayOccurIn(bytes, text.size()))
        abort();
    return 0;
}
