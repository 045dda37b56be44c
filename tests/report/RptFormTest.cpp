#include "report/RecordedPage.h"
#include "report/ReportPrinter.h"
#include "report/ReportSource.h"
#include "report/RptForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

// A layout of a given number of pages, each with its number written on it.
struct TFakeLayout {
    std::shared_ptr<std::atomic<int>> Pages = std::make_shared<std::atomic<int>>(1);
    std::shared_ptr<std::atomic<int>> Runs = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> StepMs = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> LaidOut = std::make_shared<std::atomic<int>>(0);

    TReportLayout Function() const
    {
        auto pages = Pages;
        auto runs = Runs;
        auto step = StepMs;
        auto laidOut = LaidOut;
        return [pages, runs, step, laidOut](const TReportRequest& request,
                                            const TReportProgress& progress) {
            auto printer = std::make_unique<TReportPrinter>(request.Geometry);
            printer->NewJob(QStringLiteral("Отчёт"));
            const int count = pages->load();
            for (int i = 1; i <= count; ++i) {
                if (i > 1)
                    printer->NewPage();
                printer->CurrCanvas()->TextOut(100, 100, QString::number(i));
                ++*laidOut;
                if (step->load() > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(step->load()));
                if (!progress.Step(i, count))
                    break;
            }
            printer->DonePrinting();
            ++*runs;
            return printer;
        };
    }
};

class RptFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "report_form_tests";
        static char* argv[] = { name, nullptr };
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    std::unique_ptr<TRptForm> Show(int pages)
    {
        fLayout.Pages->store(pages);
        auto form = std::make_unique<TRptForm>(fLayout.Function());
        form->resize(733, 712);
        form->show();
        EXPECT_TRUE(form->WaitForLayout());
        return form;
    }

    TFakeLayout fLayout;
    QStringList fMessages;
};

TEST_F(RptFormTest, OnePageReportShowsTheWholePageCentred)
{
    auto form = Show(1);
    EXPECT_EQ(form->PageCount(), 1);
    EXPECT_EQ(form->ViewMode(), TRptForm::kWholePage);
    EXPECT_FALSE(form->StatusBar()->isVisible());
    EXPECT_FALSE(form->NextPageAction()->isVisible());
    const QRect page = form->PagePanel()->geometry();
    const QSize client = form->ScrollBox()->viewport()->size();
    EXPECT_NEAR(page.center().x(), client.width() / 2, 2);
    EXPECT_NEAR(page.center().y(), client.height() / 2, 2);
    EXPECT_TRUE(page.height() == client.height() - 16 || page.width() == client.width() - 16);
}

TEST_F(RptFormTest, PagesAndStatusText)
{
    auto form = Show(3);
    EXPECT_EQ(form->PageCount(), 3);
    EXPECT_TRUE(form->StatusBar()->isVisible());
    EXPECT_EQ(form->StatusBar()->currentMessage(), "Страница 1 из 3");
    EXPECT_FALSE(form->PrevPageAction()->isEnabled());
    form->NextPageAction()->trigger();
    form->NextPageAction()->trigger();
    form->NextPageAction()->trigger();
    EXPECT_EQ(form->PageIndex(), 3);
    EXPECT_EQ(form->StatusBar()->currentMessage(), "Страница 3 из 3");
    EXPECT_FALSE(form->NextPageAction()->isEnabled());
    // A new layout keeps the page the user was on.
    form->RequestLayout();
    ASSERT_TRUE(form->WaitForLayout());
    EXPECT_EQ(form->PageIndex(), 3);
}

TEST_F(RptFormTest, TwoByTwoCountsSheetsOnlyAfterALayout)
{
    auto form = Show(9);
    EXPECT_EQ(form->PageCount(), 9);
    form->GridPrintBox()->click();
    QApplication::processEvents();
    EXPECT_EQ(form->PageCount(), 9);
    form->RequestLayout();
    ASSERT_TRUE(form->WaitForLayout());
    EXPECT_EQ(form->PageCount(), 3);
    EXPECT_EQ(form->StatusBar()->currentMessage(), "Страница 1 из 3");
}

