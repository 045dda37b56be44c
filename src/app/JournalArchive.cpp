#include "app/JournalArchive.h"

#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbErrorText.h"
#include "platform/db/FileIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

// How the swap keeps every record, whatever happens, with J the journal, A the archive's
// name, T the template and N a temporary name beside J:
//
//  1. The journal's exclusive SQLite lock is taken on a connection of our own and held to
//     the end. Nobody else can read or write the journal meanwhile, and taking the lock
//     rolls back any transaction a crashed program left in a hot rollback journal, so J on
//     its own is the whole database. A journal in WAL mode is first switched to a rollback
//     journal, which SQLite grants only with no other connection open; otherwise records
//     still in the WAL file would stay behind under J's name.
//  2. T is copied to N and synced. J is untouched; a crash leaves at most a stray N, which
//     the next archive replaces.
//  3. J gets A as a second name (link, which refuses an existing A by itself). Both names
//     now lead to the same whole file. A crash here leaves J whole; the next archive finds A
//     to be the journal itself rather than an older archive and carries on.
//  4. N is renamed over the name J. The rename is atomic, so J names either the old file or
//     the whole copy, never nothing and never a part; the old file lives on as A, so no
//     file is lost by the replacement. If the rename fails, A is unlinked again and J is as
//     it was.
//  On a file system without hard links, step 3 renames J to A instead (refusing an existing
//  A) and step 4 renames N to J (refusing an existing J). Between those two renames J does
//  not exist and A holds every record; if step 4 fails, A is renamed back to J.
//
// Connections of other programs that opened J before the swap and sit idle hold no lock, so
// they cannot be refused; but SQLite checks before every write in rollback-journal mode that
// the file under the name it opened is still its own, and fails the write ("attempt to write
// a readonly database") instead of writing into the archive.

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

QString ErrorText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

void SyncFolder(const QString& folder)
{
    const int handle = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0) {
        ::fsync(handle);
        ::close(handle);
    }
}

// Copies from to a new file to, synced to disk, with the given permissions. Returns 0 or the
// errno of the failing step; on failure to does not exist.
int CopyFile(const QString& from, const QString& to, mode_t mode)
{
    const QByteArray target = Native(to);
    const int in = ::open(Native(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    ::unlink(target.constData());
    const int out = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const int rc = errno;
        ::close(in);
        return rc;
    }
    int rc = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            rc = n < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; done < n && rc == 0;) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                rc = w < 0 ? errno : ENOSPC;
            else
                done += w;
        }
        if (rc != 0)
            break;
    }
    if (rc == 0 && ::fchmod(out, mode & 07777) != 0)
        rc = errno;
    if (rc == 0 && ::fsync(out) != 0)
        rc = errno;
    if (::close(out) != 0 && rc == 0)
        rc = errno;
    ::close(in);
    if (rc != 0)
        ::unlink(target.constData());
    return rc;
}

// A rename that never replaces an existing file.
int RenameNoReplace(const QString& from, const QString& to)
{
    const QByteArray source = Native(from), target = Native(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE)
        == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // The file system cannot refuse by itself. We hold the journal's lock, so only a program
    // that is not a journal could create the name between this look and the rename.
    struct stat st;
    if (::lstat(target.constData(), &st) == 0)
        return EEXIST;
    return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
}

// Errors of link() that mean the file system has no hard links, not that the rename would
// fail as well.
bool NoHardLinks(int code)
{
    return code == EPERM || code == ENOTSUP || code == ENOSYS || code == EMLINK;
}

