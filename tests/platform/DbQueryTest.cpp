#include "TestDatabase.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbQuery.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTextStream>
#include <functional>

namespace {

const QStringList kSchema = {
    "create table analysis (OBJ_NUM integer, AN_DATE date, PATIENT varchar(80),"
    " CONC double, NOTE longtext)",
    "insert into analysis values (10, '2024-03-05', 'Иванов Сергей', 1.5, null)",
    "insert into analysis values (20, '2024-03-06', 'ПЕТРОВА Ольга', null, 'строка 1\nстрока 2')",
    "insert into analysis values (30, null, 'Фёдоров Юрий', 0.25, null)",
};

class DbQueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        fDb.SetConnectionString(fFile.Path());
        fDb.Open();
    }

    std::unique_ptr<TDbQuery> Open(const QString& sql)
    {
        auto q = std::make_unique<TDbQuery>(fDb);
        q->SetSQL(sql);
        q->Open();
        return q;
    }

    TTestDatabase fFile { kSchema };
    TDbConnection fDb { fFile.Dir() };
};

TEST_F(DbQueryTest, NavigatesAndReadsFields)
{
    auto q = Open("select * from analysis order by OBJ_NUM desc");
    ASSERT_EQ(q->RecordCount(), 3);
    EXPECT_EQ(q->RecNo(), 1);
    EXPECT_EQ(q->Field(0).DisplayText(), "30");
    EXPECT_EQ(q->FieldByName("an_date").DataType(), ftDate);
    EXPECT_TRUE(q->FieldByName("CONC").IsFloat());
    EXPECT_TRUE(q->FieldByName("OBJ_NUM").IsNumeric());
    QStringList seen;
    for (q->First(); !q->Eof(); q->Next())
        seen << q->FieldByName("OBJ_NUM").DisplayText();
    EXPECT_EQ(seen, QStringList({ "30", "20", "10" }));
    q->Prior();
    EXPECT_EQ(q->FieldByName("OBJ_NUM").DisplayText(), "20");
    q->SetRecNo(3);
    EXPECT_EQ(q->FieldByName("AN_DATE").DisplayText(), "05.03.2024");
    EXPECT_EQ(q->FieldByName("NOTE").DisplayText(), "");
    q->SetRecNo(2);
    EXPECT_EQ(q->FieldByName("NOTE").DisplayText(), "строка 1\nстрока 2")
        << "long text shows its whole text";
}

TEST_F(DbQueryTest, MovingAFieldShiftsTheOthers)
{
    auto q = Open("select * from analysis");
    q->FieldByName("CONC").SetIndex(0);
    QStringList order;
    for (int i = 0; i < q->FieldCount(); ++i)
        order << q->Field(i).FieldName();
    EXPECT_EQ(order, QStringList({ "CONC", "OBJ_NUM", "AN_DATE", "PATIENT", "NOTE" }));
    EXPECT_EQ(q->FieldByName("PATIENT").Index(), 3);
    EXPECT_EQ(q->Field(0).DisplayText(), "1,5") << "values follow their field";
    EXPECT_THROW(q->Field(5), EDatabaseError);
}

TEST_F(DbQueryTest, NamedParametersSkipQuotedText)
{
    TDbQuery q(fDb);
    q.SetSQL("select * from analysis where PATIENT like :p and ':not' <> '' and OBJ_NUM > :n "
             "and PATIENT like :p");
    ASSERT_EQ(q.Params().size(), 2u);
    EXPECT_EQ(q.Params()[0].Name, "p");
    EXPECT_EQ(q.Params()[1].Name, "n");
    q.FindParam("p")->Value = "%ов%";
    q.FindParam("n")->Value = 25;
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("OBJ_NUM").DisplayText(), "30");
}

TEST_F(DbQueryTest, EditPostAndCancel)
{
    auto q = Open("select * from analysis order by OBJ_NUM");
    q->Edit();
    q->FieldByName("CONC").SetAsWideString("2,75");
    q->FieldByName("AN_DATE").SetAsWideString("7.3.2024");
    EXPECT_EQ(q->State(), dsEdit);
    q->Post();
    EXPECT_EQ(q->State(), dsBrowse);
    EXPECT_EQ(fFile.Scalar("select CONC from analysis where OBJ_NUM=10").toDouble(), 2.75);
    EXPECT_EQ(fFile.Scalar("select AN_DATE from analysis where OBJ_NUM=10").toString(),
              "2024-03-07") << "dates are stored as ISO text, which sorts";

    q->Edit();
    q->FieldByName("PATIENT").SetAsWideString("Другой");
    q->Cancel();
    EXPECT_EQ(q->FieldByName("PATIENT").DisplayText(), "Иванов Сергей");
    EXPECT_EQ(fFile.Scalar("select PATIENT from analysis where OBJ_NUM=10").toString(),
              "Иванов Сергей");
}

