#include "report/ReportPrinter.h"

#include "report/EmfWriter.h"
#include "report/ReportTarget.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <cmath>

namespace {

// The platform's MulDiv: a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    return int(std::llround(double(static_cast<long long>(a) * b) / c));
}

} // namespace

TReportPrinter::TReportPrinter(const TPrinterGeometry& geometry)
    : fGeometry(geometry)
{
}

TReportPrinter::~TReportPrinter()
{
    Abort();
    DonePrinting();
}

QPoint TReportPrinter::PageSize() const
{
    const int wmm = MulDiv(fGeometry.PrintableWidth, 254, fGeometry.DpiX * 10);
    const int hmm = MulDiv(fGeometry.PrintableHeight, 254, fGeometry.DpiY * 10);
    return QPoint(Xmm(float(wmm)), Ymm(float(hmm)));
}

void TReportPrinter::NewJob(const QString& title)
{
    fPages.clear();
    fCurrentPage = 0;
    fDonePrinting = false;
    XOff = fGeometry.OffsetX;
    YOff = fGeometry.OffsetY;
    fTitle = title;
    pXppi = pYppi = 1200;
    NewPage();
}

int TReportPrinter::NewPage()
{
    if (fDonePrinting)
        return -1;
    const QPoint size = PageSize();
    TPageSlot slot;
    slot.Canvas = std::make_unique<TPageCanvas>(QSize(size.x(), size.y()), fMeasures);
    TPageFont font;
    font.Family = QStringLiteral("DejaVu Sans");
    font.Height = TPageFont::HeightOfPoints(12, pYppi);
    slot.Canvas->SetFont(font);
    fPages.push_back(std::move(slot));
    fCurrentPage = int(fPages.size());
    return fCurrentPage;
}

TPageCanvas* TReportPrinter::GetCanvas(int index) const
{
    if (index < 1 || index > PageCount())
        return nullptr;
    return fPages[size_t(index - 1)].Canvas.get();
}

void TReportPrinter::DonePrinting()
{
    if (fDonePrinting)
        return;
    for (TPageSlot& slot : fPages) {
        if (slot.Canvas)
            slot.Page = slot.Canvas->Finish();
        slot.Canvas.reset();
    }
    fDonePrinting = true;
}

void TReportPrinter::SetCurrentPage(int value)
{
    if (value >= 1 && value <= PageCount())
        fCurrentPage = value;
}

std::shared_ptr<const TRecordedPage> TReportPrinter::GetMetafile(int index) const
{
    if (!fDonePrinting || index < 1 || index > PageCount())
        return nullptr;
    return fPages[size_t(index - 1)].Page;
}

void TReportPrinter::DrawSheet(QPainter& painter, const QRectF& area, int firstPage) const
{
    auto draw = [&](int page, const QRectF& r) {
        if (const auto m = GetMetafile(page))
            m->Replay(painter, r);
    };
    if (!fSpecialMode) {
        draw(firstPage, area);
        return;
    }
    // Four pages run down the left half and then down the right half of the sheet.
    const qreal qw = std::floor(area.width() / 2);
    const qreal qh = std::floor(area.height() / 2);
    const QPointF o = area.topLeft();
    draw(firstPage, QRectF(o, QSizeF(qw, qh)));
    draw(firstPage + 1, QRectF(o + QPointF(0, qh), QSizeF(qw, qh)));
    draw(firstPage + 2, QRectF(o + QPointF(qw, 0), QSizeF(qw, qh)));
    draw(firstPage + 3, QRectF(o + QPointF(qw, qh), QSizeF(qw, qh)));
}

void TReportPrinter::DisplayPage(QPainter& painter, QSize size, int page) const
{
    const int count = fSpecialMode ? (PageCount() + 3) / 4 : PageCount();
    if (page < 1 || page > count)
        return;
    const int w = size.width();
    const int h = size.height();
    // The frame's right and bottom edges lie inside the rectangle, as on the page panel.
    painter.drawRect(QRect(0, 0, w - 1, h - 1));
    painter.fillRect(QRect(1, 1, w - 2, h - 2), painter.brush());
    DrawSheet(painter, QRectF(0, 0, w, h), fSpecialMode ? 4 * page - 3 : page);
}

bool TReportPrinter::RenderSheets(QPainter& painter, const QRectF& area, int nFrom, int nTo,
                                  const std::function<bool()>& newSheet)
{
    const int step = fSpecialMode ? 4 : 1;
    for (int i = nFrom; i <= nTo; i += step) {
        if (fAbort)
            return false;
        if (i != nFrom && !newSheet())
            return false;
        DrawSheet(painter, area, i);
    }
    return true;
}

