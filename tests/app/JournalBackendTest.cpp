#include "JournalStore.h"
#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "app/JournalArchive.h"
#include "app/JournalQuery.h"
#include "platform/db/DbError.h"

#include <QSignalSpy>

// The journal as a workstation uses it, over every way of reaching it: the same journal
// gives the same answers on the embedded file, on the server and through ODBC to either.
namespace {

const TJournalSchema kJournal = {
    { "create table analysis (OBJ_NUM integer, AN_DATE date, PATIENT varchar(80), CONC double,"
      " BIRTH_YEAR integer, PRICE currency, NOTE longtext)",
        "create table alias (FNAME varchar(64), FDESC varchar(255), ord integer)" },
    { "create table analysis (OBJ_NUM integer primary key, AN_DATE date, PATIENT varchar(80),"
      " CONC double precision, BIRTH_YEAR integer, PRICE numeric(12,2), NOTE text)",
        "create table alias (FNAME varchar(64), FDESC varchar(255), ord integer)" },
    {
        "insert into analysis values (101, '2024-03-05', 'Фёдоров Юрий', 1.5, 1970, 2.5, null)",
        "insert into analysis values (102, '2024-03-06', null, 0.25, null, null, 'тест\tтаб')",
        "insert into analysis values (150, '2024-04-01', 'ИВАНОВА Ольга', null, 1985, null, "
        "null)",
        "insert into analysis values (160, null, 'Семенов Пётр', 3, 1990, null, 'ёлка')",
    },
};

class JournalBackendTest : public ::testing::TestWithParam<TBackend> {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        VESKOR_NEED_STORE(fStore);
        fJournal.Connection().SetConnectionString(fStore.ConnectionString());
    }

    void Aliases(const QStringList& rows)
    {
        QStringList statements = { "delete from alias" };
        for (const QString& r : rows)
            statements << "insert into alias values (" + r + ")";
        fStore.Exec(statements);
    }

    QStringList Labels() const
    {
        QStringList out;
        for (int i = 0; i < fJournal.Query().FieldCount(); ++i)
            out << fJournal.Query().Field(i).DisplayLabel();
        return out;
    }

    // The history numbers of the records the journal shows, in order.
    QStringList Numbers()
    {
        QStringList out;
        TDbQuery& q = fJournal.Query();
        const TDbField& number = q.FieldByName("OBJ_NUM");
        for (int r = 0; r < q.RecordCount(); ++r)
            out << q.DisplayTextAt(r, number);
        return out;
    }

    static TQueryInputs Search(const QString& text)
    {
        TQueryInputs in;
        in.SearchText = text;
        return in;
    }

    TJournalStore fStore { GetParam(), kJournal };
    TJournal fJournal { fStore.DataDir() };
};

TEST_P(JournalBackendTest, AliasPassRelabelsReordersAndFormats)
{
    Aliases({ "'conc', 'Концентрация', 1", "'OBJ_NUM', '№ истории', 2", "'NOWHERE', 'x', 3",
              "'', 'пусто', 4", "'PATIENT', '', 5", "'AN_DATE', 'Дата', -1",
              "'BIRTH_YEAR', 'Год', 6", "'PRICE', 'Цена', 7" });
    QSignalSpy rows(&fJournal, &TJournal::AliasesApplied);
    fJournal.Start();
    EXPECT_EQ(fJournal.AliasedCount(), 5);
    // The server keeps unquoted names in lower case: a field without a label shows so there.
    EXPECT_EQ(Labels().join(',').toUpper(), "КОНЦЕНТРАЦИЯ,№ ИСТОРИИ,PATIENT,ГОД,ЦЕНА,AN_DATE,NOTE");
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.at(0).at(0).toInt(), 5);
    EXPECT_EQ(fJournal.Query().Field(0).DisplayText(), "1,5000");
    EXPECT_EQ(fJournal.Query().FieldByName("BIRTH_YEAR").DisplayText(), "1970");
    EXPECT_EQ(fJournal.Query().FieldByName("AN_DATE").DisplayText(), "05.03.2024");
    EXPECT_EQ(fJournal.Query().FieldByName("PRICE").DisplayFormat(), "")
        << "only double fields get the four-decimal picture";

    QString text;
    EXPECT_TRUE(fJournal.RowLabel(2, text));
    EXPECT_EQ(text, "№ истории");
    EXPECT_TRUE(fJournal.RowValue(2, text));
    EXPECT_EQ(text, "101");
    text = "kept";
    EXPECT_FALSE(fJournal.RowValue(0, text));
    EXPECT_FALSE(fJournal.RowLabel(8, text));
    EXPECT_EQ(text, "kept");
}

