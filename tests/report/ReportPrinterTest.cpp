#include "EmfReader.h"
#include "report/ReportPrinter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

int PdfPageCount(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(f.readAll())
                   .count(QRegularExpression("/Type\\s*/Page(?!s)")));
}

// A document of n pages; page k carries a wide bar in its own colour across its middle.
void Record(TReportPrinter& prn, int n)
{
    prn.NewJob("Журнал анализов");
    for (int k = 1; k <= n; ++k) {
        if (k > 1)
            prn.NewPage();
        TPageCanvas& c = *prn.CurrCanvas();
        const QSize s = c.PageSize();
        c.SetPen({ s.width() / 4, qRgb(10 * k, 255 - 10 * k, 100) });
        c.Line(s.width() / 4, s.height() / 2, 3 * s.width() / 4, s.height() / 2);
        c.TextOut(100, 100, QString("Страница %1").arg(k));
    }
}

TEST(ReportPrinterTest, ConversionsTruncate)
{
    TReportPrinter prn;
    EXPECT_EQ(prn.Xmm(1), 47);
    EXPECT_EQ(prn.Xmm(5), 236);
    EXPECT_EQ(prn.Xmm(10), 472);
    EXPECT_EQ(prn.Ymm(20), 944);
    EXPECT_EQ(prn.XInch(float(100) / float(96)), 1249);
    EXPECT_EQ(prn.XInch(float(64) / float(96)), 800);
    // A4 with a printable width of 200 mm.
    EXPECT_EQ(prn.PageSize().x(), 9448);
    EXPECT_EQ(prn.PageSize().y(), prn.Ymm(287));
    prn.SetOrientation(poLandscape);
    EXPECT_EQ(prn.PageSize().y(), 9448);
}

TEST(ReportPrinterTest, PrinterWithoutASystemPrinterIsA4)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    QPrinter printer(QPrinter::HighResolution);
    TPrinterGeometry::SetUpPrinter(printer);
    const TPrinterGeometry g = TPrinterGeometry::Of(printer);
    EXPECT_NEAR(g.PaperMM.width(), 210, 0.5);
    EXPECT_NEAR(g.PaperMM.height(), 297, 0.5);
    EXPECT_EQ(g.DpiX, 1200);
    EXPECT_GT(g.PrintableWidth, 8000);
}

TEST(ReportPrinterTest, RecordsPagesUntilDone)
{
    TReportPrinter prn;
    EXPECT_EQ(prn.PageCount(), 0);
    EXPECT_EQ(prn.CurrentPage(), 0);
    prn.NewJob("t");
    ASSERT_NE(prn.CurrCanvas(), nullptr);
    EXPECT_EQ(prn.CurrCanvas()->Font().Family, "DejaVu Sans");
    EXPECT_EQ(prn.CurrCanvas()->Font().Height, 200);
    EXPECT_EQ(prn.NewPage(), 2);
    EXPECT_EQ(prn.CurrentPage(), 2);
    EXPECT_EQ(prn.GetCanvas(0), nullptr);
    EXPECT_EQ(prn.GetCanvas(3), nullptr);
    EXPECT_EQ(prn.GetMetafile(1), nullptr) << "no page is handed out while recording";
    prn.SetCurrentPage(0);
    EXPECT_EQ(prn.CurrentPage(), 2);
    prn.SetCurrentPage(1);
    EXPECT_EQ(prn.CurrentPage(), 1);

    prn.DonePrinting();
    EXPECT_EQ(prn.NewPage(), -1);
    EXPECT_EQ(prn.PageCount(), 2);
    EXPECT_EQ(prn.GetCanvas(1), nullptr);
    ASSERT_NE(prn.GetMetafile(2), nullptr);
    EXPECT_EQ(prn.GetMetafile(2)->Size, QSize(9448, prn.Ymm(287)));

    prn.NewJob("again");
    EXPECT_EQ(prn.PageCount(), 1);
    EXPECT_EQ(prn.GetMetafile(1), nullptr);
}

