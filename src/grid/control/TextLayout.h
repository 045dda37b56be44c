#pragma once

#include <QFontMetrics>
#include <QRawFont>
#include <QRect>
#include <QString>

#include <array>
#include <vector>

// The widths and glyphs of one font. Texts of the simple scripts (Latin,
// Greek, Cyrillic, digits and punctuation, no combining marks) are measured
// and drawn from a per-character table, which spares the shaping engine that
// would otherwise run twice for every cell; any other text goes through the
// font's own layout. Either way measuring and drawing use the same figures.
class TFontGlyphs {
public:
    // The shared table of the font on a device of that resolution.
    static const TFontGlyphs& For(const QFont& Font, const QPaintDevice* Device);

    TFontGlyphs(const QFont& Font, const QPaintDevice* Device);
    const QFontMetrics& Metrics() const { return fMetrics; }
    const QRawFont& RawFont() const { return fRaw; }
    int Width(const QString& Text) const;
    // The glyphs and pen positions of Text from the origin; false when the
    // text needs the font's own layout.
    bool Glyphs(const QString& Text, QList<quint32>& Indexes, QList<QPointF>& Positions) const;
    // The pen position after each character of Text, from 0 to Width(Text),
    // by the same figures as Width and Glyphs.
    std::vector<int> Edges(const QString& Text) const;

private:
    static constexpr int TableSize = 0x590;
    bool Simple(const QString& Text) const;
    void Load(char16_t C) const;

    QFont fFont;
    QFontMetrics fMetrics;
    QRawFont fRaw;
    mutable std::array<quint32, TableSize> fGlyph {};
    mutable std::array<float, TableSize> fAdvance {};
    // 0 not looked up yet, 1 in the table, 2 missing from the font.
    mutable std::array<quint8, TableSize> fState {};
};

// One run of text at its place: a line, or the piece of a line between tab
// stops.
struct TTextRun {
    QString Text;
    int X = 0;
    int Y = 0; // top of the line box
    int Width = 0;
    // The character drawn underlined by prefix processing, or -1.
    int Underline = -1;
};

struct TTextLayout {
    std::vector<TTextRun> Runs;
    // The box the text takes, and the height the drawing routine answers.
    QRect Bounds;
    int Height = 0;
};

// The pen position after each character of one line, tabs expanded as
// LayoutText expands them: what the editor's caret is placed by.
std::vector<int> LineCharEdges(const TFontGlyphs& Glyphs, const QString& Line, bool ExpandTabs,
    int AverageCharWidth);

// Lays Text out in Rect by the grid's text flags: the one place where what is
// measured and what is drawn is decided, so the two never disagree.
TTextLayout LayoutText(const TFontGlyphs& Glyphs, const QString& Text, const QRect& Rect,
    quint32 Flags, int AverageCharWidth);
