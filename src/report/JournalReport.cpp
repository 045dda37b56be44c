#include "report/JournalReport.h"

#include "report/ReportPrinter.h"
#include "report/ReportSource.h"

#include <QDate>

void TReportSource::AppendRow(std::vector<QString>&& row)
{
    row.resize(Columns.size());
    for (QString& text : row)
        Texts.push_back(std::move(text));
    ++RowCount;
}

// The layout constants in page units.
struct TJournalReport::TMetrics {
    int ix = 0; // cell inset across
    int iy = 0; // cell inset down
    int left = 0; // left margin
    int right = 0; // right limit
    int top = 0; // top margin
    int bottom = 0; // bottom limit

    explicit TMetrics(const TReportPrinter& p)
        : ix(p.Xmm(1))
        , iy(p.Ymm(1))
        , left(p.Xmm(20))
        , right(p.PageSize().x() - p.Xmm(5))
        , top(p.Ymm(10))
        , bottom(p.PageSize().y() - p.Ymm(10))
    {
    }
};

TJournalReport::TJournalReport(std::shared_ptr<const TReportSource> source)
    : fSource(std::move(source))
{
}

void TJournalReport::ChooseColumns(const TReportPrinter& printer, const TMetrics& m)
{
    fColumns.clear();
    fLeftOut.clear();
    const float ppi = float(fSource->ScreenPpi > 0 ? fSource->ScreenPpi : 96);
    int x = m.left;
    for (size_t i = 0; i < fSource->Columns.size(); ++i) {
        const TReportColumn& c = fSource->Columns[i];
        if (!c.Visible || c.ScreenWidth <= 0)
            continue;
        const int w = printer.XInch(float(c.ScreenWidth) / ppi) + 2 * m.ix;
        // The first column that does not fit ends the list, however narrow later ones are.
        if (!fLeftOut.isEmpty() || x + w > m.right) {
            fLeftOut << c.Title;
            continue;
        }
        fColumns.push_back({ int(i), w });
        x += w;
    }
}

QString TJournalReport::LeftOutText(const QStringList& titles)
{
    if (titles.isEmpty())
        return {};
    return QStringLiteral("Не поместились столбцы: %1").arg(titles.join(QStringLiteral(", ")));
}

void TJournalReport::SetUpPage(TReportPrinter& printer, const TMetrics& m, int& y)
{
    TPageFont f;
    f.Family = fFont.Family;
    f.Height = TPageFont::HeightOfPoints(fFont.PointSize, printer.pYppi);
    f.Bold = fFont.Bold;
    f.Italic = fFont.Italic;
    f.Color = fFont.Color;
    printer.CurrCanvas()->SetFont(f);
    y = m.top;
}

void TJournalReport::DrawHead(TReportPrinter& printer, const TMetrics& m, int& y)
{
    TPageCanvas& c = *printer.CurrCanvas();
    const bool bold = c.Font().Bold;
    y = m.top;
    const int headHeight = 2 * c.TextExtent(u"W").height() + 2 * m.iy;
    c.SetBold(true);
    c.TextOut(m.left, m.top - 5 * m.iy, Title());
    int x = m.left;
    if (!fColumns.empty())
        c.Line(m.left, y, RowRight(m), y);
    for (const TReportLayoutColumn& col : fColumns) {
        const QString& caption = fSource->Columns[size_t(col.Source)].Title;
        const int top = y + m.iy;
        const QRect rect(QPoint(x + m.ix, top),
                         QPoint(x + col.Width - 1, top + 2 * c.TextExtent(caption).height() - 1));
        c.DrawText(rect, caption, tfWordBreak | tfEndEllipsis);
        x += col.Width;
    }
    RuleRow(c, m, y, headHeight);
    y += headHeight;
    c.SetBold(bold);
}

int TJournalReport::RowRight(const TMetrics& m) const
{
    int x = m.left;
    for (const TReportLayoutColumn& col : fColumns)
        x += col.Width;
    return x;
}

// Each cell is closed on its left, bottom and right; neighbours share their edge, so the
// row is ruled with one line under it and one at every column edge, which draws the same
// table with fewer strokes.
void TJournalReport::RuleRow(TPageCanvas& c, const TMetrics& m, int y, int height) const
{
    if (fColumns.empty())
        return;
    int x = m.left;
    if (height > 0)
        c.Line(x, y, x, y + height);
    for (const TReportLayoutColumn& col : fColumns) {
        x += col.Width;
        if (height > 0)
            c.Line(x, y, x, y + height);
    }
    c.Line(m.left, y + height, x, y + height);
}

