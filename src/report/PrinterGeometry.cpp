#include "report/PrinterGeometry.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

TPrinterGeometry TPrinterGeometry::Of(const QPrinter& printer)
{
    TPrinterGeometry g;
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    g.PrintableWidth = int(std::lround(printable.width()));
    g.PrintableHeight = int(std::lround(printable.height()));
    g.DpiX = std::max(1, printer.logicalDpiX());
    g.DpiY = std::max(1, printer.logicalDpiY());
    g.OffsetX = int(std::lround(printable.left() - paper.left()));
    g.OffsetY = int(std::lround(printable.top() - paper.top()));
    g.PaperMM = printer.paperRect(QPrinter::Millimeter).size();
    g.Orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? poLandscape
                                                                                : poPortrait;
    return g;
}

void TPrinterGeometry::SetUpPrinter(QPrinter& printer)
{
    if (!QPrinterInfo::defaultPrinter().isNull() || printer.outputFormat() == QPrinter::NativeFormat)
        return;
    printer.setPageSize(QPageSize(QPageSize::A4));
}

TPrinterGeometry TPrinterGeometry::A4(TPageOrientation orientation)
{
    TPrinterGeometry g;
    const double margin = 5.0;
    g.PaperMM = QSizeF(210.0, 297.0);
    g.PrintableWidth = int(std::lround((210.0 - 2 * margin) * g.DpiX / 25.4));
    g.PrintableHeight = int(std::lround((297.0 - 2 * margin) * g.DpiY / 25.4));
    g.OffsetX = int(std::lround(margin * g.DpiX / 25.4));
    g.OffsetY = int(std::lround(margin * g.DpiY / 25.4));
    return g.Turned(orientation);
}

TPrinterGeometry TPrinterGeometry::Turned(TPageOrientation orientation) const
{
    if (orientation == Orientation)
        return *this;
    TPrinterGeometry g = *this;
    g.Orientation = orientation;
    std::swap(g.PrintableWidth, g.PrintableHeight);
    std::swap(g.DpiX, g.DpiY);
    std::swap(g.OffsetX, g.OffsetY);
    g.PaperMM.transpose();
    return g;
}