// SQLite's exclusive lock on the journal, held by a connection of its own for as long as
// the object lives. It writes nothing, so no rollback journal appears beside the file.
class TExclusiveLock {
public:
    TExclusiveLock(const QString& path, int busyTimeoutMs)
    {
        fCode = sqlite3_open_v2(Native(path).constData(), &fDb, SQLITE_OPEN_READWRITE, nullptr);
        if (fCode == SQLITE_OK)
            fCode = sqlite3_busy_timeout(fDb, busyTimeoutMs);
        if (fCode == SQLITE_OK && JournalMode() == "wal") {
            fCode = Exec("PRAGMA journal_mode=DELETE");
            if (fCode == SQLITE_OK && JournalMode() == "wal")
                fCode = SQLITE_BUSY;
        }
        if (fCode == SQLITE_OK)
            fCode = Exec("BEGIN EXCLUSIVE");
        if (fCode == SQLITE_OK) {
            fLocked = true;
            // Another program may have archived the journal while we waited for the lock,
            // and the lock we got is then on its archive.
            int moved = 0;
            if (sqlite3_file_control(fDb, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK
                && moved)
                fCode = SQLITE_BUSY;
        }
        if (fCode != SQLITE_OK)
            fError = DbErrorText::Reason(fCode,
                QString::fromUtf8(fDb && sqlite3_errcode(fDb) != SQLITE_OK
                        ? sqlite3_errmsg(fDb)
                        : sqlite3_errstr(fCode)));
    }

    ~TExclusiveLock()
    {
        if (fLocked)
            Exec("ROLLBACK");
        sqlite3_close(fDb);
    }

    TExclusiveLock(const TExclusiveLock&) = delete;
    TExclusiveLock& operator=(const TExclusiveLock&) = delete;

    bool Held() const { return fCode == SQLITE_OK; }
    bool Busy() const { return (fCode & 0xff) == SQLITE_BUSY || (fCode & 0xff) == SQLITE_LOCKED; }
    const QString& Error() const { return fError; }

private:
    int Exec(const char* sql) { return sqlite3_exec(fDb, sql, nullptr, nullptr, nullptr); }

    QByteArray JournalMode()
    {
        sqlite3_stmt* statement = nullptr;
        QByteArray mode;
        fCode = sqlite3_prepare_v2(fDb, "PRAGMA journal_mode", -1, &statement, nullptr);
        if (fCode == SQLITE_OK) {
            const int step = sqlite3_step(statement);
            if (step == SQLITE_ROW)
                mode = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)))
                           .toLower();
            else if (step != SQLITE_DONE)
                fCode = step;
        }
        sqlite3_finalize(statement);
        return mode;
    }

    sqlite3* fDb = nullptr;
    int fCode = SQLITE_OK;
    bool fLocked = false;
    QString fError;
};

bool StartsWith(const QString& text, const char* prefix)
{
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

// The SQLite file the connection reaches, or nothing for a server. An open connection says
// so itself; a closed one is read by the rules the connection opens with.
QString JournalFile(const TDbConnection& db)
{
    if (db.Connected())
        return db.FilePath();
    const QString& cs = db.ConnectionString();
    const QString fallback = QDir(db.DataDir()).filePath(TDbConnection::JournalFileName());
    if (StartsWith(cs, "DSN=") && !cs.contains(u';')) {
        const QString name = cs.mid(4).trimmed();
        if (cs.compare(TDbConnection::DefaultConnectionString(), Qt::CaseInsensitive) == 0
            && !OdbcDataSourceExists(name))
            return fallback;
        return QString();
    }
    if (StartsWith(cs, "DSN=") || cs.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive)
        || StartsWith(cs, "postgresql://") || StartsWith(cs, "postgres://")
        || cs.contains(QLatin1String("dbname="), Qt::CaseInsensitive))
        return QString();
    QString path = StartsWith(cs, "sqlite:") ? cs.mid(7) : cs;
    if (QFileInfo(path).isRelative())
        path = QDir(db.DataDir()).filePath(path);
    return path;
}

QString Quoted(const QString& name) { return u'"' + name + u'"'; }

TArchiveOutcome Outcome(TArchiveResult result, const QString& message = QString())
{
    return { result, message };
}

} // namespace

