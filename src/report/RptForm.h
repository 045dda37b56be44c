#pragma once

#include "report/ExecForm.h"
#include "report/PrinterGeometry.h"

#include <QFont>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPrinter;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QToolBar;
class TDrawPanel;
class TReportPrinter;
class TWorker;

// What a layout is asked to do: the page of the printer, the report font and whether the
// pages will be shown and printed four to a sheet.
struct TReportSource;

struct TReportRequest {
    TPrinterGeometry Geometry;
    QFont Font;
    bool SpecialMode = false;
    // Gives what to print, on the worker: either a copy taken on the main thread when the
    // layout was asked for, or a read of the database on a connection of the worker's own.
    // Empty for layouts that bring their own.
    std::function<std::shared_ptr<const TReportSource>()> ReadSource;
};

class TRecordedPage;

// What a layout tells the window while it runs, from the worker thread.
struct TReportProgress {
    // Progress (stage of total); answers false when the layout should stop.
    std::function<bool(int stage, int total)> Step;
    // A page whose rows are complete, so the first page shows before the document is done.
    std::function<void(int page, std::shared_ptr<const TRecordedPage> draft)> Draft;
    // The titles of the shown columns the page had no room for, once the layout knows them.
    std::function<void(const QStringList& titles)> ColumnsLeftOut;
};
// Lays a report out into a recorder of its own. Runs on the worker thread, so it reads only
// data it owns; it may throw, which ends the worker after the window has shown the error.
using TReportLayout
    = std::function<std::unique_ptr<TReportPrinter>(const TReportRequest&, const TReportProgress&)>;

// The report window: lays the report out on a worker thread, shows the pages at a chosen
// zoom, pages through them, prints them and saves them.
class TRptForm : public TExecForm {
    Q_OBJECT
public:
    enum TPrintRangeChoice { prAll, prSelection, prPages };
    static constexpr int kWholePage = 8;
    static constexpr int kPageWidth = 7;
    static constexpr int kZoom100 = 2;

    explicit TRptForm(TReportLayout layout, QWidget* parent = nullptr);
    ~TRptForm() override;

    // Asked on the main thread every time a layout is asked for, so that "Обновить" shows
    // the journal as it is now; the reader it returns runs on the worker.
    using TSourceReader = std::function<std::shared_ptr<const TReportSource>()>;
    void SetSourceProvider(std::function<TSourceReader()> provider)
    {
        fSourceProvider = std::move(provider);
    }
    // The journal report laid out from the request's source.
    static TReportLayout JournalLayout();

    int PageIndex() const { return fPageIndex; }
    void SetPageIndex(int value);
    int PageCount() const { return fPageCount; }
    int ViewMode() const { return fViewMode; }
    bool Processing() const { return fProcessing; }
    // The finished document on show; nothing before the first layout ends.
    const TReportPrinter* Printer() const { return fPrn.get(); }
    const QFont& ReportFont() const { return fRptFont; }
    QPrinter& Device() { return *fPrinter; }
    QWidget* PagePanel() const;
    QScrollArea* ScrollBox() const { return fSbxMain; }
    QComboBox* ZoomList() const { return fCbxScale; }
    QCheckBox* GridPrintBox() const { return fCkbGridPrint; }
    QStatusBar* StatusBar() const { return fStbMain; }
    QAction* PrevPageAction() const { return fTbtPrevPage; }
    QAction* NextPageAction() const { return fTbtNextPage; }

    // Commands of the tool bar.
    void RequestLayout(); // "Обновить"
    void SetReportFont(const QFont& font); // the font dialog's OK and Apply
    void SetGridPrint(bool on); // "2 x 2"
    void SetZoomMode(int mode); // a zoom list item, or -1 for the typed percentage
    void ApplyTypedZoom(); // Enter in the zoom list
    void Print(); // "Печать"
    void PrintDialog(); // "Диалог печати"
    void PrinterSetup(); // "Настройка принтера"
    void SavePage(); // "Записать страницу в файл"
    // Prints pages from..to once the next layout is done, as the print dialog does.
    void PrintAfterLayout(TPrintRangeChoice choice, int from = 1, int to = 1);
    // Saves what the page save would save to fileName, without asking.
    bool SavePageTo(const QString& fileName, QString* error = nullptr);

