#include "JournalStore.h"
#include "app/Journal.h"
#include "platform/db/DbError.h"

#include <QLocale>

// Two workstations on one journal, a file or a server: an edit never overwrites another's
// unseen, and nothing typed is lost when a post is refused for it.
namespace {

const TJournalSchema kJournal = {
    { "create table analysis (OBJ_NUM integer, PATIENT varchar(80), CONC double, NOTE longtext)",
        "create table alias (FNAME varchar(64), FDESC varchar(255), ord integer)" },
    { "create table analysis (OBJ_NUM integer primary key, PATIENT varchar(80),"
      " CONC double precision, NOTE text)",
        "create table alias (FNAME varchar(64), FDESC varchar(255), ord integer)" },
    { "insert into alias values ('OBJ_NUM', '№ истории', 1)",
    "insert into alias values ('PATIENT', 'Ф.И.О.', 2)",
    "insert into analysis values (101, 'Фёдоров Юрий', 1.5, null)",
    "insert into analysis values (102, 'Иванова Ольга', 0.25, 'кровь')" },
};

class SharedRecordTest : public ::testing::TestWithParam<TBackend> {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        VESKOR_NEED_STORE(fStore);
        fHere.Connection().SetConnectionString(fStore.ConnectionString());
        fThere.Connection().SetConnectionString(fStore.ConnectionString());
        fHere.Start();
        fThere.Start();
    }

    static void Edit(TJournal& j, const char* field, const QString& text)
    {
        TDbQuery& q = j.Query();
        q.SetRecNo(1);
        q.Edit();
        q.FieldByName(field).SetAsWideString(text);
    }
    QString Stored(const char* field) const
    {
        return fStore.Scalar(QStringLiteral("select %1 from analysis where OBJ_NUM=101").arg(field))
            .toString();
    }

    TJournalStore fStore { GetParam(), kJournal };
    TJournal fHere { fStore.DataDir() };
    TJournal fThere { fStore.DataDir() };
};

TEST_P(SharedRecordTest, ASecondPostOfARecordChangedElsewhereIsRefusedAndKeepsTheEdit)
{
    Edit(fHere, "PATIENT", "Фёдоров Юрий Петрович");
    Edit(fThere, "CONC", "2,75");
    fThere.Post();
    try {
        fHere.Post();
        FAIL() << "the other workstation's change was overwritten";
    } catch (const ERecordConflict& e) {
        EXPECT_FALSE(e.Gone());
        EXPECT_TRUE(e.Message().contains("«№ истории» 101")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("изменили на другом рабочем месте"));
    }
    TDbQuery& q = fHere.Query();
    EXPECT_EQ(q.State(), dsEdit);
    EXPECT_EQ(q.FieldByName("PATIENT").DisplayText(), "Фёдоров Юрий Петрович");
    EXPECT_EQ(Stored("PATIENT"), "Фёдоров Юрий");
    EXPECT_EQ(Stored("CONC"), "2.75");

    // Reading again shows the other's change with this edit on top; now it can be written.
    fHere.Refresh();
    EXPECT_EQ(q.State(), dsEdit);
    EXPECT_EQ(q.FieldByName("OBJ_NUM").DisplayText(), "101");
    EXPECT_EQ(q.FieldByName("CONC").DisplayText(), "2,75");
    EXPECT_EQ(q.FieldByName("PATIENT").DisplayText(), "Фёдоров Юрий Петрович");
    fHere.Post();
    EXPECT_EQ(Stored("PATIENT"), "Фёдоров Юрий Петрович");
    EXPECT_EQ(Stored("CONC"), "2.75");
}

TEST_P(SharedRecordTest, ARecordDeletedElsewhereComesBackAsANewRecordWithTheEdit)
{
    Edit(fHere, "NOTE", "повторно");
    fThere.Query().SetRecNo(1);
    fThere.Query().Delete();
    try {
        fHere.Post();
        FAIL() << "a post of a deleted record passed as written";
    } catch (const ERecordConflict& e) {
        EXPECT_TRUE(e.Gone());
        EXPECT_TRUE(e.Message().contains("её уже нет в базе данных")) << e.Message().toStdString();
    }
    EXPECT_EQ(fHere.Query().State(), dsEdit);
    fHere.Refresh();
    TDbQuery& q = fHere.Query();
    EXPECT_EQ(q.State(), dsInsert);
    EXPECT_EQ(q.FieldByName("OBJ_NUM").DisplayText(), "101");
    EXPECT_EQ(q.FieldByName("NOTE").DisplayText(), "повторно");
    fHere.Post();
    EXPECT_EQ(Stored("NOTE"), "повторно");
    EXPECT_EQ(Stored("PATIENT"), "Фёдоров Юрий");
}

TEST_P(SharedRecordTest, EditsOfOneWorkstationInTurnPassTheCheck)
{
    fThere.Query().SetRecNo(1);
    ASSERT_EQ(fThere.Query().FieldByName("PATIENT").DisplayText(), "Фёдоров Юрий");
    Edit(fHere, "PATIENT", "Первая правка");
    fHere.Post();
    Edit(fHere, "PATIENT", "Вторая правка");
    fHere.Post();
    // The other workstation showed the record before both: its post is refused.
    Edit(fThere, "NOTE", "поздно");
    EXPECT_THROW(fThere.Post(), ERecordConflict);
    EXPECT_EQ(Stored("PATIENT"), "Вторая правка");
}

INSTANTIATE_TEST_SUITE_P(Every, SharedRecordTest, ::testing::ValuesIn(kEveryBackend),
    [](const auto& info) { return std::string(BackendName(info.param)); });

TEST_P(SharedRecordTest, ALostConnectionIsTakenUpAgainWithTheEditKept)
{
    if (GetParam() != bkServer && GetParam() != bkServerDsn)
        GTEST_SKIP() << "a file has no connection to lose";
    Edit(fHere, "PATIENT", "После обрыва");
    EXPECT_FALSE(fHere.ConnectionLost());
    // As a server restart would: every other connection to the journal's database ends.
    fStore.Exec({ "select pg_terminate_backend(pid) from pg_stat_activity where datname = "
                  "current_database() and pid <> pg_backend_pid()" });
    EXPECT_THROW(fHere.Post(), EDatabaseError);
    EXPECT_EQ(fHere.Query().State(), dsEdit);
    ASSERT_TRUE(fHere.ConnectionLost());
    fHere.ReconnectKeepingEdit();
    EXPECT_FALSE(fHere.ConnectionLost());
    EXPECT_EQ(fHere.Query().State(), dsEdit);
    EXPECT_EQ(fHere.Query().FieldByName("PATIENT").DisplayText(), "После обрыва");
    fHere.Post();
    EXPECT_EQ(Stored("PATIENT"), "После обрыва");
}

} // namespace