TEST_F(DbQueryTest, BadTextKeepsTheRecordInEditMode)
{
    auto q = Open("select * from analysis order by OBJ_NUM");
    q->Edit();
    q->FieldByName("PATIENT").SetAsWideString("Новое имя");
    try {
        q->FieldByName("CONC").SetAsWideString("много");
        FAIL() << "letters were taken by a numeric field";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains("много")) << e.Message().toStdString();
    }
    EXPECT_EQ(q->State(), dsEdit);
    EXPECT_EQ(q->FieldByName("CONC").DisplayText(), "1,5");
    EXPECT_EQ(q->FieldByName("PATIENT").DisplayText(), "Новое имя") << "nothing typed is lost";
}

TEST_F(DbQueryTest, PostingARecordAnotherProgramDeletedKeepsTheEdit)
{
    auto q = Open("select * from analysis order by OBJ_NUM");
    fFile.Exec({ "delete from analysis where OBJ_NUM=10" });
    q->Edit();
    q->FieldByName("PATIENT").SetAsWideString("Сидоров");
    try {
        q->Post();
        FAIL() << "a post of a deleted record succeeded";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().startsWith("Запись не сохранена: её уже нет в базе данных"))
            << e.Message().toStdString();
    }
    EXPECT_EQ(q->State(), dsEdit);
    EXPECT_EQ(q->FieldByName("PATIENT").DisplayText(), "Сидоров") << "nothing typed is lost";
    EXPECT_EQ(fFile.Scalar("select count(*) from analysis").toInt(), 2)
        << "the post wrote no record in its place";
    q->Cancel();
    EXPECT_EQ(q->State(), dsBrowse);
    EXPECT_NE(q->FieldByName("PATIENT").DisplayText(), "Сидоров");
    q->Close();
    q->Open();
    EXPECT_EQ(q->RecordCount(), 2);
    EXPECT_EQ(q->FieldByName("OBJ_NUM").DisplayText(), "20");
}

TEST_F(DbQueryTest, MovingPostsAPendingEdit)
{
    auto q = Open("select * from analysis order by OBJ_NUM");
    q->Edit();
    q->FieldByName("PATIENT").SetAsWideString("Сидоров");
    q->Next();
    EXPECT_EQ(fFile.Scalar("select PATIENT from analysis where OBJ_NUM=10").toString(),
              "Сидоров");
}

TEST_F(DbQueryTest, InsertAndDelete)
{
    auto q = Open("select * from analysis order by OBJ_NUM");
    QSignalSpy inserted(q.get(), &TDbQuery::RecordsInserted);
    q->Append();
    EXPECT_EQ(q->RecordCount(), 4);
    q->Post();
    EXPECT_EQ(q->RecordCount(), 3) << "an untouched new record is discarded";
    EXPECT_EQ(fFile.Scalar("select count(*) from analysis").toInt(), 3);

    q->Insert();
    q->FieldByName("OBJ_NUM").SetAsWideString("40");
    q->Post();
    EXPECT_EQ(fFile.Scalar("select count(*) from analysis").toInt(), 4);
    EXPECT_EQ(q->FieldByName("OBJ_NUM").DisplayText(), "40");
    q->Edit();
    q->FieldByName("PATIENT").SetAsWideString("После вставки");
    q->Post();
    EXPECT_EQ(fFile.Scalar("select PATIENT from analysis where OBJ_NUM=40").toString(),
              "После вставки") << "a posted new record is edited by its own key";
    q->Delete();
    EXPECT_EQ(fFile.Scalar("select count(*) from analysis").toInt(), 3);
    EXPECT_EQ(q->RecordCount(), 3);
    EXPECT_EQ(inserted.count(), 2);
}

// A move away from a new record nobody filled in drops it; the move still lands on the
// record the caller saw at the position it asked for, not on the one below it.
TEST_F(DbQueryTest, MovesFromAnUntouchedNewRecordLandWhereTheCallerLooked)
{
    struct TCase {
        const char* Name;
        std::function<void(TDbQuery&)> Move;
        const char* Expected; // OBJ_NUM of the record that becomes current
    };
    // With the new record inserted before 20 the rows read 10, new, 20, 30.
    const TCase cases[] = {
        { "SetRecNo below", [](TDbQuery& q) { q.SetRecNo(4); }, "30" },
        { "SetRecNo above", [](TDbQuery& q) { q.SetRecNo(1); }, "10" },
        { "Next", [](TDbQuery& q) { q.Next(); }, "20" },
        { "Prior", [](TDbQuery& q) { q.Prior(); }, "10" },
        { "MoveBy 2", [](TDbQuery& q) { q.MoveBy(2); }, "30" },
        { "MoveBy -1", [](TDbQuery& q) { q.MoveBy(-1); }, "10" },
    };
    for (const TCase& c : cases) {
        auto q = Open("select * from analysis order by OBJ_NUM");
        q->SetRecNo(2);
        q->Insert();
        ASSERT_EQ(q->RecNo(), 2);
        c.Move(*q);
        EXPECT_EQ(q->State(), dsBrowse) << c.Name;
        EXPECT_EQ(q->RecordCount(), 3) << c.Name;
        EXPECT_EQ(q->FieldByName("OBJ_NUM").DisplayText(), c.Expected) << c.Name;
    }
}

