#include "platform/db/DbConnection.h"

#include "platform/db/DbError.h"
#include "platform/db/DbErrorText.h"
#include "platform/db/SqliteFunctions.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

namespace {

QAtomicInt gConnectionCounter;

// "key=value;key=value" → the value of key, case-insensitively; empty when absent.
QString ConnectValue(const QString& text, const QString& key)
{
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        const int eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

bool StartsWith(const QString& text, const char* prefix)
{
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

QString OdbcDbmsName(const QSqlDatabase& db)
{
    const QVariant h = db.driver()->handle();
    // The driver hands out its connection handle as a plain pointer.
    if (!h.isValid()
        || (qstrcmp(h.typeName(), "SQLHANDLE") != 0 && qstrcmp(h.typeName(), "void*") != 0))
        return QString();
    SQLHANDLE hdbc = *static_cast<const SQLHANDLE*>(h.constData());
    SQLCHAR name[128] = {};
    SQLSMALLINT len = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(hdbc, SQL_DBMS_NAME, name, sizeof name, &len)))
        return QString();
    return QString::fromUtf8(reinterpret_cast<const char*>(name));
}

} // namespace

// The file of the main database of an SQLite connection, empty when it has none.
static QString SqliteMainFile(const QSqlDatabase& db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("pragma database_list")))
        return QString();
    while (q.next())
        if (q.value(1).toString() == u"main")
            return q.value(2).toString();
    return QString();
}

