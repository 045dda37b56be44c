#pragma once

#include "report/RecordedPage.h"
#include "report/TextMeasure.h"

#include <memory>
#include <span>

// How DrawText lays a text into its rectangle.
enum TTextFlag : unsigned {
    tfWordBreak = 1, // wrap at blanks and line breaks, inside over-long words
    tfEndEllipsis = 2, // the last visible line ends in "..." when text is left over
};

// The recording canvas of one page: the drawing the report layout does goes here, in page
// units, and becomes a TRecordedPage. It starts with the font "DejaVu Sans" at 12 points and
// a black pen one unit wide; text is drawn without background. One thread at a time.
class TPageCanvas {
public:
    TPageCanvas(QSize pageSize, TFontMeasureCache& measures);

    QSize PageSize() const { return fPage.Size; }

    const TPageFont& Font() const { return fFont; }
    void SetFont(const TPageFont& font);
    void SetBold(bool bold);
    const TFontMeasure& Measure() const { return *fMeasure; }

    const TPagePen& Pen() const { return fPen; }
    void SetPen(const TPagePen& pen) { fPen = pen; }

    void MoveTo(int x, int y) { fPos = QPoint(x, y); }
    void LineTo(int x, int y);
    void Line(int x1, int y1, int x2, int y2);

    // The width and line height of a one-line text in the current font.
    QSize TextExtent(QStringView text) const;
    int TextHeight() const { return fMeasure->LineHeight(); }

    // One line of text with its top left corner at (x, y), not wrapped or clipped. Here and
    // below a tab is drawn as a blank.
    void TextOut(int x, int y, const QString& text);
    // Text laid into rect by flags, clipped to it: lines that would show only in part are
    // not drawn. Returns the height of the lines drawn.
    int DrawText(const QRect& rect, const QString& text, unsigned flags);
    // The height the wrapped text needs in a rectangle width units wide; 0 for no text.
    int MeasureText(int width, const QString& text) const;

    // Draws the given wrapped lines of text one under another from the top left corner of
    // cell, clipped to cell.
    void DrawLines(const QRect& cell, const QString& text, std::span<const TTextLine> lines);

    // A copy of the drawing so far, for a preview that shows a page before its document
    // is finished.
    std::shared_ptr<const TRecordedPage> Snapshot() const;
    // Ends the recording: the page as drawn. The canvas is empty afterwards.
    std::shared_ptr<const TRecordedPage> Finish();

private:
    void AddText(QPoint topLeft, const QString& text, const QRect& clip);
    int PenIndex();
    int FontIndex();

    TFontMeasureCache& fMeasures;
    TRecordedPage fPage;
    TPageFont fFont;
    const TFontMeasure* fMeasure;
    TPagePen fPen;
    QPoint fPos;
    int fPenIndex = -1; // the page's entry for the current pen, -1 until it is used
    int fFontIndex = -1;
};
