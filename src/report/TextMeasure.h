#pragma once

#include "report/PageFont.h"

#include <QFontMetricsF>
#include <QStringView>
#include <memory>
#include <unordered_map>
#include <vector>

// Measures text in one font in page units. The advance of each character is asked of the
// font once and kept, so laying out thousands of records costs table look-ups rather than
// text shaping. Not shared between threads: each recorder has its own.
class TFontMeasure {
public:
    explicit TFontMeasure(const TPageFont& font);

    const TPageFont& Font() const { return fFont; }
    qreal Width(QStringView text) const;
    // The advance of each UTF-16 unit of text (the second half of a surrogate pair gets 0).
    std::vector<qreal> Advances(QStringView text) const;
    int LineHeight() const { return fLineHeight; } // ascent plus descent, as a cell line
    int Ascent() const { return fAscent; }

private:
    qreal Advance(QChar c) const;

    TPageFont fFont;
    QFontMetricsF fMetrics;
    int fLineHeight;
    int fAscent;
    // Advances of the Latin and Cyrillic letters the journal is written in, by UTF-16 unit,
    // negative when not yet asked; the rest of the plane is kept as it is met.
    mutable std::vector<float> fAdvances;
    mutable std::unordered_map<char16_t, float> fOtherAdvances;
};

// The fonts a recorder has measured, kept for the whole document.
class TFontMeasureCache {
public:
    TFontMeasure& Get(const TPageFont& font);

private:
    std::vector<std::unique_ptr<TFontMeasure>> fMeasures;
};

// One line of a wrapped text: a part of the text, without the blanks it broke at.
struct TTextLine {
    int Start = 0;
    int Length = 0;
};

// Breaks a text into lines no wider than width, the way a multi-line edit box shows it: at
// line breaks of the text, after blanks, and inside a word that is wider than a line by
// itself. An empty text has no lines; a trailing line break adds no empty line.
std::vector<TTextLine> WrapText(const TFontMeasure& measure, QStringView text, qreal width);

// The text cut so that with "..." appended it fits in width; the whole text when it fits.
QString ElideText(const TFontMeasure& measure, QStringView text, qreal width);