TEST(ReportPrinterTest, DisplaysFourPagesPerSheetDownTheColumnsFirst)
{
    TReportPrinter prn;
    Record(prn, 5);
    prn.DonePrinting();
    const QSize size(400, 560);
    auto render = [&](int sheet) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setBrush(Qt::white);
        prn.DisplayPage(p, size, sheet);
        return img;
    };
    auto colourOf = [](int k) { return qRgb(10 * k, 255 - 10 * k, 100); };
    const QPoint tl(100, 140), bl(100, 420), tr(300, 140), br(300, 420);

    QImage one = render(1);
    EXPECT_EQ(one.pixel(200, 280), colourOf(1)) << "normal mode: the whole rectangle";

    prn.SetSpecialMode(true);
    QImage first = render(1);
    EXPECT_EQ(first.pixel(tl), colourOf(1));
    EXPECT_EQ(first.pixel(bl), colourOf(2));
    EXPECT_EQ(first.pixel(tr), colourOf(3));
    EXPECT_EQ(first.pixel(br), colourOf(4));
    QImage second = render(2);
    EXPECT_EQ(second.pixel(tl), colourOf(5));
    EXPECT_EQ(second.pixel(bl), qRgb(255, 255, 255));
    EXPECT_EQ(second.pixel(tr), qRgb(255, 255, 255));
    EXPECT_EQ(second.pixel(br), qRgb(255, 255, 255));
    QImage none = render(3);
    EXPECT_EQ(none.pixel(tl), qRgb(255, 255, 255));
}

TEST(ReportPrinterTest, PrintsRangesOnAPdfPrinter)
{
    struct Case {
        const char* name;
        bool twoByTwo;
        int from;
        int to;
        int sheets; // -1: no job at all
    };
    const Case cases[] = {
        { "all", false, 1, 5, 5 },
        { "range", false, 2, 3, 2 },
        { "2 x 2 all", true, 1, 5, 2 },
        { "2 x 2 one sheet from page 2", true, 2, 2, 1 },
        { "from 0", false, 0, 3, -1 },
        { "to past the end", false, 3, 9, -1 },
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Case& c : cases) {
        TReportPrinter prn;
        Record(prn, 5);
        prn.SetSpecialMode(c.twoByTwo);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = dir.filePath(QString("p%1.pdf").arg(++n));
        printer.setOutputFileName(path);
        EXPECT_TRUE(prn.PrintRange(printer, c.from, c.to)) << c.name;
        EXPECT_TRUE(prn.Done()) << c.name;
        if (c.sheets < 0)
            EXPECT_FALSE(QFile::exists(path)) << c.name;
        else
            EXPECT_EQ(PdfPageCount(path), c.sheets) << c.name;
    }
}

TEST(ReportPrinterTest, SavesRealEmfFilesNamedWithoutBlanks)
{
    QTemporaryDir dir;
    TReportPrinter prn;
    Record(prn, 3);
    QString error;
    EXPECT_FALSE(prn.SaveToFile(dir.filePath("a"), &error)) << "not while recording";
    EXPECT_FALSE(error.isEmpty());
    prn.DonePrinting();
    ASSERT_TRUE(prn.SaveToFile(dir.filePath("a"), &error)) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({ "a01.emf", "a02.emf", "a03.emf" }));
    QFile f(dir.filePath("a02.emf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const TEmfFile emf = ReadEmf(f.readAll());
    ASSERT_TRUE(emf.Error.isEmpty()) << emf.Error.toStdString();
    EXPECT_EQ(emf.Texts, QStringList({ "Страница 2" }));
    EXPECT_EQ(emf.Device, QSize(9448, prn.Ymm(287)));
    EXPECT_EQ(emf.Frame.right() + 1, qRound(9448 * 2540 / 1200.0)); // hundredths of a mm
    EXPECT_EQ(emf.Millimeters, QSize(200, 287));

    EXPECT_FALSE(prn.SavePageToFile(1, dir.filePath("no/such/folder/x.emf"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ReportPrinterTest, SavesTheWholeDocumentAsPdf)
{
    QTemporaryDir dir;
    TReportPrinter prn;
    Record(prn, 5);
    QString error;
    ASSERT_TRUE(prn.SaveToPdf(dir.filePath("r.pdf"), &error)) << error.toStdString();
    EXPECT_EQ(PdfPageCount(dir.filePath("r.pdf")), 5);
    prn.SetSpecialMode(true);
    ASSERT_TRUE(prn.SaveToPdf(dir.filePath("s.pdf"), &error));
    EXPECT_EQ(PdfPageCount(dir.filePath("s.pdf")), 2);
    EXPECT_FALSE(prn.SaveToPdf(dir.filePath("no/such/folder/r.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