TJournalArchive::TJournalArchive(const TDbConnection& db, const QDateTime& moment)
    : fDataDir(db.DataDir())
    , fJournalPath(JournalFile(db))
    , fArchiveName(ArchiveFileName(moment))
{
}

QString TJournalArchive::ArchiveFileName(const QDateTime& moment)
{
    return QStringLiteral("vsk") + moment.toString(QStringLiteral("MMyyyy"))
        + QStringLiteral(".db");
}

QString TJournalArchive::TemplateFileName() { return DemoJournal::TemplateFileName(); }

QString TJournalArchive::FilePath(const QString& name) const
{
    return QDir(fDataDir).absoluteFilePath(name);
}

QString TJournalArchive::ArchivePath() const { return FilePath(fArchiveName); }

QString TJournalArchive::Question() const
{
    return QStringLiteral("Перенести все записи журнала в архив %1 и начать новый журнал?")
        .arg(fArchiveName);
}

TArchiveOutcome TJournalArchive::Check() const
{
    const QString journalName = TDbConnection::JournalFileName();
    const QString journal = FilePath(journalName);
    if (fJournalPath.isEmpty())
        return Outcome(arServerSource,
            QStringLiteral("Журнал хранится на сервере базы данных или открыт через "
                           "источник данных ODBC. Перенос записей в архив выполняется "
                           "на сервере; программа ничего не изменила."));
    if (QFileInfo(fJournalPath).absoluteFilePath() != journal)
        return Outcome(arOtherFile,
            QStringLiteral("Перенос в архив выполняется только для журнала «%1» в "
                           "рабочей папке, а открыт файл «%2». Ничего не изменено.")
                .arg(journalName, QDir::toNativeSeparators(fJournalPath)));
    const QString templateName = TemplateFileName();
    if (!QFileInfo(FilePath(templateName)).isFile())
        return Outcome(arTemplateMissing,
            QStringLiteral("Шаблон новой базы (%1) отсуствует в рабочей папке.\n"
                           "Свяжитесь с разработчиком для получения этого файла!")
                .arg(templateName));
    if (!QFileInfo(journal).isFile())
        return Outcome(arNoJournal,
            QStringLiteral("Файл журнала (%1) отсутствует в рабочей папке.").arg(journalName));
    const QString archive = FilePath(fArchiveName);
    if (QFileInfo(archive).exists() && !SameFile(journal, archive))
        return Outcome(arArchiveExists,
            QStringLiteral("Файл резервной копии предыдущего года (%1) уже существует.")
                .arg(Quoted(fArchiveName)));
    return Outcome(arReady);
}