TEST_F(RptFormTest, TypedZoomIsAWholeNumberWithinBounds)
{
    auto form = Show(1);
    QComboBox* zoom = form->ZoomList();
    zoom->setCurrentIndex(TRptForm::kZoom100);
    emit zoom->activated(TRptForm::kZoom100);
    const int at100 = form->PagePanel()->width();
    // Typed as the user does, into the combo box that has the focus, with the text the box
    // shows once Enter has been pressed.
    struct {
        const char* Text;
        int Percent;
        const char* Shown;
    } cases[] = { { "120", 120, "120" }, { "130", 130, "130" }, { "10", 10, "10" },
        { " 75 ", 75, " 75 " }, { "120%", 100, "100%" }, { "abc", 100, "100%" },
        { "", 100, "100%" }, { "0", 10, "10" }, { "-5", 10, "10" }, { "100000", 500, "500" },
        { "99999999999", 100, "100%" }, { "150%", 150, "150%" } };
    for (const auto& c : cases) {
        if (zoom->findText(c.Text) < 0) {
            EXPECT_EQ(TRptForm::TypedZoom(c.Text), c.Percent) << c.Text;
        }
        zoom->setFocus();
        zoom->lineEdit()->selectAll();
        QTest::keyClick(zoom, Qt::Key_Delete);
        QTest::keyClicks(zoom, c.Text);
        EXPECT_EQ(zoom->currentText(), c.Text) << "the box completes nothing";
        QTest::keyClick(zoom, Qt::Key_Return);
        EXPECT_NEAR(form->PagePanel()->width(), at100 * c.Percent / 100, 1 + c.Percent / 100) << c.Text;
        EXPECT_EQ(zoom->currentText(), c.Shown) << c.Text;
    }

    // The typed zoom waits for Enter and stays when the window is resized.
    zoom->lineEdit()->setText("200");
    emit zoom->lineEdit()->textEdited("200");
    QTest::keyClick(zoom, Qt::Key_Return);
    const int at200 = form->PagePanel()->width();
    EXPECT_NEAR(at200, at100 * 2, 2);
    zoom->lineEdit()->setText("50");
    emit zoom->lineEdit()->textEdited("50");
    EXPECT_EQ(form->PagePanel()->width(), at200);
    form->resize(800, 700);
    QApplication::processEvents();
    EXPECT_EQ(form->PagePanel()->width(), at200);
}

TEST_F(RptFormTest, StatusLineNamesTheColumnsThatDidNotFit)
{
    auto source = std::make_shared<TReportSource>();
    for (int i = 1; i <= 5; ++i)
        source->Columns.push_back({ QStringLiteral("Столбец %1").arg(i), 200, true });
    auto form = std::make_unique<TRptForm>(TRptForm::JournalLayout());
    form->SetSourceProvider([source]() -> TRptForm::TSourceReader {
        return [source] { return source; };
    });
    form->show();
    ASSERT_TRUE(form->WaitForLayout());
    ASSERT_EQ(form->PageCount(), 1);
    EXPECT_TRUE(form->StatusBar()->isVisible()) << "shown on a report of one page too";
    // Three columns of 200 pixels fit across a portrait A4 page, four do not.
    EXPECT_EQ(form->StatusBar()->currentMessage(), "Не поместились столбцы: Столбец 4, Столбец 5");

    // Beside the page number on a longer report.
    for (int i = 0; i < 200; ++i)
        source->AppendRow({ QString::number(i) });
    form->RequestLayout();
    ASSERT_TRUE(form->WaitForLayout());
    ASSERT_GT(form->PageCount(), 1);
    EXPECT_EQ(form->StatusBar()->currentMessage(),
        QString("Страница 1 из %1. Не поместились столбцы: Столбец 4, Столбец 5")
            .arg(form->PageCount()));

    // Narrow enough, they all fit and the note goes.
    for (TReportColumn& c : source->Columns)
        c.ScreenWidth = 64;
    form->RequestLayout();
    ASSERT_TRUE(form->WaitForLayout());
    EXPECT_EQ(form->StatusBar()->currentMessage(), QString("Страница 1 из %1").arg(form->PageCount()));
}