namespace {

QString PrintFailure(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        if (printer.outputFileName().isEmpty())
            return QStringLiteral("Отчёт не напечатан: не выбран ни принтер, ни файл.");
        return QStringLiteral("Отчёт не напечатан: файл %1 не удалось записать.")
            .arg(printer.outputFileName());
    }
    if (printer.printerName().isEmpty())
        return QStringLiteral("Отчёт не напечатан: принтер не установлен.");
    return QStringLiteral("Отчёт не напечатан: принтер «%1» не принял задание.")
        .arg(printer.printerName());
}

} // namespace

bool TReportPrinter::PrintRange(QPrinter& printer, int nFrom, int nTo, QString* error)
{
    DonePrinting();
    if (nFrom <= 0 || nFrom > PageCount() || nTo <= 0 || nTo > PageCount())
        return true;
    fAbort = false;
    printer.setDocName(fTitle);
    printer.setPageOrientation(fGeometry.Orientation == poLandscape ? QPageLayout::Landscape
                                                                     : QPageLayout::Portrait);
    printer.setFullPage(false);
    fPrinting = true;
    QPainter painter;
    if (!painter.begin(&printer)) {
        fPrinting = false;
        if (error)
            *error = PrintFailure(printer);
        return false;
    }
    const QRectF area(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    bool ok = true;
    try {
        ok = RenderSheets(painter, area, nFrom, nTo, [&] { return printer.newPage(); });
    } catch (...) {
        painter.end();
        fPrinting = false;
        throw;
    }
    if (!ok)
        printer.abort();
    const bool ended = painter.end();
    fPrinting = false;
    // A job stopped on request is no failure; a sheet the printer refused is.
    if (!ok && fAbort)
        return false;
    if (!ok || !ended || printer.printerState() == QPrinter::Error) {
        if (error)
            *error = PrintFailure(printer);
        return false;
    }
    return ok;
}

QString TReportPrinter::PageFileName(const QString& theFile, int page)
{
    return theFile + QStringLiteral("%1.emf").arg(page, 2, 10, QChar(u'0'));
}

bool TReportPrinter::MayWrite(const QString& fileName, QString* error) const
{
    const QString refusal = ReportTargetRefusal(fileName, fProtectedFiles);
    if (refusal.isEmpty())
        return true;
    if (error)
        *error = refusal;
    return false;
}

bool TReportPrinter::SavePageToFile(int page, const QString& fileName, QString* error) const
{
    if (!MayWrite(fileName, error))
        return false;
    const auto m = GetMetafile(page);
    if (!m) {
        if (error)
            *error = QStringLiteral("Страницы %1 нет в готовом отчёте.").arg(page);
        return false;
    }
    return TEmfWriter::Save(*m, fileName, fTitle, error);
}

bool TReportPrinter::SaveToFile(const QString& theFile, QString* error) const
{
    if (!fDonePrinting) {
        if (error)
            *error = QStringLiteral("Отчёт ещё не готов.");
        return false;
    }
    for (int i = 1; i <= PageCount(); ++i)
        if (!MayWrite(PageFileName(theFile, i), error))
            return false;
    for (int i = 1; i <= PageCount(); ++i)
        if (!SavePageToFile(i, PageFileName(theFile, i), error))
            return false;
    return true;
}

bool TReportPrinter::SaveToPdf(const QString& fileName, QString* error)
{
    if (!MayWrite(fileName, error))
        return false;
    DonePrinting();
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл %1: %2").arg(fileName, why);
        return false;
    };
    // Written beside the target and moved over it when complete, so a failed save never
    // leaves a broken file in place of a good one.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    QPdfWriter writer(&file);
    writer.setResolution(1200);
    writer.setTitle(fTitle);
    writer.setCreator(QStringLiteral("veskor"));
    const QSizeF paper = fGeometry.PaperMM.isEmpty() ? QSizeF(210, 297) : fGeometry.PaperMM;
    // The page size is given portrait and turned by the orientation.
    const QSizeF upright = paper.width() <= paper.height() ? paper : paper.transposed();
    const QMarginsF margins(fGeometry.OffsetX * 25.4 / fGeometry.DpiX,
                            fGeometry.OffsetY * 25.4 / fGeometry.DpiY, 0, 0);
    writer.setPageLayout(QPageLayout(QPageSize(upright, QPageSize::Millimeter),
                                     fGeometry.Orientation == poLandscape ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait,
                                     QMarginsF(), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        return fail(QStringLiteral("файл не открывается для записи"));
    const double unit = 1200.0 / 25.4;
    const QRectF area(margins.left() * unit, margins.top() * unit,
                      fGeometry.PrintableWidth * 1200.0 / fGeometry.DpiX,
                      fGeometry.PrintableHeight * 1200.0 / fGeometry.DpiY);
    const int count = PageCount();
    bool ok = true;
    if (count > 0)
        ok = RenderSheets(painter, area, 1, count, [&] { return writer.newPage(); });
    if (!painter.end() || !ok)
        return fail(QStringLiteral("ошибка записи"));
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