TEST_F(DbQueryTest, PagesThroughALargeResult)
{
    QStringList rows = { "begin" };
    for (int i = 0; i < 1000; ++i)
        rows << QString("insert into analysis (OBJ_NUM, PATIENT) values (%1, 'П%1')").arg(1000 + i);
    rows << "commit";
    fFile.Exec(rows);
    auto q = Open("select * from analysis where OBJ_NUM >= 1000 order by OBJ_NUM desc");
    ASSERT_EQ(q->RecordCount(), 1000);
    q->Last();
    EXPECT_EQ(q->FieldByName("PATIENT").DisplayText(), "П1000");
    q->SetRecNo(500);
    EXPECT_EQ(q->FieldByName("OBJ_NUM").DisplayText(), "1500");
    int n = 0;
    for (q->First(); !q->Eof(); q->Next())
        n += q->FieldByName("OBJ_NUM").Value().toInt() == 1999 - q->RecNo() + 1;
    EXPECT_EQ(n, 1000);
}

TEST_F(DbQueryTest, AQueryOfAnotherFormIsReadWholeAndReadOnly)
{
    auto q = Open("select PATIENT, OBJ_NUM * 2 as DOUBLED from analysis order by OBJ_NUM");
    EXPECT_EQ(q->RecordCount(), 3);
    EXPECT_EQ(q->FieldByName("DOUBLED").DisplayText(), "20");
    EXPECT_FALSE(q->CanModify());
    EXPECT_THROW(q->Edit(), EDatabaseError);
}

TEST_F(DbQueryTest, RejectedQueriesLeaveTheQueryClosed)
{
    TDbQuery q(fDb);
    for (const char* sql : { "select * from nowhere", "select * from analysis where () like 1",
                             "selec nonsense" }) {
        q.SetSQL(sql);
        EXPECT_THROW(q.Open(), EDatabaseError) << sql;
        EXPECT_FALSE(q.Active()) << sql;
        EXPECT_EQ(q.FieldCount(), 0) << sql;
    }
}

TEST(DbConnection, AMissingJournalFileIsNeverCreated)
{
    QTemporaryDir dir;
    TDbConnection db(dir.path());
    EXPECT_THROW(db.Open(), EDatabaseError) << "the default data source falls back to the file";
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("vsk-msk.db")));
    db.SetConnectionString(dir.filePath("other.db"));
    EXPECT_THROW(db.Open(), EDatabaseError);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("other.db")));
    db.SetConnectionString("DSN=no_such_source_here");
    EXPECT_THROW(db.Open(), EDatabaseError);
}

TEST(DbConnection, DefaultDataSourceResolvesToAConfiguredOdbcSource)
{
    if (!QSqlDatabase::isDriverAvailable("QODBC") || !QFileInfo::exists("/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so"))
        GTEST_SKIP() << "no ODBC driver for SQLite";
    TTestDatabase file(kSchema, "odbc-journal.db");
    const QString ini = file.Dir() + "/odbc.ini";
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QTextStream(&f) << "[vsk2]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n"
                        << "Database=" << file.Path() << "\n";
    }
    qputenv("ODBCINI", ini.toLocal8Bit());
    QTemporaryDir empty; // no journal file here: the data source must be the one used
    TDbConnection db(empty.path());
    db.Open();
    // The file behind the data source is read by the embedded engine with the journal's own
    // functions, so letter case in Cyrillic is ignored as on the embedded journal.
    EXPECT_EQ(db.Dialect(), sdSqlite);
    EXPECT_EQ(QFileInfo(db.FilePath()).canonicalFilePath(), QFileInfo(file.Path()).canonicalFilePath());
    TDbQuery q(db);
    q.SetSQL("select * from analysis where PATIENT like :p order by OBJ_NUM");
    q.FindParam("p")->Value = "%ов%";
    q.Open();
    EXPECT_EQ(q.RecordCount(), 3);
    q.Edit();
    q.FieldByName("CONC").SetAsWideString("3,5");
    q.Post();
    EXPECT_EQ(file.Scalar("select CONC from analysis where OBJ_NUM=10").toDouble(), 3.5);
    q.Close();
    db.Close();
    qunsetenv("ODBCINI");
}

} // namespace