void TJournalReport::DrawFoot(TReportPrinter& printer, const TMetrics& m, int page, int pages)
{
    TPageCanvas& c = *printer.GetCanvas(page);
    const bool bold = c.Font().Bold;
    c.SetBold(true);
    const int f = m.bottom + m.iy;
    c.Line(m.left, f, m.right, f);
    c.TextOut(m.left, f + 2 * m.iy, QString::asprintf(PageFootText().toUtf8().constData(), page, pages));
    const int year = fYear != 0 ? fYear : QDate::currentDate().year();
    const QString notice = QString::asprintf(NoticeText().toUtf8().constData(), year);
    c.TextOut(m.right - c.TextExtent(notice).width(), f + 2 * m.iy, notice);
    c.SetBold(bold);
}

bool TJournalReport::PrintReport(TReportPrinter& printer)
{
    const TReportSource& src = *fSource;
    printer.NewJob(Title());
    const TMetrics m(printer);
    int y = 0;
    SetUpPage(printer, m, y);
    ChooseColumns(printer, m);
    DrawHead(printer, m, y);
    int headBottom = y;

    auto newPage = [&] {
        const int done = printer.CurrentPage();
        printer.NewPage();
        SetUpPage(printer, m, y);
        DrawHead(printer, m, y);
        headBottom = y;
        if (fCallbacks.PageLaidOut)
            fCallbacks.PageLaidOut(done, printer.GetCanvas(done)->Snapshot());
    };

    const int total = src.RowCount;
    int lastStage = -1;
    bool cancelled = false;
    std::vector<std::vector<TTextLine>> lines(fColumns.size());
    for (int row = 0; row < total; ++row) {
        if (fCallbacks.Progress && row / 10 != lastStage) {
            lastStage = row / 10;
            fCallbacks.Progress(lastStage, total / 10);
        }
        if (fCallbacks.Cancel && fCallbacks.Cancel->load(std::memory_order_relaxed)) {
            cancelled = true;
            break;
        }

        // The measure and the drawing share one line breaking, so every line measured is a
        // line drawn: a text with line breaks or an over-long word is never cut short.
        const TFontMeasure& measure = printer.CurrCanvas()->Measure();
        const int lh = measure.LineHeight();
        size_t maxLines = 0;
        for (size_t i = 0; i < fColumns.size(); ++i) {
            const QString& text = src.Text(row, fColumns[i].Source);
            if (text.isEmpty())
                lines[i].clear();
            else
                lines[i] = WrapText(measure, text, fColumns[i].Width - 2 * m.ix);
            maxLines = std::max(maxLines, lines[i].size());
        }
        int rowHeight = maxLines > 0 ? int(maxLines) * lh + 2 * m.iy : 0;
        // A row that does not fit starts a new page, unless the page holds no row yet: a new
        // page would then only leave a page without rows behind.
        if (y + rowHeight > m.bottom && y > headBottom)
            newPage();

        // A row taller than a whole page goes on over as many pages as it needs, cut between
        // lines, so no text runs past the bottom limit into the foot or off the sheet.
        size_t from = 0;
        for (;;) {
            size_t count = maxLines - from;
            rowHeight = count > 0 ? int(count) * lh + 2 * m.iy : 0;
            const bool split = y + rowHeight > m.bottom && count > 1;
            if (split) {
                const int room = (m.bottom - y - 2 * m.iy) / std::max(1, lh);
                count = size_t(std::max(1, room));
                if (count >= maxLines - from)
                    count = maxLines - from;
                rowHeight = int(count) * lh + 2 * m.iy;
            }
            TPageCanvas& c = *printer.CurrCanvas();
            int x = m.left;
            for (size_t i = 0; i < fColumns.size(); ++i) {
                const std::vector<TTextLine>& l = lines[i];
                if (from < l.size()) {
                    const size_t n = std::min(count, l.size() - from);
                    // Clipped so that no glyph reaches a neighbour's cell, whatever the
                    // font draws beyond what was measured.
                    const QRect cell(x + m.ix, y + m.iy, fColumns[i].Width - 2 * m.ix,
                                     rowHeight - 2 * m.iy);
                    c.DrawLines(cell, src.Text(row, fColumns[i].Source),
                                std::span<const TTextLine>(l.data() + from, n));
                }
                x += fColumns[i].Width;
            }
            RuleRow(c, m, y, rowHeight);
            y += rowHeight;
            from += count;
            if (from >= maxLines)
                break;
            newPage();
        }
    }

    const int pages = printer.PageCount();
    for (int k = 1; k <= pages; ++k)
        DrawFoot(printer, m, k, pages);
    return !cancelled;
}

bool TJournalReport::DoReport(TReportPrinter& printer)
{
    const bool complete = PrintReport(printer);
    printer.DonePrinting();
    return complete;
}
