#pragma once

#include "report/PageFont.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class TPageCanvas;
class TReportPrinter;
class TRecordedPage;
struct TReportSource;

// The report font as the user chooses it, in points.
struct TReportFont {
    QString Family = QStringLiteral("Arial");
    double PointSize = 6;
    bool Bold = false;
    bool Italic = false;
    QRgb Color = 0xff000000;
};

// Where a layout tells its caller how far it is. Every callback runs on the layout's thread.
struct TReportCallbacks {
    // Before each record: (records laid out before it div 10, record count div 10), called
    // when the pair changes.
    std::function<void(int stage, int total)> Progress;
    // A page whose rows are complete (its foot comes at the end), for a preview that shows
    // the first page before the document is finished.
    std::function<void(int page, std::shared_ptr<const TRecordedPage> draft)> PageLaidOut;
    // Checked before each record; when set, the layout stops and the document is finished
    // with the pages laid out so far.
    const std::atomic<bool>* Cancel = nullptr;
};

// A column that made it onto the page, with its width in page units.
struct TReportLayoutColumn {
    int Source = 0; // index into the source's columns
    int Width = 0;
};

// The journal report: a ruled table of the source's rows with a bold title, a head with the
// column titles and a foot on every page, recorded into a TReportPrinter.
//
// It reads nothing but its source, so it may run on any thread. A report window takes the
// source on the main thread (TakeReportSource, or DescribeReportQuery there and
// ReadReportSource on the worker) and the page geometry from its printer
// (TPrinterGeometry::Of), lays out into a recorder of the worker's own, shows drafts from
// PageLaidOut meanwhile, and takes the finished recorder over on the main thread; a newer
// request sets Cancel and drops the older result.
class TJournalReport {
public:
    static QString Title() { return QStringLiteral("Журнал анализов"); }
    static QString PageFootText() { return QStringLiteral("Страница %d из %d"); }
    static QString NoticeText()
    {
        return QStringLiteral("Журнал регистрации результатов токсикологической лаборатории, %d г.");
    }

    explicit TJournalReport(std::shared_ptr<const TReportSource> source);

    void SetFont(const TReportFont& font) { fFont = font; }
    const TReportFont& Font() const { return fFont; }
    void SetCallbacks(TReportCallbacks callbacks) { fCallbacks = std::move(callbacks); }
    // The year in the notice; the current year when 0.
    void SetYear(int year) { fYear = year; }

    // Lays the whole document out from a new job; false when cancelled.
    bool PrintReport(TReportPrinter& printer);
    // PrintReport, then finishes the document.
    bool DoReport(TReportPrinter& printer);

    const std::vector<TReportLayoutColumn>& Columns() const { return fColumns; }
    // The titles of the shown columns that did not fit across the page, in table order.
    const QStringList& LeftOutColumns() const { return fLeftOut; }
    // The line that names them for the user; empty when every column fitted.
    static QString LeftOutText(const QStringList& titles);

private:
    struct TMetrics;
    void ChooseColumns(const TReportPrinter& printer, const TMetrics& m);
    void SetUpPage(TReportPrinter& printer, const TMetrics& m, int& y);
    void DrawHead(TReportPrinter& printer, const TMetrics& m, int& y);
    int RowRight(const TMetrics& m) const;
    void RuleRow(TPageCanvas& canvas, const TMetrics& m, int y, int height) const;
    void DrawFoot(TReportPrinter& printer, const TMetrics& m, int page, int pages);

    std::shared_ptr<const TReportSource> fSource;
    TReportFont fFont;
    TReportCallbacks fCallbacks;
    int fYear = 0;
    std::vector<TReportLayoutColumn> fColumns;
    QStringList fLeftOut;
};