TEST_F(RptFormTest, CtrlKeysJumpToTheEdges)
{
    auto form = Show(1);
    form->ZoomList()->setCurrentIndex(0); // 200%
    emit form->ZoomList()->activated(0);
    QApplication::processEvents();
    QScrollBar* v = form->ScrollBox()->verticalScrollBar();
    QScrollBar* h = form->ScrollBox()->horizontalScrollBar();
    ASSERT_GT(v->maximum(), 0);
    form->PagePanel()->setFocus();
    QTest::keyClick(form->PagePanel(), Qt::Key_Down);
    EXPECT_EQ(v->value(), v->singleStep()); // one step, however many widgets see the key
    QTest::keyClick(form->PagePanel(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(v->value(), v->maximum());
    QTest::keyClick(form->PagePanel(), Qt::Key_End);
    EXPECT_EQ(h->value(), h->maximum());
    QTest::keyClick(form->PagePanel(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(v->value(), 0);
    EXPECT_EQ(h->value(), 0);
}

TEST_F(RptFormTest, PrintRangeIsRememberedForThePrintButton)
{
    QTemporaryDir dir;
    auto form = Show(5);
    const QString pdf = dir.filePath("out.pdf");
    form->Device().setOutputFormat(QPrinter::PdfFormat);
    form->Device().setOutputFileName(pdf);
    form->PrintAfterLayout(TRptForm::prPages, 2, 3);
    ASSERT_TRUE(form->WaitForLayout());
    auto pagesIn = [](const QString& file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        return int(f.readAll().count("/Type /Page\n"));
    };
    EXPECT_EQ(pagesIn(pdf), 2);
    QFile::remove(pdf);
    form->Print();
    ASSERT_TRUE(form->WaitForLayout());
    EXPECT_EQ(pagesIn(pdf), 2);
}

int PdfPagesIn(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(f.readAll().count("/Type /Page\n"));
}

TEST_F(RptFormTest, PrintWithoutAPrinterOffersAPdf)
{
    QTemporaryDir dir;
    auto form = Show(3);
    // This is what a machine without any printer installed gives the window.
    form->Device().setOutputFormat(QPrinter::PdfFormat);
    form->Device().setOutputFileName(QString());
    QStringList questions;
    bool answer = false;
    QStringList captions;
    form->SetMessageSink([this](const QString& m) { fMessages << m; });
    form->SetQuestionSink([&](const QString& q) {
        questions << q;
        return answer;
    });
    const QString pdf = dir.filePath("journal.pdf");
    form->SetSaveNameSink([&](const QString& caption, const QString&, const QString&, QString*) {
        captions << caption;
        return pdf;
    });

    form->Print();
    ASSERT_TRUE(form->WaitForLayout());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions.first(), "Принтер не установлен. Сохранить отчёт в файл PDF?");
    EXPECT_TRUE(captions.isEmpty()) << "«Нет» asks for no file";
    EXPECT_FALSE(QFile::exists(pdf));

    answer = true;
    form->Print();
    ASSERT_TRUE(form->WaitForLayout());
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(captions, QStringList { "Сохранить отчёт в файл PDF" });
    EXPECT_EQ(PdfPagesIn(pdf), 3);
    EXPECT_TRUE(fMessages.isEmpty()) << fMessages.join(u'|').toStdString();
}

TEST_F(RptFormTest, AFailedPrintIsReportedAndThePrinterStaysUsable)
{
    // No file at all is what a machine without printers starts with; the second cannot be
    // created.
    for (const QString& target : { QString(), QStringLiteral("no/such/folder/out.pdf") }) {
        SCOPED_TRACE(target.toStdString());
        fMessages.clear();
        QTemporaryDir dir;
        auto form = Show(2);
        form->SetMessageSink([this](const QString& m) { fMessages << m; });
        form->Device().setOutputFormat(QPrinter::PdfFormat);
        form->Device().setOutputFileName(target.isEmpty() ? target : dir.filePath(target));
        form->PrintAfterLayout(TRptForm::prAll);
        ASSERT_TRUE(form->WaitForLayout());
        ASSERT_EQ(fMessages.size(), 1);
        EXPECT_TRUE(fMessages.first().startsWith("Отчёт не напечатан"))
            << fMessages.first().toStdString();
        EXPECT_NE(form->Device().printerState(), QPrinter::Active);

        // What "Печать в файл (PDF)" in the print dialog does next.
        const QString pdf = dir.filePath("out.pdf");
        form->Device().setOutputFormat(QPrinter::NativeFormat);
        form->Device().setOutputFormat(QPrinter::PdfFormat);
        form->Device().setOutputFileName(pdf);
        EXPECT_EQ(form->Device().outputFileName(), pdf);
        form->Print();
        ASSERT_TRUE(form->WaitForLayout());
        EXPECT_EQ(PdfPagesIn(pdf), 2);
        EXPECT_EQ(fMessages.size(), 1);
    }
}

TEST_F(RptFormTest, SavesTheShownPage)
{
    QTemporaryDir dir;
    auto form = Show(2);
    form->SetPageIndex(2);
    QString error;
    ASSERT_TRUE(form->SavePageTo(dir.filePath("page2.emf"), &error)) << error.toStdString();
    QFile file(dir.filePath("page2.emf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(44);
    ASSERT_EQ(head.size(), 44);
    EXPECT_EQ(head.mid(40, 4), QByteArray(" EMF"));

    // A journal database under the name chosen in the dialog is kept as it was.
    const QString db = dir.filePath("vsk-msk.emf");
    const QByteArray journal = QByteArray("SQLite format 3\0", 16) + QByteArray(200, 'j');
    {
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(journal);
    }
    EXPECT_FALSE(form->SavePageTo(db, &error));
    EXPECT_TRUE(error.startsWith("Отчёт не записан")) << error.toStdString();
    QFile kept(db);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), journal);
}

TEST_F(RptFormTest, ClosingDuringALayoutWaitsForTheWorker)
{
    fLayout.StepMs->store(20);
    fLayout.Pages->store(50);
    auto form = std::make_unique<TRptForm>(fLayout.Function());
    form->show();
    for (int i = 0; i < 500 && !form->Processing(); ++i)
        QTest::qWait(10);
    EXPECT_TRUE(form->Processing());
    form.reset(); // must neither hang nor crash
    // The close stops the layout between pages rather than waiting for all of them.
    EXPECT_LT(fLayout.LaidOut->load(), 50);
    EXPECT_EQ(fLayout.Runs->load(), 1) << "the layout ran to its end before the close returned";
}

TEST_F(RptFormTest, ARefreshHoldsOneDocumentAndNoCopyOfTheJournal)
{
    // A copy of selected rows is what the main window hands over; it is the layout's alone.
    std::weak_ptr<const TReportSource> copied;
    auto form = std::make_unique<TRptForm>(TRptForm::JournalLayout());
    form->SetSourceProvider([&copied]() -> TRptForm::TSourceReader {
        auto source = std::make_shared<TReportSource>();
        source->Columns.push_back({ QStringLiteral("a"), 64, true });
        for (int i = 0; i < 300; ++i)
            source->AppendRow({ QString::number(i) });
        copied = source;
        return [source] { return std::shared_ptr<const TReportSource>(source); };
    });
    form->show();
    ASSERT_TRUE(form->WaitForLayout());
    ASSERT_GT(form->PageCount(), 1);
    EXPECT_TRUE(copied.expired()) << "the window keeps the journal's copy after its layout";
    std::weak_ptr<const TRecordedPage> page = form->Printer()->GetMetafile(1);
    ASSERT_FALSE(page.expired());
    form.reset();
    EXPECT_TRUE(page.expired());
}

TEST_F(RptFormTest, TheOldDocumentGoesWhenItsRefreshStarts)
{
    fLayout.StepMs->store(20);
    auto form = Show(10);
    std::weak_ptr<const TRecordedPage> page = form->Printer()->GetMetafile(1);
    ASSERT_FALSE(page.expired());
    form->RequestLayout();
    for (int i = 0; i < 500 && !form->Processing(); ++i)
        QTest::qWait(5);
    ASSERT_TRUE(form->Processing());
    EXPECT_TRUE(page.expired()) << "a refresh holds the document it replaces";
    ASSERT_TRUE(form->WaitForLayout());
    EXPECT_EQ(form->PageCount(), 10);
}

TEST_F(RptFormTest, PrintButtonsShowAPrinterAndAPageSetUp)
{
    auto form = Show(1);
    struct {
        const char* Action;
        QStyle::StandardPixmap Taken; // the unrelated picture the button once showed
    } cases[] = { { "tbtPrint", QStyle::SP_DialogApplyButton },
        { "tbtPrinterSetupDialog", QStyle::SP_FileDialogInfoView } };
    for (const auto& c : cases) {
        auto* action = form->findChild<QAction*>(c.Action);
        ASSERT_TRUE(action) << c.Action;
        const QImage image = action->icon().pixmap(16, 16).toImage().convertToFormat(
            QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull()) << c.Action;
        EXPECT_NE(image, form->style()->standardIcon(c.Taken).pixmap(16, 16).toImage().convertToFormat(
                             QImage::Format_ARGB32))
            << c.Action;
        // Both pictures are sheets of paper in dark outline.
        int paper = 0;
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor px = image.pixelColor(x, y);
                if (px.alpha() == 255 && px.lightness() > 240)
                    ++paper;
                if (px.alpha() > 200 && px.lightness() < 80)
                    ++ink;
            }
        EXPECT_GT(paper, 8) << c.Action;
        EXPECT_GT(ink, 8) << c.Action;
    }
}

TEST_F(RptFormTest, AFailingLayoutIsReportedAndTheWindowStays)
{
    auto form = std::make_unique<TRptForm>([](const TReportRequest&,
                                               const TReportProgress&) -> std::unique_ptr<TReportPrinter> {
        throw std::runtime_error("нет связи с базой");
    });
    form->SetMessageSink([this](const QString& m) { fMessages << m; });
    form->show();
    form->WaitForLayout(2000);
    ASSERT_EQ(fMessages.size(), 1);
    EXPECT_EQ(fMessages.first(), "нет связи с базой");
    EXPECT_EQ(form->PageCount(), 1);
}

} // namespace
