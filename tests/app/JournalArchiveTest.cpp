#include "app/JournalArchive.h"
#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "platform/db/DbConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const QDateTime kMoment(QDate(2026, 1, 15), QTime(10, 30));
const QString kArchive = QStringLiteral("vsk012026.db");
const QString kJournal = QStringLiteral("vsk-msk.db");
const QString kTemplate = QStringLiteral("template-msk.db");
constexpr int kRecords = 40;

using TStep = TJournalArchive::TStep;

// Makes the given steps fail with the given errno.
TJournalArchive::TFaultHook FailAt(std::map<TStep, int> faults)
{
    return [faults](TStep step) {
        const auto it = faults.find(step);
        return it == faults.end() ? 0 : it->second;
    };
}

// A data folder with a demo journal and the empty template.
class JournalArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fDir.isValid());
        DemoJournal::Create(Path(kJournal), kRecords);
        DemoJournal::Create(Path(kTemplate), 0);
        fJournalBytes = Bytes(kJournal);
        fTemplateBytes = Bytes(kTemplate);
    }

    QString Dir() const { return fDir.path(); }
    QString Path(const QString& name) const { return fDir.filePath(name); }

    QByteArray Bytes(const QString& name) const
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList Files() const
    {
        return QDir(Dir()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    // The records of the journal table in a file, -1 when it is missing or unreadable.
    int Records(const QString& name) const
    {
        if (!QFileInfo::exists(Path(name)))
            return -1;
        const QString connection = QUuid::createUuid().toString();
        int count = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
            db.setDatabaseName(Path(name));
            db.setConnectOptions("QSQLITE_OPEN_READONLY");
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec("select count(*) from analysis") && q.next())
                    count = q.value(0).toInt();
            }
        }
        QSqlDatabase::removeDatabase(connection);
        return count;
    }

    void ExpectUnchanged(const char* what) const
    {
        EXPECT_EQ(Files(), QStringList({ kTemplate, kJournal })) << what;
        EXPECT_TRUE(Bytes(kJournal) == fJournalBytes) << what << ": the journal changed";
    }

    void ExpectArchived(const char* what) const
    {
        EXPECT_EQ(Files(), QStringList({ kTemplate, kJournal, kArchive })) << what;
        EXPECT_TRUE(Bytes(kArchive) == fJournalBytes) << what << ": the archive is not the journal";
        EXPECT_TRUE(Bytes(kJournal) == fTemplateBytes)
            << what << ": the journal is not the template";
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(Path(kArchive)).constData(), &st), 0);
        EXPECT_EQ(st.st_nlink, 1u) << what << ": the archive still shares its file";
    }

    QTemporaryDir fDir;
    QByteArray fJournalBytes;
    QByteArray fTemplateBytes;
};

// The two ways of moving the journal: by a second name, and by a rename where the file
// system has no hard links.
struct TMode {
    const char* Name;
    std::map<TStep, int> Faults;
};
const TMode kModes[] = {
    { "hard link", {} },
    { "rename", { { TJournalArchive::asLink, EPERM } } },
};

TEST(JournalArchiveNameTest, MonthAndYearOfTheMoment)
{
    const struct {
        QDateTime Moment;
        const char* Name;
    } cases[] = {
        { kMoment, "vsk012026.db" },
        { QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59)), "vsk122025.db" },
        { QDateTime(QDate(2027, 10, 1), QTime(0, 0)), "vsk102027.db" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(TJournalArchive::ArchiveFileName(c.Moment), c.Name) << c.Name;
}

