#include "TestDatabase.h"
#include "app/CommandLine.h"
#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "app/JournalQuery.h"
#include "app/ListCommand.h"
#include "platform/db/DbError.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <cstdio>

namespace {

const QStringList kJournal = {
    "create table analysis (OBJ_NUM integer, AN_DATE date, PATIENT varchar(80), CONC double,"
    " BIRTH_YEAR integer, PRICE currency, NOTE longtext)",
    "create table alias (FNAME varchar(64), FDESC varchar(255), ord integer)",
    "insert into analysis values (101, '2024-03-05', 'Фёдоров Юрий', 1.5, 1970, 2.5, null)",
    "insert into analysis values (102, '2024-03-06', null, 0.25, null, null, 'тест\tтаб')",
    "insert into analysis values (150, '2024-04-01', 'ИВАНОВА Ольга', null, 1985, null, null)",
};

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void Aliases(const QStringList& rows)
    {
        QStringList statements = { "delete from alias" };
        for (const QString& r : rows)
            statements << "insert into alias values (" + r + ")";
        fFile.Exec(statements);
    }

    QStringList Labels() const
    {
        QStringList out;
        for (int i = 0; i < fJournal.Query().FieldCount(); ++i)
            out << fJournal.Query().Field(i).DisplayLabel();
        return out;
    }

    TTestDatabase fFile { kJournal };
    TJournal fJournal { fFile.Dir() };
};

TEST_F(JournalTest, EmptyAliasTableLeavesTheFieldsAndOneGridRow)
{
    Aliases({ "'OBJ_NUM', 'Номер', -5" });
    fJournal.Start();
    EXPECT_EQ(fJournal.AliasedCount(), 0);
    EXPECT_EQ(Labels().first(), "OBJ_NUM");
    EXPECT_EQ(TJournal::GridRowCount(1, fJournal.AliasedCount()), 2);
    EXPECT_EQ(TJournal::GridRowCount(1, 16), 17);
    EXPECT_EQ(fJournal.Query().FieldByName("CONC").DisplayText(), "1,5")
        << "a double without an alias keeps the default rendering";
}

TEST_F(JournalTest, AFieldNamedTwiceMovesAgain)
{
    Aliases({ "'PATIENT', 'П', 1", "'CONC', 'К', 2", "'PATIENT', 'П2', 3" });
    fJournal.Start();
    EXPECT_EQ(fJournal.AliasedCount(), 3);
    EXPECT_EQ(Labels().mid(0, 3), QStringList({ "К", "OBJ_NUM", "П2" }));
}

TEST_F(JournalTest, ReopeningRereadsTheAliasTable)
{
    Aliases({ "'PATIENT', 'Пациент', 1" });
    fJournal.Start();
    EXPECT_EQ(Labels().first(), "Пациент");
    Aliases({ "'PATIENT', 'Ф.И.О.', 1" });
    TJournalQueryBuilder().ApplyFullTable(fJournal);
    EXPECT_EQ(Labels().first(), "Ф.И.О.");
}

TEST_F(JournalTest, AFailingAliasPassStillSetsTheRowCounts)
{
    fFile.Exec({ "drop table alias", "create table alias (FNAME text, ord integer)",
                 "insert into alias values ('PATIENT', 1)" });
    QSignalSpy rows(&fJournal, &TJournal::AliasesApplied);
    EXPECT_THROW(fJournal.Start(), EDatabaseError);
    EXPECT_EQ(rows.count(), 1);
}

QString RunList(const QStringList& args, int* code)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    *code = RunListCommand(TCommandLine::Parse(QStringList("veskor") + args), out, err);
    auto read = [](std::FILE* f) {
        std::rewind(f);
        QByteArray all;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            all.append(buf, qsizetype(n));
        std::fclose(f);
        return QString::fromUtf8(all);
    };
    const QString o = read(out), e = read(err);
    return *code == 0 ? o : e;
}

TEST_F(JournalTest, ListCommandOutput)
{
    Aliases({ "'OBJ_NUM', 'Номер', 1", "'NOTE', 'Примечание', 2" });
    int code = 0;
    const QString out = RunList({ "--data-dir", fFile.Dir(), "--list", "--search", "таб",
                                  "--filter", "1=10" }, &code);
    ASSERT_EQ(code, 0) << out.toStdString();
    const QStringList lines = out.split('\n');
    EXPECT_TRUE(lines[0].startsWith("-- select * from analysis where vsk_joinlike(:par1,")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "-- :par1 = %таб%");
    EXPECT_EQ(lines[2], "-- :par_1 = %10%");
    EXPECT_EQ(lines[3], "Номер\tПримечание\tAN_DATE\tPATIENT\tCONC\tBIRTH_YEAR\tPRICE");
    EXPECT_EQ(lines[4], "102\tтест\\tтаб\t06.03.2024\t\t0,25\t\t");
    EXPECT_EQ(lines.size(), 6);
}

TEST_F(JournalTest, ListCommandErrors)
{
    int code = 0;
    QString err = RunList({ "--data-dir", fFile.Dir(), "--list", "--title-sort", "NOPE" }, &code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(err.contains("NOPE")) << err.toStdString();

    QTemporaryDir empty;
    err = RunList({ "--data-dir", empty.path(), "--list" }, &code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(err.contains("не найден")) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(empty.filePath("vsk-msk.db")));

    fFile.Exec({ "drop table analysis" });
    err = RunList({ "--data-dir", fFile.Dir(), "--list" }, &code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(err.contains("analysis")) << err.toStdString();
}

TEST(DemoJournal, CreatesAJournalAndTemplateThatOpen)
{
    QTemporaryDir dir;
    DemoJournal::EnsureFiles(dir.path(), 200);
    TJournal journal(dir.path());
    journal.Start();
    EXPECT_EQ(journal.RecordCount(), 200);
    EXPECT_EQ(journal.AliasedCount(), 16);
    TJournal empty(dir.path());
    empty.Connection().SetConnectionString(dir.filePath(DemoJournal::TemplateFileName()));
    empty.Start();
    EXPECT_EQ(empty.RecordCount(), 0);
    EXPECT_EQ(empty.AliasedCount(), 16);
    EXPECT_THROW(DemoJournal::Create(dir.filePath("vsk-msk.db"), 1), EDatabaseError)
        << "an existing journal is never overwritten";
}

} // namespace
