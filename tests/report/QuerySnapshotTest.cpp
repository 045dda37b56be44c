#include "ReportTestUtil.h"
#include "TestDatabase.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbQuery.h"
#include "report/JournalReport.h"
#include "report/QuerySnapshot.h"
#include "report/ReportPrinter.h"

#include <thread>

namespace {

QStringList Journal(int rows)
{
    QStringList s = { "create table analysis (OBJ_NUM integer, PATIENT varchar(80), NOTE longtext)",
                      "begin" };
    for (int i = 1; i <= rows; ++i)
        s << QString("insert into analysis values (%1, 'Пациент %1', 'примечание %1')").arg(i);
    s << "commit";
    return s;
}

class QuerySnapshotTest : public ::testing::Test {
protected:
    void Open(int rows)
    {
        fFile = std::make_unique<TTestDatabase>(Journal(rows));
        fDb = std::make_unique<TDbConnection>(fFile->Dir());
        fDb->SetConnectionString(fFile->Path());
        fDb->Open();
        fQuery = std::make_unique<TDbQuery>(*fDb);
        fQuery->SetSQL("select * from analysis order by OBJ_NUM");
        fQuery->Open();
    }

    const std::vector<TViewColumn> fColumns = {
        { "OBJ_NUM", "№", 40, true },
        { "PATIENT", "Ф.И.О.", 120, true },
        { "NOTE", "Примечание", 100, false },
        { "GONE", "Нет поля", 50, true },
    };
    std::unique_ptr<TTestDatabase> fFile;
    std::unique_ptr<TDbConnection> fDb;
    std::unique_ptr<TDbQuery> fQuery;
};

TEST_F(QuerySnapshotTest, CopiesAllRecordsOrTheSelectedOnesInQueryOrder)
{
    Open(4);
    fQuery->SetRecNo(2);
    struct Case {
        const char* name;
        std::vector<int> selected;
        QStringList numbers;
    };
    const Case cases[] = {
        { "nothing selected", {}, { "1", "2", "3", "4" } },
        { "one selected prints all", { 2 }, { "1", "2", "3", "4" } },
        { "two selected, query order", { 3, 1 }, { "2", "4" } },
        { "out of range ignored", { 3, 1, 99 }, { "2", "4" } },
    };
    for (const Case& c : cases) {
        const auto src = TakeReportSource(*fQuery, fColumns, c.selected);
        ASSERT_EQ(src->Columns.size(), 4u) << c.name;
        QStringList numbers;
        for (int r = 0; r < src->RowCount; ++r) {
            numbers << src->Text(r, 0);
            EXPECT_EQ(src->Text(r, 1), "Пациент " + src->Text(r, 0)) << c.name;
            EXPECT_TRUE(src->Text(r, 2).isEmpty()) << "hidden column not copied";
            EXPECT_TRUE(src->Text(r, 3).isEmpty()) << "missing field prints empty";
        }
        EXPECT_EQ(numbers, c.numbers) << c.name;
    }
    EXPECT_EQ(fQuery->RecNo(), 2) << "the user's current record stays";
}

TEST_F(QuerySnapshotTest, DefaultColumnsFollowTheFields)
{
    Open(3);
    const auto cols = DefaultViewColumns(*fQuery);
    ASSERT_EQ(cols.size(), 3u);
    EXPECT_EQ(cols[1].FieldName, "PATIENT");
    for (const TViewColumn& c : cols) {
        EXPECT_GE(c.Width, 30);
        EXPECT_LE(c.Width, 200);
    }
}

// The layout reads only its own copy, so the user may move through and edit the journal
// while it runs on another thread. An access the layout still made to the query would rarely
// show in an ordinary build, where the text checked below holds as long as the copy was taken
// before the edits; the test finds that access only under ThreadSanitizer (scripts/tsan.sh).
TEST_F(QuerySnapshotTest, LayoutOnAWorkerIgnoresEditsMadeMeanwhile)
{
    Open(3000);
    const auto src = TakeReportSource(*fQuery, fColumns);
    TReportPrinter prn;
    std::atomic<bool> finished = false;
    std::thread worker([&] {
        TJournalReport report(src);
        report.DoReport(prn);
        finished = true;
    });
    int edits = 0;
    do {
        fQuery->SetRecNo(1 + edits % fQuery->RecordCount());
        fQuery->Edit();
        fQuery->FieldByName("PATIENT").SetAsWideString("изменено");
        fQuery->Post();
        ++edits;
    } while (!finished && edits < 3000);
    worker.join();
    EXPECT_GT(edits, 0);

    int shown = 0;
    for (int i = 1; i <= prn.PageCount(); ++i) {
        const QStringList texts = PageTexts(*prn.GetMetafile(i));
        EXPECT_FALSE(texts.contains("изменено")) << "page " << i;
        shown += int(texts.filter("Пациент ").size());
    }
    EXPECT_EQ(shown, 3000);
}

TEST_F(QuerySnapshotTest, WorkerReadsTheSameQueryOnAConnectionOfItsOwn)
{
    Open(500);
    fQuery->Close();
    fQuery->SetSQL("select * from analysis where PATIENT like :par1 order by OBJ_NUM desc");
    fQuery->FindParam("par1")->Value = QString("%ент 1%");
    fQuery->Open();
    const auto expected = TakeReportSource(*fQuery, fColumns);
    ASSERT_GT(expected->RowCount, 100);
    const TReportQuery description = DescribeReportQuery(*fDb, *fQuery, fColumns);

    std::shared_ptr<TReportSource> read;
    QString error;
    std::atomic<bool> finished = false;
    std::thread worker([&] {
        try {
            read = ReadReportSource(description);
        } catch (const EDatabaseError& e) {
            error = e.Message();
        }
        finished = true;
    });
    // The user goes on editing a record the query does not show.
    int edits = 0;
    do {
        fQuery->SetRecNo(1);
        fQuery->Edit();
        fQuery->FieldByName("NOTE").SetAsWideString(QString("правка %1").arg(edits++));
        fQuery->Post();
    } while (!finished && edits < 200);
    worker.join();
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->RowCount, expected->RowCount);
    EXPECT_EQ(read->Texts, expected->Texts);
}

} // namespace