TEST_F(JournalArchiveTest, JournalGoesToTheArchiveAndStartsAgainFromTheTemplate)
{
    for (const TMode& mode : kModes) {
        QFile::remove(Path(kArchive));
        QFile::remove(Path(kJournal));
        DemoJournal::Create(Path(kJournal), kRecords);
        fJournalBytes = Bytes(kJournal);
        ::chmod(QFile::encodeName(Path(kJournal)).constData(), 0640);

        TJournal journal(Dir());
        journal.Start();
        ASSERT_EQ(journal.RecordCount(), kRecords);
        TJournalArchive archive(journal.Connection(), kMoment);
        archive.SetFaultHook(FailAt(mode.Faults));
        QString asked;
        const TArchiveOutcome outcome = archive.Run(journal, [&](const QString& question) {
            asked = question;
            return true;
        });
        EXPECT_EQ(outcome.Result, arDone) << mode.Name << ": " << outcome.Message.toStdString();
        EXPECT_TRUE(outcome.Message.isEmpty()) << mode.Name;
        EXPECT_TRUE(asked.contains(kArchive)) << mode.Name;

        ExpectArchived(mode.Name);
        EXPECT_EQ(Records(kArchive), kRecords) << mode.Name;
        EXPECT_TRUE(journal.Query().Active()) << mode.Name << ": the journal was not reopened";
        EXPECT_EQ(journal.RecordCount(), 0) << mode.Name;
        EXPECT_GT(journal.AliasedCount(), 0) << mode.Name << ": the template's alias rows";
        EXPECT_EQ(QFileInfo(Path(kJournal)).permissions(), QFileInfo(Path(kArchive)).permissions())
            << mode.Name << ": the new journal keeps the old one's permissions";
    }
}

TEST_F(JournalArchiveTest, RecordBeingEditedGoesIntoTheArchive)
{
    TJournal journal(Dir());
    journal.Start();
    journal.Query().Edit();
    journal.Query().FieldByName("PATIENT").SetAsWideString("Архивная Запись");
    EXPECT_EQ(TJournalArchive(journal.Connection(), kMoment).Run(journal).Result, arDone);
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(Path(kArchive));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("select count(*) from analysis where PATIENT = 'Архивная Запись'"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 1);
    }
    QSqlDatabase::removeDatabase(name);
}

TEST_F(JournalArchiveTest, DeclinedQuestionChangesNothing)
{
    TJournal journal(Dir());
    journal.Start();
    QSignalSpy closed(&journal.Query(), &TDbQuery::AfterClose);
    TJournalArchive archive(journal.Connection(), kMoment);
    const TArchiveOutcome outcome = archive.Run(journal, [](const QString&) { return false; });
    EXPECT_EQ(outcome.Result, arCancelled);
    EXPECT_TRUE(outcome.Message.isEmpty());
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(journal.RecordCount(), kRecords);
    ExpectUnchanged("declined");
}

TEST_F(JournalArchiveTest, TemplateMissingLeavesTheJournalOpen)
{
    QFile::remove(Path(kTemplate));
    TJournal journal(Dir());
    journal.Start();
    QSignalSpy closed(&journal.Query(), &TDbQuery::AfterClose);
    TJournalArchive archive(journal.Connection(), kMoment);
    const TArchiveOutcome outcome = archive.Run(journal);
    EXPECT_EQ(outcome.Result, arTemplateMissing);
    EXPECT_EQ(outcome.Message,
        "Шаблон новой базы (template-msk.db) отсуствует в рабочей папке.\n"
        "Свяжитесь с разработчиком для получения этого файла!");
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(journal.RecordCount(), kRecords);
    EXPECT_EQ(Files(), QStringList({ kJournal }));
    EXPECT_TRUE(Bytes(kJournal) == fJournalBytes);
}

TEST_F(JournalArchiveTest, ExistingArchiveIsNeverOverwritten)
{
    const QString expected = "Файл резервной копии предыдущего года (\"vsk012026.db\") уже "
                             "существует.";
    TJournal journal(Dir());
    journal.Start();
    EXPECT_EQ(TJournalArchive(journal.Connection(), kMoment).Run(journal).Result, arDone);
    const QByteArray archived = Bytes(kArchive);
    const TArchiveOutcome second = TJournalArchive(journal.Connection(), kMoment).Run(journal);
    EXPECT_EQ(second.Result, arArchiveExists);
    EXPECT_EQ(second.Message, expected);
    EXPECT_TRUE(Bytes(kArchive) == archived);
    EXPECT_TRUE(Bytes(kJournal) == fTemplateBytes);
    EXPECT_TRUE(journal.Query().Active());
    QFile::remove(Path(kArchive));
    QFile::remove(Path(kJournal));
    ASSERT_TRUE(QFile::copy(Path(kTemplate), Path(kJournal)));

    // An archive that appears after the checks, while the journal is being moved.
    for (const TMode& mode : kModes) {
        QFile::remove(Path(kJournal));
        QFile::remove(Path(kArchive));
        DemoJournal::Create(Path(kJournal), kRecords);
        fJournalBytes = Bytes(kJournal);
        TDbConnection db(Dir());
        TJournalArchive archive(db, kMoment);
        const TStep moveStep
            = mode.Faults.empty() ? TJournalArchive::asLink : TJournalArchive::asMove;
        archive.SetFaultHook([&](TStep step) {
            if (step == moveStep) {
                QFile f(Path(kArchive));
                f.open(QIODevice::WriteOnly);
                f.write("someone else's");
            }
            return mode.Faults.count(step) ? mode.Faults.at(step) : 0;
        });
        const TArchiveOutcome outcome = archive.Swap();
        EXPECT_EQ(outcome.Result, arArchiveExists) << mode.Name;
        EXPECT_EQ(outcome.Message, expected) << mode.Name;
        EXPECT_EQ(Bytes(kArchive), "someone else's") << mode.Name;
        EXPECT_TRUE(Bytes(kJournal) == fJournalBytes) << mode.Name;
        EXPECT_EQ(Files(), QStringList({ kTemplate, kJournal, kArchive })) << mode.Name;
    }
}