bool OdbcDataSourceExists(const QString& name)
{
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return false;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    bool found = false;
    SQLCHAR dsn[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR desc[512];
    SQLSMALLINT dsnLen = 0, descLen = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (!found
           && SQL_SUCCEEDED(SQLDataSources(env, direction, dsn, sizeof dsn, &dsnLen, desc,
                                           sizeof desc, &descLen))) {
        found = name.compare(QString::fromUtf8(reinterpret_cast<const char*>(dsn)),
                             Qt::CaseInsensitive)
            == 0;
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return found;
}

TDbConnection::TDbConnection(QString dataDir)
    : fDataDir(dataDir.isEmpty() ? QCoreApplication::applicationDirPath() : std::move(dataDir))
    , fName(QStringLiteral("veskor-%1").arg(gConnectionCounter.fetchAndAddRelaxed(1)))
{
}

TDbConnection::~TDbConnection()
{
    Close();
    QSqlDatabase::removeDatabase(fName);
}

void TDbConnection::SetConnectionString(const QString& text)
{
    if (Connected())
        Close();
    fConnectionString = text.trimmed();
}

bool TDbConnection::Connected() const
{
    return QSqlDatabase::contains(fName) && QSqlDatabase::database(fName, false).isOpen();
}

QSqlDatabase TDbConnection::Database() const { return QSqlDatabase::database(fName, false); }

void TDbConnection::Close()
{
    if (QSqlDatabase::contains(fName)) {
        QSqlDatabase db = QSqlDatabase::database(fName, false);
        db.close();
    }
}

bool TDbConnection::Alive() const
{
    if (!Connected())
        return false;
    if (fDialect == sdSqlite)
        return true;
    QSqlQuery ping(Database());
    return ping.exec(QStringLiteral("select 1")) && ping.next();
}

void TDbConnection::Open()
{
    if (Connected())
        return;
    const QString& cs = fConnectionString;
    if (StartsWith(cs, "DSN=") && !cs.contains(u';')) {
        const QString dsn = ConnectValue(cs, QStringLiteral("DSN"));
        if (OdbcDataSourceExists(dsn))
            OpenOdbc(cs);
        else if (cs.compare(DefaultConnectionString(), Qt::CaseInsensitive) == 0)
            OpenSqlite(QDir(fDataDir).filePath(JournalFileName()));
        else
            throw EDatabaseError(
                QStringLiteral("Источник данных ODBC «%1» не настроен.").arg(dsn));
    } else if (StartsWith(cs, "DSN=") || cs.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive)) {
        OpenOdbc(cs);
    } else if (StartsWith(cs, "postgresql://") || StartsWith(cs, "postgres://")
               || cs.contains(QLatin1String("dbname="), Qt::CaseInsensitive)) {
        OpenPostgres(cs);
    } else {
        QString path = StartsWith(cs, "sqlite:") ? cs.mid(7) : cs;
        if (QFileInfo(path).isRelative())
            path = QDir(fDataDir).filePath(path);
        OpenSqlite(path);
    }
}

void TDbConnection::OpenSqlite(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw EDatabaseError(QStringLiteral("Файл базы данных не найден: %1").arg(path));
    if (!info.isFile())
        throw EDatabaseError(QStringLiteral("Это не файл базы данных: %1").arg(path));
    QSqlDatabase db = QSqlDatabase::contains(fName) ? QSqlDatabase::database(fName, false)
                                                    : QSqlDatabase::addDatabase("QSQLITE", fName);
    if (db.driverName() != u"QSQLITE") {
        db = QSqlDatabase(); // a copy left here would keep the old driver in use
        QSqlDatabase::removeDatabase(fName);
        db = QSqlDatabase::addDatabase("QSQLITE", fName);
    }
    // mode=rw keeps the driver from creating an empty journal where the file has vanished
    // between the check above and the open.
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    url.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw EDatabaseError(DbErrorText::Message(
            QStringLiteral("Не удалось открыть базу данных %1").arg(path), db.lastError(), true));
    const QVariant h = db.driver()->handle();
    if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0) {
        sqlite3* handle = *static_cast<sqlite3* const*>(h.constData());
        if (handle) {
            RegisterJournalFunctions(handle);
            // A search reads every page of the journal; a cache of 64 MB keeps a journal of a
            // few hundred thousand records in memory between searches instead of the 2 MB
            // the library keeps by default.
            sqlite3_exec(handle, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
        }
    }
    fFilePath = info.absoluteFilePath();
    fDialect = sdSqlite;
}

void TDbConnection::OpenOdbc(const QString& connect)
{
    QSqlDatabase db = QSqlDatabase::contains(fName) ? QSqlDatabase::database(fName, false)
                                                    : QSqlDatabase::addDatabase("QODBC", fName);
    if (db.driverName() != u"QODBC") {
        db = QSqlDatabase(); // a copy left here would keep the old driver in use
        QSqlDatabase::removeDatabase(fName);
        db = QSqlDatabase::addDatabase("QODBC", fName);
    }
    if (!db.isValid())
        throw EDatabaseError(QStringLiteral("Драйвер ODBC не установлен."));
    // The driver puts "DSN=" before a string that names neither a driver nor a server, so a
    // bare data source is passed by its name.
    QString name = connect;
    if (StartsWith(connect, "DSN=") && !connect.contains(u';'))
        name = ConnectValue(connect, QStringLiteral("DSN"));
    else if (!connect.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive)
             && !connect.contains(QLatin1String("SERVER="), Qt::CaseInsensitive))
        name = connect + QStringLiteral(";SERVER=");
    db.setDatabaseName(name);
    if (!db.open())
        throw EDatabaseError(QStringLiteral("Не удалось подключиться к источнику данных %1: %2")
                                 .arg(connect, db.lastError().text()));
    const QString dbms = OdbcDbmsName(db);
    if (dbms.contains(QLatin1String("ACCESS"), Qt::CaseInsensitive)) {
        fDialect = sdAccess;
    } else if (dbms.contains(QLatin1String("SQLite"), Qt::CaseInsensitive)) {
        // The file behind a data source of the SQLite driver is opened by the embedded
        // engine instead, with the journal's own search (Cyrillic case, dates as shown) and
        // lock handling: the journal answers the same whichever way it is reached.
        const QString file = SqliteMainFile(db);
        if (!file.isEmpty() && QFileInfo(file).isFile()) {
            db.close();
            db = QSqlDatabase();
            OpenSqlite(file);
            return;
        }
        fDialect = sdSqliteOdbc;
    }
    else if (dbms.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        fDialect = sdPostgres;
    else
        fDialect = sdOther;
    fFilePath.clear();
}

void TDbConnection::OpenPostgres(const QString& connect)
{
    QSqlDatabase db = QSqlDatabase::contains(fName) ? QSqlDatabase::database(fName, false)
                                                    : QSqlDatabase::addDatabase("QPSQL", fName);
    if (db.driverName() != u"QPSQL") {
        db = QSqlDatabase(); // a copy left here would keep the old driver in use
        QSqlDatabase::removeDatabase(fName);
        db = QSqlDatabase::addDatabase("QPSQL", fName);
    }
    if (!db.isValid())
        throw EDatabaseError(QStringLiteral("Драйвер PostgreSQL не установлен."));
    if (StartsWith(connect, "postgres")) {
        const QUrl url(connect);
        db.setHostName(url.host());
        if (url.port() > 0)
            db.setPort(url.port());
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
    } else {
        QStringList options;
        for (const QString& part : connect.split(u' ', Qt::SkipEmptyParts)) {
            const QString key = part.section(u'=', 0, 0).toLower();
            const QString value = part.section(u'=', 1);
            if (key == u"host")
                db.setHostName(value);
            else if (key == u"port")
                db.setPort(value.toInt());
            else if (key == u"dbname")
                db.setDatabaseName(value);
            else if (key == u"user")
                db.setUserName(value);
            else if (key == u"password")
                db.setPassword(value);
            else
                options << part;
        }
        db.setConnectOptions(options.join(u';'));
    }
    if (!db.open())
        throw EDatabaseError(QStringLiteral("Не удалось подключиться к серверу PostgreSQL: %1")
                                 .arg(db.lastError().text()));
    fDialect = sdPostgres;
    fFilePath.clear();
}
