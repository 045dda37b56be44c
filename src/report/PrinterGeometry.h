#pragma once

#include <QSizeF>

class QPrinter;

enum TPageOrientation { poPortrait, poLandscape };

// What the recorder needs to know of a printer, taken on the thread that owns the printer
// so that a layout on another thread never touches it.
struct TPrinterGeometry {
    int PrintableWidth = 0; // device pixels
    int PrintableHeight = 0;
    int DpiX = 1200;
    int DpiY = 1200;
    int OffsetX = 0; // the printable area's corner on the paper, device pixels
    int OffsetY = 0;
    QSizeF PaperMM; // the sheet, millimetres, as oriented
    TPageOrientation Orientation = poPortrait;

    static TPrinterGeometry Of(const QPrinter& printer);
    // A printer object for the report: the system's default printer, or when none is
    // installed a PDF printer on A4 (the paper size Qt would otherwise take from the locale).
    static void SetUpPrinter(QPrinter& printer);
    // The page used when there is no printer: A4 with 5 mm margins at 1200 dots per inch.
    static TPrinterGeometry A4(TPageOrientation orientation = poPortrait);
    // The same sheet turned the other way.
    TPrinterGeometry Turned(TPageOrientation orientation) const;
};