TEST_F(JournalArchiveTest, FailedStepsLeaveTheJournalWhole)
{
    using J = TJournalArchive;
    const struct {
        const char* Name;
        std::map<TStep, int> Faults;
        TArchiveResult Result;
        const char* Message; // a part of it
    } cases[] = {
        { "copy fails", { { J::asCopy, EIO } }, arCopyFailed, "Журнал не изменён." },
        { "link refused", { { J::asLink, EACCES } }, arRenameFailed,
            "Невозможно переименовать \"vsk-msk.db\" в \"vsk012026.db\"!" },
        { "rename refused", { { J::asLink, EPERM }, { J::asMove, EACCES } }, arRenameFailed,
            "Невозможно переименовать \"vsk-msk.db\" в \"vsk012026.db\"!" },
        { "placing fails after the link", { { J::asPlace, EIO } }, arRestored,
            "Журнал возвращён на место" },
        { "placing fails after the rename", { { J::asLink, EPERM }, { J::asPlace, EIO } },
            arRestored, "Журнал возвращён на место" },
        { "placing and unlinking fail", { { J::asPlace, EIO }, { J::asRestore, EIO } }, arRestored,
            "Журнал возвращён на место" },
    };
    for (const auto& c : cases) {
        TJournal journal(Dir());
        journal.Start();
        TJournalArchive archive(journal.Connection(), kMoment);
        archive.SetFaultHook(FailAt(c.Faults));
        const TArchiveOutcome outcome = archive.Run(journal);
        EXPECT_EQ(outcome.Result, c.Result) << c.Name;
        EXPECT_TRUE(outcome.Message.contains(QString::fromUtf8(c.Message)))
            << c.Name << ": " << outcome.Message.toStdString();
        EXPECT_TRUE(journal.Query().Active()) << c.Name;
        EXPECT_EQ(journal.RecordCount(), kRecords) << c.Name;
        EXPECT_TRUE(Bytes(kJournal) == fJournalBytes) << c.Name;
        if (Files().contains(kArchive)) {
            // Only a second name of the journal may stay behind, and the next archive
            // finishes the job.
            EXPECT_STREQ(c.Name, "placing and unlinking fail");
            EXPECT_EQ(TJournalArchive(journal.Connection(), kMoment).Run(journal).Result, arDone);
            ExpectArchived(c.Name);
            return;
        }
        ExpectUnchanged(c.Name);
    }
}

TEST_F(JournalArchiveTest, JournalLeftInTheArchiveWhenItCannotGoBack)
{
    TJournal journal(Dir());
    journal.Start();
    TJournalArchive archive(journal.Connection(), kMoment);
    archive.SetFaultHook(FailAt({ { TJournalArchive::asLink, EPERM },
        { TJournalArchive::asPlace, EIO }, { TJournalArchive::asRestore, EIO } }));
    const TArchiveOutcome outcome = archive.Run(journal);
    EXPECT_EQ(outcome.Result, arRestoreFailed);
    EXPECT_TRUE(outcome.Message.contains("находятся в файле «vsk012026.db»"))
        << outcome.Message.toStdString();
    EXPECT_TRUE(outcome.Message.contains("vsk-msk.db")) << "the reopen's own error follows";
    EXPECT_FALSE(journal.Query().Active());
    EXPECT_EQ(Files(), QStringList({ kTemplate, kArchive }));
    EXPECT_TRUE(Bytes(kArchive) == fJournalBytes);
}