// The searches as the user would type them.
TEST_P(JournalBackendTest, SearchFindsWhatTheTableShows)
{
    fJournal.Start();
    const struct {
        const char* Search;
        QStringList Expected;
    } cases[] = {
        { "федоров", { "101" } }, // "ё" found by "е", case ignored
        { "ФЁДОРОВ", { "101" } },
        { "пётр", { "160" } },
        { "елка", { "160" } },
        { "иванова", { "150" } },
        { "06.03.2024", { "102" } }, // the date as shown, not as stored
        { "тест", { "102" } }, // the record with an empty patient is still searched
        { "2024-03", {} },
        { "0,25", { "102" } }, // a number with the decimal separator it is shown with
        { "", { "101", "102", "150", "160" } },
        { "1_1", { "101" } }, // "_" typed by the user is a wildcard
    };
    TJournalQueryBuilder b;
    b.SetSortItem(1, false);
    for (const auto& c : cases) {
        b.ApplyQuery(fJournal, Search(QString::fromUtf8(c.Search)));
        EXPECT_EQ(Numbers(), c.Expected) << c.Search;
    }
}

TEST_P(JournalBackendTest, RangeFiltersAndSorts)
{
    Aliases({ "'CONC', 'К', 1", "'OBJ_NUM', 'Н', 2", "'AN_DATE', 'Д', 3" });
    fJournal.Start();
    const struct {
        const char* Name;
        int SortItem;
        bool Reverse;
        const char* TitleSort; // replaces the sort item when set
        std::map<int, QString> Filters;
        QStringList Expected;
    } cases[] = {
        { "range, reversed number", 1, true, nullptr, { { 2, "100..149,5" } }, { "102", "101" } },
        { "lower bound of a double", 1, false, nullptr, { { 1, "1,5.." } }, { "101", "160" } },
        { "upper bound", 1, false, nullptr, { { 1, "..1" } }, { "102" } },
        { "date as shown", 1, false, nullptr, { { 3, "03.2024" } }, { "101", "102" } },
        { "date sort, empty first", 2, false, nullptr, {}, { "160", "101", "102", "150" } },
        { "date sort reversed, empty last", 2, true, nullptr, {}, { "150", "102", "101", "160" } },
        { "title sort, empty first", 0, false, "PATIENT", {}, { "102", "150", "160", "101" } },
        { "title sort reversed", 0, true, "PATIENT", {}, { "101", "160", "150", "102" } },
        { "title sort of a number", 0, true, "CONC", { { 2, "100..155" } },
            { "101", "102", "150" } },
    };
    for (const auto& c : cases) {
        TJournalQueryBuilder b;
        b.SetSortItem(c.SortItem, c.Reverse);
        if (c.TitleSort)
            b.SetTitleSort(c.TitleSort, c.Reverse);
        TQueryInputs in = Search(TJournalQueryBuilder::SearchPlaceholder());
        in.FilterRowCount = 3;
        in.FilterValue = [&c](int r) {
            const auto it = c.Filters.find(r);
            return it == c.Filters.end() ? QString() : it->second;
        };
        b.ApplyQuery(fJournal, in);
        EXPECT_EQ(Numbers(), c.Expected) << c.Name;
    }
}

