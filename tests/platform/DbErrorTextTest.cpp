#include "TestDatabase.h"
#include "messages/Trace.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbErrorText.h"
#include "platform/db/DbQuery.h"

#include <QFile>
#include <QSqlError>

namespace {

TEST(DbErrorText, TheCommonFailuresOfTheEmbeddedDatabaseReadInRussian)
{
    const struct {
        const char* Code;
        const char* DatabaseText;
        bool SqliteCodes;
        const char* Expected;
    } cases[] = {
        { "8", "attempt to write a readonly database", true,
          "Не удалось сохранить запись: база данных открыта только для чтения" },
        { "1032", "attempt to write a readonly database", true, // SQLITE_READONLY_DBMOVED
          "Не удалось сохранить запись: база данных открыта только для чтения" },
        { "5", "database is locked", true,
          "Не удалось сохранить запись: база данных занята другой программой, повторите "
          "попытку позже" },
        { "6", "database table is locked", true,
          "Не удалось сохранить запись: таблица заблокирована другим запросом, повторите "
          "попытку позже" },
        { "13", "database or disk is full", true, "Не удалось сохранить запись: на диске нет места" },
        { "26", "file is not a database", true,
          "Не удалось сохранить запись: файл не является базой данных" },
        { "2067", "UNIQUE constraint failed: analysis.OBJ_NUM", true,
          "Не удалось сохранить запись: значение нарушает ограничение базы данных "
          "(analysis.OBJ_NUM)" },
        { "275", "CHECK constraint failed", true,
          "Не удалось сохранить запись: значение нарушает ограничение базы данных" },
        // Codes without a Russian text, a trigger's own refusal and codes of other databases
        // keep the database's words.
        { "1811", "журнал только для чтения", true,
          "Не удалось сохранить запись: журнал только для чтения" },
        { "1", "no such column: X", true, "Не удалось сохранить запись: no such column: X" },
        { "8", "permission denied for table analysis", false,
          "Не удалось сохранить запись: permission denied for table analysis" },
        { "HY000", "general error", true, "Не удалось сохранить запись: general error" },
        { "", "", true, "Не удалось сохранить запись" },
    };
    for (const auto& c : cases) {
        const QSqlError error(QString(), c.DatabaseText, QSqlError::StatementError, c.Code);
        EXPECT_EQ(DbErrorText::Message("Не удалось сохранить запись", error, c.SqliteCodes),
                  QString::fromUtf8(c.Expected))
            << c.Code << " " << c.DatabaseText;
    }
}

TEST(DbErrorText, AReadOnlyJournalRefusesAPostInRussianAndTracesTheDatabasesWords)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    TTestDatabase file({ "create table analysis (OBJ_NUM integer, PATIENT varchar(80))",
                         "insert into analysis values (10, 'Иванов')" });
    TDbConnection db(file.Dir());
    db.SetConnectionString(file.Path());
    TDbQuery q(db);
    q.SetSQL("select * from analysis");
    q.Open();
    // Root writes to any file whatever its mode, so the connection is made read-only instead.
    QSqlQuery(db.Database()).exec("pragma query_only=1");
    const QString log = file.Dir() + "/trace.log";
    ASSERT_TRUE(OpenTraceLog(log));
    q.Edit();
    q.FieldByName("PATIENT").SetAsWideString("Петров");
    QString message;
    try {
        q.Post();
    } catch (const EDatabaseError& e) {
        message = e.Message();
    }
    CloseTraceLog();
    EXPECT_EQ(message, "Не удалось сохранить запись: база данных открыта только для чтения");
    EXPECT_EQ(q.State(), dsEdit);
    EXPECT_EQ(q.FieldByName("PATIENT").DisplayText(), "Петров");
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString trace = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(trace.contains("readonly database")) << trace.toStdString();
}

} // namespace
