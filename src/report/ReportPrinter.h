#pragma once

#include "report/PageCanvas.h"
#include "report/PrinterGeometry.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

// Records a printed document as a list of pages, each a vector drawing in units of 1/1200
// inch on a page the size of the printer's printable area, and shows, prints and saves the
// finished pages.
//
// Recording belongs to one thread: the layout fills a recorder of its own and hands it over
// when it is finished. A finished document is read-only (apart from CurrentPage and
// SpecialMode, the viewer's state), so it may be shown on one thread while another prints it.
class TReportPrinter {
public:
    explicit TReportPrinter(const TPrinterGeometry& geometry = TPrinterGeometry::A4());
    ~TReportPrinter();
    TReportPrinter(const TReportPrinter&) = delete;
    TReportPrinter& operator=(const TReportPrinter&) = delete;

    // Units per inch across and down the page.
    int pXppi = 1200;
    int pYppi = 1200;
    // The printer's printing offset at the start of the job; kept only.
    int XOff = 0;
    int YOff = 0;

    // Conversions to page units, all truncating toward zero.
    int XInch(float inches) const { return int(double(pXppi) * double(inches)); }
    int YInch(float inches) const { return int(double(pYppi) * double(inches)); }
    int Xmm(float mm) const { return int(double(pXppi) * double(mm) / 25.4); }
    int Ymm(float mm) const { return int(double(pYppi) * double(mm) / 25.4); }
    int devXdpi() const { return fGeometry.DpiX; }
    int devYdpi() const { return fGeometry.DpiY; }
    // The printable area in whole millimetres (rounded), in page units (truncated).
    QPoint PageSize() const;

    const TPrinterGeometry& Geometry() const { return fGeometry; }
    // Takes the printer's page for the next job; the pages recorded so far keep theirs.
    void SetGeometry(const TPrinterGeometry& geometry) { fGeometry = geometry; }
    TPageOrientation Orientation() const { return fGeometry.Orientation; }
    void SetOrientation(TPageOrientation value) { fGeometry = fGeometry.Turned(value); }

    const QString& Title() const { return fTitle; }
    bool SpecialMode() const { return fSpecialMode; }
    void SetSpecialMode(bool value) { fSpecialMode = value; }

    // Recording.
    void NewJob(const QString& title);
    int NewPage(); // the new page's number, or -1 when the document is finished
    TPageCanvas* GetCanvas(int index) const; // nothing outside 1..PageCount or once finished
    TPageCanvas* CurrCanvas() const { return GetCanvas(fCurrentPage); }
    void DonePrinting();
    bool Done() const { return fDonePrinting; }

    int PageCount() const { return int(fPages.size()); }
    int CurrentPage() const { return fCurrentPage; }
    void SetCurrentPage(int value);
    // The finished page, or nothing while the document is being recorded or out of range.
    std::shared_ptr<const TRecordedPage> GetMetafile(int index) const;

    // Output. In 2 x 2 mode Page counts sheets of four pages.
    void DisplayPage(QPainter& painter, QSize size, int page) const;
    // Prints pages nFrom..nTo on printer (finishing the document first); nothing when either
    // number is outside 1..PageCount. False when the printer could not start or finish the
    // job, with the reason in error, or when the job was aborted, with error left empty.
    bool PrintRange(QPrinter& printer, int nFrom, int nTo, QString* error = nullptr);
    bool PrintPage(QPrinter& printer, int page) { return PrintRange(printer, page, page); }
    bool PrintIt(QPrinter& printer) { return PrintRange(printer, 1, PageCount()); }
    // Stops a print job in progress after its current page; any thread may ask.
    void Abort() { fAbort = true; }
    bool Printing() const { return fPrinting; }

    // Every save refuses, with a message and without writing, a file that is one of these
    // or any SQLite database (ReportTargetRefusal), and replaces a file only once the new
    // one is complete.
    void SetProtectedFiles(QStringList files) { fProtectedFiles = std::move(files); }
    const QStringList& ProtectedFiles() const { return fProtectedFiles; }
    bool MayWrite(const QString& fileName, QString* error = nullptr) const;

    // Saves every page as an enhanced metafile file named TheFile, the page number in two
    // digits and ".emf" (report01.emf, report02.emf, ...). Only a finished document; no
    // page is written when any of the names is refused.
    bool SaveToFile(const QString& theFile, QString* error = nullptr) const;
    static QString PageFileName(const QString& theFile, int page);
    bool SavePageToFile(int page, const QString& fileName, QString* error = nullptr) const;
    // The whole document as a PDF file on sheets of the printer's paper, 2 x 2 if so set.
    bool SaveToPdf(const QString& fileName, QString* error = nullptr);

private:
    struct TPageSlot {
        std::unique_ptr<TPageCanvas> Canvas;
        std::shared_ptr<const TRecordedPage> Page;
    };
    // Draws sheets for pages nFrom..nTo into area, calling newSheet before every sheet but
    // the first; stops early when aborted.
    bool RenderSheets(QPainter& painter, const QRectF& area, int nFrom, int nTo,
                      const std::function<bool()>& newSheet);
    void DrawSheet(QPainter& painter, const QRectF& area, int firstPage) const;

    TPrinterGeometry fGeometry;
    TFontMeasureCache fMeasures;
    std::vector<TPageSlot> fPages;
    bool fSpecialMode = false;
    int fCurrentPage = 0;
    bool fDonePrinting = false;
    QString fTitle;
    QStringList fProtectedFiles;
    std::atomic<bool> fAbort = false;
    std::atomic<bool> fPrinting = false;
};
