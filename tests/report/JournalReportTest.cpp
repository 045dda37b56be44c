#include "ReportTestUtil.h"
#include "report/JournalReport.h"
#include "report/ReportPrinter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const int kLeft = 944; // Xmm(20)

std::vector<std::shared_ptr<const TRecordedPage>> Layout(std::shared_ptr<TReportSource> src,
                                                         TReportCallbacks callbacks = {},
                                                         bool* complete = nullptr)
{
    TReportPrinter prn;
    TJournalReport report(std::move(src));
    report.SetYear(2026);
    report.SetCallbacks(std::move(callbacks));
    const bool done = report.DoReport(prn);
    if (complete)
        *complete = done;
    std::vector<std::shared_ptr<const TRecordedPage>> pages;
    for (int i = 1; i <= prn.PageCount(); ++i)
        pages.push_back(prn.GetMetafile(i));
    return pages;
}

TEST(JournalReportTest, EmptyJournalGivesOnePageWithTitleHeadAndFoot)
{
    const auto pages = Layout(MakeSource({ "№ истории болезни", "Ф.И.О." }, {}));
    ASSERT_EQ(pages.size(), 1u);
    const QStringList texts = PageTexts(*pages[0]);
    EXPECT_TRUE(texts.contains("Журнал анализов"));
    EXPECT_TRUE(texts.contains("Ф.И.О."));
    EXPECT_TRUE(texts.contains("Страница 1 из 1"));
    EXPECT_TRUE(texts.contains(
        "Журнал регистрации результатов токсикологической лаборатории, 2026 г."));
}

TEST(JournalReportTest, ChoosesVisibleColumnsUntilOneDoesNotFit)
{
    auto src = MakeSource({ "a", "hidden", "zero", "b", "wide", "narrow", "hidden too" }, {});
    src->Columns[1].Visible = false;
    src->Columns[2].ScreenWidth = 0;
    src->Columns[3].ScreenWidth = 100;
    src->Columns[4].ScreenWidth = 2000;
    src->Columns[5].ScreenWidth = 10;
    src->Columns[6].Visible = false;
    TReportPrinter prn;
    TJournalReport report(src);
    report.PrintReport(prn);
    ASSERT_EQ(report.Columns().size(), 2u);
    EXPECT_EQ(report.Columns()[0].Source, 0);
    EXPECT_EQ(report.Columns()[0].Width, 800 + 94);
    EXPECT_EQ(report.Columns()[1].Source, 3);
    EXPECT_EQ(report.Columns()[1].Width, 1249 + 94);
    // Only the shown columns count as left out.
    EXPECT_EQ(report.LeftOutColumns(), (QStringList { "wide", "narrow" }));
    EXPECT_EQ(TJournalReport::LeftOutText(report.LeftOutColumns()),
        "Не поместились столбцы: wide, narrow");
    EXPECT_EQ(TJournalReport::LeftOutText({}), "");
}

TEST(JournalReportTest, BreaksPagesAndNumbersEveryPageWithTheFinalCount)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back({ QString::number(i), "Иванов Иван Иванович", "моча" });
    std::vector<int> laidOut;
    TReportCallbacks cb;
    cb.PageLaidOut = [&](int page, std::shared_ptr<const TRecordedPage> draft) {
        laidOut.push_back(page);
        EXPECT_FALSE(PageTexts(*draft).isEmpty());
    };
    const auto pages = Layout(MakeSource({ "№", "Ф.И.О.", "Объект" }, rows), cb);
    const int n = int(pages.size());
    ASSERT_GT(n, 2);
    QStringList numbers;
    int bottom = 0;
    for (int k = 1; k <= n; ++k) {
        const QStringList texts = PageTexts(*pages[size_t(k - 1)]);
        EXPECT_TRUE(texts.contains(QString("Страница %1 из %2").arg(k).arg(n))) << k;
        EXPECT_TRUE(texts.contains("Журнал анализов")) << "head on page " << k;
        for (const QString& t : texts)
            if (t.toInt() > 0 || t == "0")
                numbers << t;
        bottom = pages[0]->Size.height() - 472;
        for (const TPageItem& item : pages[size_t(k - 1)]->Items) {
            if (item.Kind == pikText && item.Text.size() < 5) {
                EXPECT_LT(item.A.y(), bottom) << "row text past the bottom limit on page " << k;
            }
        }
    }
    EXPECT_EQ(numbers.size(), 300) << "every record exactly once";
    std::vector<int> expected;
    for (int k = 1; k < n; ++k)
        expected.push_back(k);
    EXPECT_EQ(laidOut, expected);
}

TEST(JournalReportTest, MeasuredLinesAreAllDrawn)
{
    // Line breaks and a word wider than the cell: the measure must leave room for all.
    const QString memo = "первая строка\nвторая строка\nтретья";
    const QString longWord = "Бензилпиперазинбутирофенонметилендиоксиамфетамин";
    const auto pages = Layout(MakeSource({ "Примечание", "Обнаружено" }, { { memo, longWord } }));
    ASSERT_EQ(pages.size(), 1u);
    const QStringList texts = PageTexts(*pages[0]);
    for (const QString& line : memo.split('\n'))
        EXPECT_TRUE(texts.contains(line)) << line.toStdString();
    QString joined;
    for (const QString& t : texts)
        if (longWord.contains(t) && t.size() > 2)
            joined += t;
    EXPECT_EQ(joined, longWord);
}

