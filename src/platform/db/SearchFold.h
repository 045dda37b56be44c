#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// The folding and matching behind the journal's like: case is ignored in every script, not
// just in ASCII, and "ё" is searched as "е" the way Russian users search.

// One character folded, "ё" and "Ё" as "е".
char16_t FoldSearchChar(char16_t c);

// Folded UTF-16 text of UTF-16 or UTF-8 input; bytes that are no UTF-8 become U+FFFD.
void FoldUtf16Into(const char16_t* s, int n, QString& out);
void FoldUtf8ToUtf16(const unsigned char* s, int n, QString& out);

// A growing byte buffer of folded UTF-8. A search refills one for every record, so it
// keeps its memory and never clears what it is about to overwrite.
class TFoldedText {
public:
    void Clear() { fSize = 0; }
    void Append(char c) { *Reserve(1) = c, ++fSize; }
    void Append(const char* s, size_t n)
    {
        if (n)
            std::memcpy(Reserve(n), s, n), fSize += n;
    }
    // Appends s folded. Bytes that are no UTF-8 become U+FFFD.
    void AppendFolded(const unsigned char* s, size_t n);

    const char* Data() const { return fData.get(); }
    size_t Size() const { return fSize; }

private:
    // Where the next bytes go, with room for extra of them.
    char* Reserve(size_t extra)
    {
        if (fCapacity - fSize < extra)
            Grow(extra);
        return fData.get() + fSize;
    }
    void Grow(size_t extra);

    std::unique_ptr<char[]> fData;
    size_t fSize = 0;
    size_t fCapacity = 0;
};

// A run of a pattern's folded literal bytes, with a search for it faster than a general one.
class TLiteralRun {
public:
    explicit TLiteralRun(std::string bytes);

    // The first place of the run in folded text s[0, n), or null.
    const char* FindIn(const char* s, size_t n) const;
    // Whether the run may occur in UTF-8 text once it is folded: false only when it surely
    // does not. Most of the records a search reads do not match, and this tells them from
    // the others without folding them.
    bool MayOccurIn(const unsigned char* text, size_t n) const;

    const std::string& Bytes() const { return fBytes; }

private:
    std::string fBytes;
    size_t fProbe1 = 0; // two of its bytes that few places of a text have
    size_t fProbe2 = 0;
    // The bytes of unfolded text that fold into the probe bytes, each in sixteen copies, when
    // the run is made of ASCII and Russian letters.
    using TProbeBytes = std::array<std::array<unsigned char, 16>, 4>;
    bool fSieves = false;
    alignas(16) TProbeBytes fRawProbe1 {};
    alignas(16) TProbeBytes fRawProbe2 {};
};

// A like pattern folded once: "%" stands for any run and "_" for any one character; an
// escape character, when given, makes the next pattern character literal.
class TLikePattern {
public:
    TLikePattern(const char16_t* pattern, int length, QChar escape);

    // Whether the UTF-8 text matches.
    bool Matches(const unsigned char* text, size_t length) const;
    // Whether text already folded by TFoldedText matches.
    bool MatchesFolded(const char* text, size_t length) const;
    // Patterns of literal runs and "%" only are matched on folded UTF-8 bytes; the others
    // need the text as characters.
    bool MatchesBytes() const { return fSimple; }

private:
    QString fText;
    QChar fEscape;
    bool fSimple = false;
    // The other patterns as folded code points, split at "%" into parts of a fixed number
    // of characters each, "_" among them as a value beyond Unicode. A pattern that ends in
    // an escape character with nothing to escape matches nothing.
    std::vector<std::u32string> fParts;
    bool fMatchesNothing = false;
    bool fAnchoredStart = false;
    bool fAnchoredEnd = false;
    // The runs between "%" of a simple pattern; of another, only its longest literal run.
    std::vector<TLiteralRun> fRuns;
    int fSieve = -1; // the longest run, which MayOccurIn rules out most texts by
};