TEST_F(JournalArchiveTest, JournalInUseElsewhereIsRefused)
{
    const struct {
        const char* Name;
        QStringList Statements;
    } cases[] = {
        { "reading", { "begin", "select count(*) from analysis" } },
        { "writing", { "begin immediate", "delete from analysis where OBJ_NUM >= 0" } },
    };
    for (const auto& c : cases) {
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", name);
            other.setDatabaseName(Path(kJournal));
            ASSERT_TRUE(other.open());
            QSqlQuery q(other);
            for (const QString& s : c.Statements)
                ASSERT_TRUE(q.exec(s)) << s.toStdString();
            TJournal journal(Dir());
            TJournalArchive archive(journal.Connection(), kMoment);
            archive.SetBusyTimeout(50);
            const TArchiveOutcome outcome = archive.Run(journal);
            EXPECT_EQ(outcome.Result, arJournalBusy) << c.Name;
            EXPECT_TRUE(outcome.Message.contains("другом рабочем месте")) << c.Name;
            EXPECT_FALSE(QFileInfo::exists(Path(kArchive))) << c.Name;
            EXPECT_FALSE(QFileInfo::exists(Path(kJournal + ".new"))) << c.Name;
            EXPECT_TRUE(q.exec("rollback")) << c.Name;
        }
        QSqlDatabase::removeDatabase(name);
        ExpectUnchanged(c.Name);
        EXPECT_EQ(Records(kJournal), kRecords) << c.Name;
    }
}

TEST_F(JournalArchiveTest, IdleConnectionCannotWriteIntoTheArchive)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", name);
        other.setDatabaseName(Path(kJournal));
        ASSERT_TRUE(other.open());
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec("select count(*) from analysis"));
        q.finish();

        TDbConnection db(Dir());
        EXPECT_EQ(TJournalArchive(db, kMoment).Swap().Result, arDone);
        EXPECT_FALSE(q.exec("insert into analysis (OBJ_NUM) values (999999)"))
            << "the write went into the archive";
    }
    QSqlDatabase::removeDatabase(name);
    ExpectArchived("idle connection");
    EXPECT_EQ(Records(kArchive), kRecords);
    EXPECT_EQ(Records(kJournal), 0);
}