    // Where the window's messages go; the system's message box by default.
    void SetMessageSink(std::function<void(const QString&)> sink) { fMessageSink = std::move(sink); }
    // Where a question with «Да» and «Нет» is asked (true for «Да»); the message box by
    // default.
    void SetQuestionSink(std::function<bool(const QString&)> sink)
    {
        fQuestionSink = std::move(sink);
    }
    // Where the name of a file to save is asked: caption, proposed name, filters separated
    // by ";;" and the chosen filter (in and out); an empty name cancels. The save dialog by
    // default.
    using TSaveNameSink = std::function<QString(
        const QString& caption, const QString& proposed, const QString& filters, QString* filter)>;
    void SetSaveNameSink(TSaveNameSink sink) { fSaveNameSink = std::move(sink); }
    // Whether a print would reach a printer or a file: false when no printer is installed and
    // the print dialog has not chosen a file.
    bool HasPrintTarget() const;

    // Waits (running the event loop) until no layout is pending; for tests and scripts.
    bool WaitForLayout(int timeoutMs = 30000);

    static QStringList ZoomItems();
    // The percentage of a typed zoom text: a whole number, 100 when it is none, kept within
    // 10..500 so a slip of the finger cannot ask for a page of gigabytes.
    static int TypedZoom(const QString& text);

signals:
    void LayoutFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TDrawPanel;
    void CreateToolBar();
    void WorkLoop();
    void LayoutStarted();
    struct TPrintJob {
        bool Wanted = false;
        int From = 1; // recorded pages
        int To = 1;
    };
    void LayoutDone(std::unique_ptr<TReportPrinter> printer, bool specialMode,
                    const QStringList& columnsLeftOut);
    // The print asked for with the last layout, taken on the main thread.
    TPrintJob TakePrintJob();
    void RunPrintJob(const TPrintJob& job);
    void UpdatePageCount(int count);
    void ApplyZoom();
    void ShowPageStatus();
    // Scrolls for a navigation key; false for any other key.
    bool HandleKey(QKeyEvent* key);
    void PaintPage(QPainter& painter, QSize size);
    TPrinterGeometry CurrentGeometry() const;
    void ShowMessage(const QString& text);
    bool Ask(const QString& question);
    QString AskSaveName(const QString& caption, const QString& proposed, const QString& filters,
                        QString* filter);
    // Without a printer the print button saves the report as a PDF file, if the user agrees.
    void OfferPdf();
    bool SaveReportAsPdf(const QString& fileName);
    // A printer whose job failed may stay active and refuse every later setting; it is
    // replaced by a fresh one with the same settings.
    void RenewPrinter();
    void StopPrinting();

    TReportLayout fLayout;
    TDrawPanel* fDrawPanel = nullptr;
    int fViewMode = kWholePage;
    int fTypedZoom = 100; // the percentage of mode -1, taken when Enter confirmed the text
    int fPageCount = 1;
    int fPageIndex = 1;
    int fOldPage = 1;
    TWorker* fWorker = nullptr;
    int fnLastPage = 0;
    std::atomic<bool> fProcessing = false;
    std::atomic<int> fPending = 0; // layouts asked for and not yet finished
    bool fPrintAction = false;
    std::atomic<bool> fJobRunning = false; // a print job is taken and not yet finished
    TPrinterGeometry fGeometry; // the printer's page, taken whenever a dialog changed it
    TPrintRangeChoice fPrintChoice = prAll;
    int fPrintFrom = 1;
    int fPrintTo = 1;
    std::unique_ptr<TReportPrinter> fPrn;
    std::unique_ptr<QPrinter> fPrinter;
    QFont fRptFont;
    bool fSpecialMode = false;
    std::function<void(const QString&)> fMessageSink;
    std::function<bool(const QString&)> fQuestionSink;
    TSaveNameSink fSaveNameSink;
    std::function<TSourceReader()> fSourceProvider;
    std::shared_ptr<const TRecordedPage> fDraft; // the first page of a layout in progress
    TReportRequest fRequest; // what the worker lays out next; written on the main thread
    QString fLeftOutText; // the columns the last layout had no room for, as the user reads it

    QToolBar* fTbrMain = nullptr;
    QAction* fTbtPrevPage = nullptr;
    QAction* fTbtNextPage = nullptr;
    QComboBox* fCbxScale = nullptr;
    QCheckBox* fCkbGridPrint = nullptr;
    QScrollArea* fSbxMain = nullptr;
    QWidget* fCanvas = nullptr; // the scroll box's content
    QWidget* fPnlShadow = nullptr;
    QProgressBar* fPgBar = nullptr;
    QStatusBar* fStbMain = nullptr;
};
