#include "report/PageCanvas.h"

#include <cmath>

namespace {

// A tab in a journal value has no tab stops to go to inside a cell; it is shown as the blank
// the measure counts it as, so what is drawn takes the room that was measured.
QString Shown(QString text)
{
    if (text.contains(u'\t'))
        text.replace(u'\t', u' ');
    return text;
}

} // namespace

TPageCanvas::TPageCanvas(QSize pageSize, TFontMeasureCache& measures)
    : fMeasures(measures)
    , fMeasure(&measures.Get(fFont))
{
    fPage.Size = pageSize;
}

void TPageCanvas::SetFont(const TPageFont& font)
{
    if (font == fFont)
        return;
    fFont = font;
    fMeasure = &fMeasures.Get(fFont);
    fFontIndex = -1;
}

void TPageCanvas::SetBold(bool bold)
{
    TPageFont f = fFont;
    f.Bold = bold;
    SetFont(f);
}

int TPageCanvas::PenIndex()
{
    if (fPenIndex >= 0 && fPage.Pens[size_t(fPenIndex)] == fPen)
        return fPenIndex;
    for (size_t i = 0; i < fPage.Pens.size(); ++i)
        if (fPage.Pens[i] == fPen)
            return fPenIndex = int(i);
    fPage.Pens.push_back(fPen);
    return fPenIndex = int(fPage.Pens.size() - 1);
}

int TPageCanvas::FontIndex()
{
    if (fFontIndex >= 0)
        return fFontIndex;
    for (size_t i = 0; i < fPage.Fonts.size(); ++i)
        if (fPage.Fonts[i] == fFont)
            return fFontIndex = int(i);
    fPage.Fonts.push_back(fFont);
    return fFontIndex = int(fPage.Fonts.size() - 1);
}

void TPageCanvas::LineTo(int x, int y)
{
    Line(fPos.x(), fPos.y(), x, y);
}

void TPageCanvas::Line(int x1, int y1, int x2, int y2)
{
    TPageItem item;
    item.Kind = pikLine;
    item.Style = PenIndex();
    item.A = QPoint(x1, y1);
    item.B = QPoint(x2, y2);
    fPage.Items.push_back(std::move(item));
    fPos = QPoint(x2, y2);
}

QSize TPageCanvas::TextExtent(QStringView text) const
{
    return QSize(int(std::ceil(fMeasure->Width(text))), fMeasure->LineHeight());
}

void TPageCanvas::TextOut(int x, int y, const QString& text)
{
    AddText(QPoint(x, y), text, QRect());
}

void TPageCanvas::AddText(QPoint topLeft, const QString& text, const QRect& clip)
{
    if (text.isEmpty())
        return;
    TPageItem item;
    item.Kind = pikText;
    item.Style = FontIndex();
    item.A = QPoint(topLeft.x(), topLeft.y() + fMeasure->Ascent());
    item.Text = Shown(text);
    item.Clip = clip;
    fPage.Items.push_back(std::move(item));
}

void TPageCanvas::DrawLines(const QRect& cell, const QString& text,
                            std::span<const TTextLine> lines)
{
    const int lh = fMeasure->LineHeight();
    int y = cell.top();
    for (const TTextLine& line : lines) {
        if (line.Length > 0)
            AddText(QPoint(cell.left(), y), text.mid(line.Start, line.Length), cell);
        y += lh;
    }
}

int TPageCanvas::MeasureText(int width, const QString& text) const
{
    if (text.isEmpty())
        return 0;
    return int(WrapText(*fMeasure, text, width).size()) * fMeasure->LineHeight();
}

int TPageCanvas::DrawText(const QRect& rect, const QString& text, unsigned flags)
{
    if (text.isEmpty() || rect.width() <= 0)
        return 0;
    const int lh = fMeasure->LineHeight();
    const int room = lh > 0 ? std::max(0, rect.height() / lh) : 0;
    const qreal width = rect.width();
    std::vector<TTextLine> lines;
    if (flags & tfWordBreak)
        lines = WrapText(*fMeasure, text, width);
    else
        lines.push_back({ 0, int(text.size()) });
    int y = rect.top();
    int drawn = 0;
    for (size_t i = 0; i < lines.size() && drawn < room; ++i, ++drawn, y += lh) {
        const TTextLine& line = lines[i];
        const bool last = drawn + 1 == room && i + 1 < lines.size();
        QString part = text.mid(line.Start, line.Length);
        if (flags & tfEndEllipsis) {
            if (last)
                part = ElideText(*fMeasure, QStringView(text).mid(line.Start), width);
            else if (fMeasure->Width(part) > width)
                part = ElideText(*fMeasure, part, width);
        }
        AddText(QPoint(rect.left(), y), part, QRect(rect.left(), y, rect.width(), lh));
    }
    return drawn * lh;
}

std::shared_ptr<const TRecordedPage> TPageCanvas::Snapshot() const
{
    return std::make_shared<const TRecordedPage>(fPage);
}

std::shared_ptr<const TRecordedPage> TPageCanvas::Finish()
{
    fPage.Items.shrink_to_fit();
    auto page = std::make_shared<const TRecordedPage>(std::move(fPage));
    fPage = TRecordedPage();
    fPage.Size = page->Size;
    fPenIndex = fFontIndex = -1;
    return page;
}