TEST_F(JournalArchiveTest, JournalReplacedWhileWaitingForTheLockIsLeftAlone)
{
    // Another workstation archives first: the lock this one waited for is then on the other
    // workstation's archive, not on the journal.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(Path(kJournal)).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
    TDbConnection db(Dir());
    TJournalArchive archive(db, kMoment);
    archive.SetBusyTimeout(10000);
    TArchiveOutcome outcome;
    std::thread waiting([&] { outcome = archive.Swap(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(QFile::rename(Path(kJournal), Path("vsk122025.db")));
    EXPECT_TRUE(QFile::copy(Path(kTemplate), Path(kJournal)));
    sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
    waiting.join();
    sqlite3_close(other);
    EXPECT_EQ(outcome.Result, arJournalBusy);
    EXPECT_EQ(Files(), QStringList({ kTemplate, kJournal, "vsk122025.db" }));
    EXPECT_TRUE(Bytes("vsk122025.db") == fJournalBytes);
    EXPECT_TRUE(Bytes(kJournal) == fTemplateBytes);
}

TEST_F(JournalArchiveTest, WriteAheadLogGoesWithTheJournal)
{
    // A program that dies in WAL mode leaves committed records in the log beside the file.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(Path(kJournal)).constData(), &db);
        const int rc = sqlite3_exec(db,
            "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
            "insert into analysis (OBJ_NUM) values (900001);"
            "insert into analysis (OBJ_NUM) values (900002);",
            nullptr, nullptr, nullptr);
        ::_exit(rc == SQLITE_OK ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFileInfo(Path(kJournal + "-wal")).size() > 0);

    TDbConnection db(Dir());
    const TArchiveOutcome outcome = TJournalArchive(db, kMoment).Swap();
    EXPECT_EQ(outcome.Result, arDone) << outcome.Message.toStdString();
    EXPECT_EQ(Files(), QStringList({ kTemplate, kJournal, kArchive }))
        << "a log left beside the new journal would be replayed into it";
    EXPECT_EQ(Records(kArchive), kRecords + 2);
    EXPECT_EQ(Records(kJournal), 0);
}

TEST_F(JournalArchiveTest, SourcesOtherThanTheJournalFileChangeNothing)
{
    const struct {
        const char* ConnectionString;
        TArchiveResult Result;
    } cases[] = {
        { "postgresql://db.example/journal", arServerSource },
        { "host=db.example dbname=journal user=lab", arServerSource },
        { "DRIVER={SQLite3};Database=/srv/vsk-msk.db", arServerSource },
        { "DSN=vsk2;UID=lab", arServerSource },
        { "DSN=elsewhere", arServerSource },
        { "other.db", arOtherFile },
        { "/srv/journal/vsk-msk.db", arOtherFile },
    };
    for (const auto& c : cases) {
        TDbConnection db(Dir());
        db.SetConnectionString(c.ConnectionString);
        TJournalArchive archive(db, kMoment);
        const TArchiveOutcome outcome = archive.Swap();
        EXPECT_EQ(outcome.Result, c.Result) << c.ConnectionString;
        EXPECT_FALSE(outcome.Message.isEmpty()) << c.ConnectionString;
        if (c.Result == arServerSource) {
            EXPECT_TRUE(outcome.Message.contains("выполняется на сервере")) << c.ConnectionString;
        }
        ExpectUnchanged(c.ConnectionString);
    }
    for (const QString& same : { kJournal, "sqlite:" + Path(kJournal), QString("DSN=vsk2") }) {
        TDbConnection db(Dir());
        db.SetConnectionString(same);
        EXPECT_EQ(TJournalArchive(db, kMoment).Check().Result, arReady) << same.toStdString();
    }
}

// A crash (or a kill) before any step of the swap leaves every record in the journal or
// in the archive, and the next archive finishes the job where hard links are available.
TEST_F(JournalArchiveTest, CrashAtAnyStepLosesNoRecord)
{
    using J = TJournalArchive;
    for (const TMode& mode : kModes) {
        const bool linking = mode.Faults.empty();
        for (const TStep crashAt : { J::asCopy, linking ? J::asLink : J::asMove, J::asPlace }) {
            const std::string what
                = std::string(mode.Name) + ", crash before step " + std::to_string(int(crashAt));
            QFile::remove(Path(kArchive));
            QFile::remove(Path(kJournal));
            QFile::remove(Path(kJournal + ".new"));
            DemoJournal::Create(Path(kJournal), kRecords);

            TDbConnection db(Dir());
            TJournalArchive archive(db, kMoment);
            archive.SetFaultHook([&](TStep step) {
                if (step == crashAt) {
                    if (step == J::asLink || step == J::asMove) {
                        // Half a copy, as a kill in the middle of it would leave.
                        QFile f(Path(kJournal + ".new"));
                        f.open(QIODevice::WriteOnly);
                        f.write(fTemplateBytes.left(fTemplateBytes.size() / 2));
                    }
                    ::_exit(0);
                }
                return mode.Faults.count(step) ? mode.Faults.at(step) : 0;
            });
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                archive.Swap();
                ::_exit(1);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << what;

            const int inJournal = Records(kJournal);
            const int inArchive = Records(kArchive);
            EXPECT_TRUE(inJournal == kRecords || inArchive == kRecords) << what;
            EXPECT_TRUE(inJournal == kRecords || inJournal == 0 || inJournal == -1) << what;

            archive.SetFaultHook(FailAt(mode.Faults));
            const TArchiveOutcome again = archive.Swap();
            if (!linking && crashAt == J::asPlace) {
                // Between the two renames only the archive holds the journal.
                EXPECT_EQ(again.Result, arNoJournal) << what;
                EXPECT_EQ(inArchive, kRecords) << what;
                continue;
            }
            EXPECT_EQ(again.Result, arDone) << what << ": " << again.Message.toStdString();
            EXPECT_EQ(Records(kArchive), kRecords) << what;
            EXPECT_EQ(Records(kJournal), 0) << what;
            EXPECT_EQ(Files(), QStringList({ kTemplate, kJournal, kArchive })) << what;
        }
    }
}

} // namespace