TEST_P(JournalBackendTest, EditsInsertsAndDeletesReachTheDatabase)
{
    Aliases({ "'CONC', 'К', 1", "'PATIENT', 'П', 2", "'AN_DATE', 'Д', 3", "'OBJ_NUM', 'Н', 4" });
    fJournal.Start();
    TJournalQueryBuilder b;
    b.SetSortItem(1, false);
    b.ApplyQuery(fJournal, Search(TJournalQueryBuilder::SearchPlaceholder()));

    EXPECT_TRUE(fJournal.StoreRow(2, "Петров"));
    EXPECT_EQ(fJournal.Query().State(), dsEdit);
    EXPECT_THROW(fJournal.StoreRow(1, "abc"), EDatabaseError);
    EXPECT_EQ(fJournal.Query().State(), dsEdit) << "bad text keeps the record in edit mode";
    EXPECT_TRUE(fJournal.StoreRow(1, "2,125"));
    EXPECT_TRUE(fJournal.StoreRow(3, "07.03.2024"));
    fJournal.Post();
    EXPECT_EQ(fStore.Scalar("select PATIENT from analysis where OBJ_NUM=101").toString(),
              "Петров");
    EXPECT_EQ(fStore.Scalar("select CONC from analysis where OBJ_NUM=101").toDouble(), 2.125);
    EXPECT_EQ(fStore.Scalar("select count(*) from analysis where AN_DATE='2024-03-07'").toInt(),
              1);

    TDbQuery& q = fJournal.Query();
    q.Append();
    q.FieldByName("OBJ_NUM").SetAsWideString("170");
    q.FieldByName("PATIENT").SetAsWideString("Новая Запись");
    q.FieldByName("AN_DATE").SetAsWideString("01.05.2024");
    q.Post();
    EXPECT_EQ(fStore.Scalar("select PATIENT from analysis where OBJ_NUM=170").toString(),
              "Новая Запись");
    EXPECT_EQ(q.FieldByName("AN_DATE").DisplayText(), "01.05.2024")
        << "the new record reads back by the key the database gave it";
    q.Edit();
    q.FieldByName("NOTE").SetAsWideString("дописано");
    q.Post();
    EXPECT_EQ(fStore.Scalar("select NOTE from analysis where OBJ_NUM=170").toString(), "дописано");

    q.SetRecNo(2);
    ASSERT_EQ(q.FieldByName("OBJ_NUM").DisplayText(), "102");
    q.Delete();
    EXPECT_EQ(fStore.Scalar("select count(*) from analysis where OBJ_NUM=102").toInt(), 0);
    fJournal.Refresh();
    EXPECT_EQ(Numbers(), QStringList({ "101", "150", "160", "170" }));
}

TEST_P(JournalBackendTest, EveryPathGetsItsDialectAndTheArchiveAnswer)
{
    fJournal.Start();
    // A data source of the SQLite driver is read by the embedded engine, one of the
    // PostgreSQL driver in the server's dialect.
    EXPECT_EQ(fJournal.Connection().Dialect(), fStore.OnServer() ? sdPostgres : sdSqlite);
    const TArchiveOutcome outcome
        = TJournalArchive(fJournal.Connection(), QDateTime(QDate(2026, 1, 15), QTime(10, 30)))
              .Check();
    if (fStore.OnServer()) {
        EXPECT_EQ(outcome.Result, arServerSource);
        EXPECT_TRUE(outcome.Message.contains("выполняется на сервере"))
            << outcome.Message.toStdString();
    } else {
        EXPECT_NE(outcome.Result, arServerSource) << outcome.Message.toStdString();
    }
}

TEST(DemoJournalOnServer, CreatesAJournalThatOpensAndEditsAndNeverTwice)
{
    TTestServerDatabase server;
    VESKOR_NEED_SERVER(server);
    QTemporaryDir dir;
    TDbConnection db(dir.path());
    db.SetConnectionString(server.ConnectionString());
    DemoJournal::CreateOnServer(db, 200);

    TJournal journal(dir.path());
    journal.Connection().SetConnectionString(server.ConnectionString());
    journal.Start();
    EXPECT_EQ(journal.RecordCount(), 200);
    EXPECT_EQ(journal.AliasedCount(), 16);
    ASSERT_TRUE(journal.Query().CanModify()) << "the server's journal has a key to edit by";
    EXPECT_TRUE(journal.StoreRow(5, "Проверка Записи"));
    journal.Post();
    EXPECT_EQ(server.Scalar("select count(*) from analysis where PATIENT='Проверка Записи'").toInt(),
              1);

    try {
        DemoJournal::CreateOnServer(db, 10);
        FAIL() << "a second demo journal was written over the first";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains("уже есть журнал")) << e.Message().toStdString();
    }
    EXPECT_EQ(server.Scalar("select count(*) from analysis").toInt(), 200);
}

INSTANTIATE_TEST_SUITE_P(Every, JournalBackendTest, ::testing::ValuesIn(kEveryBackend),
    [](const auto& info) { return std::string(BackendName(info.param)); });

} // namespace