TArchiveOutcome TJournalArchive::Swap()
{
    const TArchiveOutcome check = Check();
    if (check.Result != arReady)
        return check;
    const QString journalName = TDbConnection::JournalFileName();
    const QString journal = FilePath(journalName);
    const QString archive = FilePath(fArchiveName);
    const QString fresh = journal + QStringLiteral(".new");
    const QString folder = QDir(fDataDir).absolutePath();

    const TExclusiveLock lock(journal, fBusyTimeoutMs);
    if (!lock.Held() && lock.Busy())
        return Outcome(arJournalBusy,
            QStringLiteral("Журнал сейчас используется на другом рабочем месте или в другой "
                           "копии программы. Перенос в архив отменён, ничего не "
                           "изменено; повторите его, когда там закончат работу."));
    if (!lock.Held())
        return Outcome(arJournalUnusable,
            QStringLiteral("Не удалось открыть журнал (%1) для переноса в архив: %2. "
                           "Ничего не изменено.")
                .arg(journalName, lock.Error()));

    struct stat journalStat;
    const mode_t mode
        = ::stat(Native(journal).constData(), &journalStat) == 0 ? journalStat.st_mode : 0644;
    int rc = Fault(asCopy);
    if (rc == 0)
        rc = CopyFile(FilePath(TemplateFileName()), fresh, mode);
    if (rc != 0) {
        ::unlink(Native(fresh).constData());
        return Outcome(arCopyFailed,
            QStringLiteral("Не удалось скопировать шаблон новой базы (%1) в рабочую "
                           "папку: %2. Журнал не изменён.")
                .arg(TemplateFileName(), ErrorText(rc)));
    }

    const auto giveUp = [&](int code) {
        ::unlink(Native(fresh).constData());
        if (code == EEXIST)
            return Outcome(arArchiveExists,
                QStringLiteral("Файл резервной копии предыдущего года (%1) уже "
                               "существует.")
                    .arg(Quoted(fArchiveName)));
        return Outcome(arRenameFailed,
            QStringLiteral("Невозможно переименовать %1 в %2!")
                .arg(Quoted(journalName), Quoted(fArchiveName)));
    };
    rc = Fault(asLink);
    if (rc == 0 && ::link(Native(journal).constData(), Native(archive).constData()) != 0)
        rc = errno;
    if (rc == EEXIST && SameFile(journal, archive))
        rc = 0;
    const bool linked = rc == 0;
    if (!linked) {
        if (!NoHardLinks(rc))
            return giveUp(rc);
        rc = Fault(asMove);
        if (rc == 0)
            rc = RenameNoReplace(journal, archive);
        if (rc != 0)
            return giveUp(rc);
    }
    SyncFolder(folder);

    rc = Fault(asPlace);
    if (rc == 0) {
        if (!linked)
            rc = RenameNoReplace(fresh, journal);
        else if (!SameFile(journal, archive))
            rc = ESTALE;
        else if (::rename(Native(fresh).constData(), Native(journal).constData()) != 0)
            rc = errno;
    }
    if (rc == 0) {
        SyncFolder(folder);
        return Outcome(arDone);
    }

    ::unlink(Native(fresh).constData());
    const QString why = ErrorText(rc);
    int undo = Fault(asRestore);
    if (linked) {
        // The journal never left its name; only the archive's second name goes, and only
        // while it still is the journal itself. A name left behind is recognised as such by
        // the next archive.
        if (undo == 0 && SameFile(journal, archive))
            ::unlink(Native(archive).constData());
    } else {
        if (undo == 0)
            undo = RenameNoReplace(archive, journal);
        if (undo != 0)
            return Outcome(arRestoreFailed,
                QStringLiteral("Не удалось поставить копию шаблона на место журнала (%1) "
                               "и вернуть журнал на место (%2). Все записи журнала "
                               "находятся в файле «%3»: переименуйте его в «%4».")
                    .arg(why, ErrorText(undo), fArchiveName, journalName));
    }
    SyncFolder(folder);
    return Outcome(arRestored,
        QStringLiteral("Не удалось поставить копию шаблона на место журнала (%1). "
                       "Журнал возвращён на место, записи не перенесены.")
            .arg(why));
}

TArchiveOutcome TJournalArchive::Run(TJournal& journal, const TConfirm& confirm)
{
    TArchiveOutcome outcome = Check();
    if (outcome.Result != arReady)
        return outcome;
    if (confirm && !confirm(Question()))
        return Outcome(arCancelled);
    // Closing the query would drop a record still being edited; it belongs to the journal
    // being archived, so it is written first. A failed post stops here, with nothing closed.
    journal.Post();
    journal.Query().Close();
    journal.Connection().Close();
    outcome = Swap();
    // The journal is reopened whatever the swap did: on the fresh copy after arDone, on the
    // unchanged journal otherwise. A failure to reopen is the data layer's to report, but it
    // must not hide what the swap has to say.
    try {
        journal.Start();
    } catch (const EDatabaseError& e) {
        if (outcome.Message.isEmpty())
            throw;
        outcome.Message += QStringLiteral("\n\n") + e.Message();
    }
    return outcome;
}
