#pragma once

#include <QString>

class QSqlDatabase;

enum TSqlDialect {
    sdAccess, // "&" joins texts, like ignores case
    sdSqlite, // "||" joins texts; like and vsk_datetext are our own functions when embedded
    sdSqliteOdbc, // the same database through ODBC: the database's own like and no date text
    sdPostgres, // "||", search lowered with "ё" as "е", to_char
    sdOther, // standard SQL
};

// A connection to the journal's database, named by a connection string:
//   "DSN=name[;...]"     an ODBC data source (the default "DSN=vsk2" falls back to the
//                        embedded file when no such source is configured);
//   "DRIVER=...;..."     an ODBC connection by driver;
//   "postgresql://..."   or "host=... dbname=..." a PostgreSQL server;
//   anything else        an SQLite file (relative names against the data folder).
// A missing SQLite file is never created: opening it fails.
class TDbConnection {
public:
    explicit TDbConnection(QString dataDir = QString());
    ~TDbConnection();
    TDbConnection(const TDbConnection&) = delete;
    TDbConnection& operator=(const TDbConnection&) = delete;

    static QString DefaultConnectionString() { return QStringLiteral("DSN=vsk2"); }
    static QString JournalFileName() { return QStringLiteral("vsk-msk.db"); }

    const QString& ConnectionString() const { return fConnectionString; }
    void SetConnectionString(const QString& text);
    const QString& DataDir() const { return fDataDir; }

    void Open(); // throws EDatabaseError
    void Close();
    bool Connected() const;
    // Whether a server still answers on this connection (a restarted server or a broken
    // network leaves it open but dead); an embedded file always does.
    bool Alive() const;

    TSqlDialect Dialect() const { return fDialect; }
    // The SQLite file the connection opened, empty for a server.
    const QString& FilePath() const { return fFilePath; }
    QSqlDatabase Database() const;

    // A second connection to the same database, e.g. for a worker thread.
    QString QtConnectionName() const { return fName; }

private:
    void OpenSqlite(const QString& path);
    void OpenOdbc(const QString& connect);
    void OpenPostgres(const QString& connect);

    QString fDataDir;
    QString fConnectionString = DefaultConnectionString();
    QString fName;
    QString fFilePath;
    TSqlDialect fDialect = sdSqlite;
};

// Whether unixODBC knows a data source of that name (user's or system's).
bool OdbcDataSourceExists(const QString& name);