TEST(JournalReportTest, EmptyRecordCollapsesToOneLine)
{
    const auto pages = Layout(MakeSource({ "a", "b" }, { { "", "" } }));
    // The cell lines of an empty record all lie on the head's bottom edge.
    int vertical = 0;
    for (const TPageItem& item : pages[0]->Items)
        if (item.Kind == pikLine && item.A.x() == item.B.x() && item.A.y() != item.B.y())
            ++vertical;
    EXPECT_EQ(vertical, 3) << "only the head's column edges have height";
}

TEST(JournalReportTest, RowTallerThanAPageGoesOnOverPages)
{
    QString huge;
    for (int i = 0; i < 400; ++i)
        huge += QString("строка %1\n").arg(i);
    const auto pages = Layout(MakeSource({ "Примечание" }, { { "до" }, { huge }, { "после" } }));
    ASSERT_GE(pages.size(), 3u);
    const int bottom = pages[0]->Size.height() - 472;
    QStringList all;
    for (const auto& p : pages) {
        for (const TPageItem& item : p->Items) {
            if (item.Kind == pikText && item.Text.startsWith("строка")) {
                EXPECT_LT(item.A.y(), bottom);
            }
        }
        all << PageTexts(*p);
    }
    for (int i = 0; i < 400; ++i)
        EXPECT_TRUE(all.contains(QString("строка %1").arg(i))) << i;
    EXPECT_TRUE(PageTexts(*pages[0]).contains("до"));
    EXPECT_TRUE(PageTexts(*pages.back()).contains("после"));
    EXPECT_FALSE(PageTexts(*pages[0]).contains("строка 0")) << "the tall row starts a page";
}

TEST(JournalReportTest, ReportsProgressAndStopsWhenCancelled)
{
    std::vector<QStringList> rows(95, QStringList({ "x" }));
    std::vector<std::pair<int, int>> progress;
    std::atomic<bool> cancel = false;
    TReportCallbacks cb;
    cb.Progress = [&](int stage, int total) {
        progress.emplace_back(stage, total);
        if (stage == 5)
            cancel = true;
    };
    cb.Cancel = &cancel;
    bool complete = true;
    const auto pages = Layout(MakeSource({ "c" }, rows), cb, &complete);
    EXPECT_FALSE(complete);
    ASSERT_EQ(progress.size(), 6u);
    EXPECT_EQ(progress.front(), std::make_pair(0, 9));
    EXPECT_EQ(progress.back(), std::make_pair(5, 9));
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(PageTexts(*pages[0]).count("x"), 50);

    progress.clear();
    cancel = false;
    cb.Progress = [&](int stage, int total) { progress.emplace_back(stage, total); };
    Layout(MakeSource({ "c" }, rows), cb, &complete);
    EXPECT_TRUE(complete);
    EXPECT_EQ(progress.size(), 10u);
}

TEST(JournalReportTest, TextsAreLaidInsideTheirCells)
{
    const auto pages = Layout(MakeSource({ "a" }, { { "текст" } }));
    int found = 0;
    for (const TPageItem& item : pages[0]->Items) {
        if (item.Kind == pikText && item.Text == "текст") {
            EXPECT_EQ(item.A.x(), kLeft + 47);
            ++found;
        }
    }
    EXPECT_EQ(found, 1);
}


TEST(JournalReportTest, CellTextNeverLeavesItsCell)
{
    // A tab has no tab stop to go to inside a cell, and a word wider than the cell is cut
    // inside: neither may put ink into the next column.
    const QString tabbed = "Строка1\tТАБ\tконец";
    const QString wide = "ШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШ";
    for (const QString& value : { tabbed, wide }) {
        auto src = MakeSource({ "Ф.И.О.", "Объект" }, { { value, "" } });
        src->Columns[0].ScreenWidth = 200;
        TReportPrinter prn;
        TJournalReport report(src);
        report.DoReport(prn);
        const auto page = prn.GetMetafile(1);
        const int cellRight = kLeft + report.Columns()[0].Width - 47;
        TRecordedPage texts = *page;
        auto blanks = [](QString t) { return t.replace('\t', ' '); };
        std::erase_if(texts.Items, [&](const TPageItem& item) {
            return item.Kind != pikText || !blanks(value).contains(blanks(item.Text));
        });
        ASSERT_FALSE(texts.Items.empty());
        for (const TPageItem& item : texts.Items) {
            EXPECT_FALSE(item.Text.contains('\t')) << "a tab is drawn as a blank";
            EXPECT_FALSE(item.Clip.isEmpty());
            EXPECT_LE(item.Clip.right(), cellRight);
        }
        // Replayed at a tenth of a unit per pixel, no pixel right of the cell is touched.
        const double scale = 0.1;
        QImage image(QSize(int(page->Size.width() * scale), int(page->Size.height() * scale)),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            texts.Replay(painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
        }
        int inkBeyond = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = int(std::ceil(cellRight * scale)) + 1; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    ++inkBeyond;
        EXPECT_EQ(inkBeyond, 0) << value.toStdString();
    }
}

} // namespace
