#pragma once

#include "TestDatabase.h"
#include "TestServer.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <optional>
#include <ostream>

// Every way a workstation reaches the journal; the journal's cases run over each of them and
// must give the same answers.
enum TBackend {
    bkSqlite, // the embedded file
    bkServer, // the PostgreSQL server, directly
    bkSqliteDsn, // an ODBC data source of the SQLite driver
    bkServerDsn, // an ODBC data source of the PostgreSQL driver
};

inline const char* BackendName(TBackend backend)
{
    switch (backend) {
    case bkSqlite:
        return "Sqlite";
    case bkServer:
        return "Server";
    case bkSqliteDsn:
        return "SqliteDsn";
    case bkServerDsn:
        return "ServerDsn";
    }
    return "?";
}

inline std::ostream& operator<<(std::ostream& out, TBackend backend)
{
    return out << BackendName(backend);
}

// The tables of a journal, in the types of each database; the rows are written the same way
// to both. A server table needs a one-column integer primary key to be edited.
struct TJournalSchema {
    QStringList Sqlite;
    QStringList Server;
    QStringList Rows;
};

// One journal on one backend, reached by the connection string a workstation would use.
class TJournalStore {
public:
    TJournalStore(TBackend backend, const TJournalSchema& schema)
        : fBackend(backend)
    {
        if (backend == bkSqlite || backend == bkSqliteDsn) {
            fFile.emplace(schema.Sqlite + schema.Rows,
                backend == bkSqlite ? QStringLiteral("vsk-msk.db") : QStringLiteral("odbc.db"));
            fDataDir = fFile->Dir();
            fConnectionString = fFile->Path();
        } else {
            fServer.emplace();
            if (!fServer->Error().isEmpty()) {
                fError = fServer->Error();
                return;
            }
            fServer->Exec(schema.Server + schema.Rows);
            fDataDir = fEmptyDir.path();
            fConnectionString = fServer->ConnectionString();
        }
        if (backend == bkSqliteDsn || backend == bkServerDsn)
            WriteDataSource();
    }

    ~TJournalStore()
    {
        if (fOdbcIni) {
            if (fOdbcIni->isEmpty())
                qunsetenv("ODBCINI");
            else
                qputenv("ODBCINI", *fOdbcIni);
        }
    }

    TJournalStore(const TJournalStore&) = delete;
    TJournalStore& operator=(const TJournalStore&) = delete;

    TBackend Backend() const { return fBackend; }
    bool OnServer() const { return fBackend == bkServer || fBackend == bkServerDsn; }
    const QString& Error() const { return fError; }
    // The folder a workstation runs in: no journal file of its own for the other backends.
    const QString& DataDir() const { return fDataDir; }
    const QString& ConnectionString() const { return fConnectionString; }

    void Exec(const QStringList& statements) const
    {
        if (fFile)
            fFile->Exec(statements);
        else
            fServer->Exec(statements);
    }
    QVariant Scalar(const QString& sql) const
    {
        return fFile ? fFile->Scalar(sql) : fServer->Scalar(sql);
    }

private:
    void WriteDataSource()
    {
        const QString driver = fBackend == bkSqliteDsn
            ? QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so")
            : QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so");
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")) || !QFileInfo::exists(driver)) {
            fError = QStringLiteral("ODBC driver %1 not installed").arg(driver);
            return;
        }
        const QString ini = QDir(fEmptyDir.path()).filePath(QStringLiteral("odbc.ini"));
        QFile f(ini);
        if (!f.open(QIODevice::WriteOnly)) {
            fError = QStringLiteral("cannot write %1").arg(ini);
            return;
        }
        // unixODBC caches what it read of a data source by its name for the life of the
        // process, so every journal gets a name of its own.
        static int counter = 0;
        const QString dsn = QStringLiteral("vsk2_%1").arg(++counter);
        QTextStream out(&f);
        out << "[" << dsn << "]\nDriver=" << driver << "\n";
        if (fFile) {
            out << "Database=" << fFile->Path() << "\n";
        } else {
            const QString base = TestServer::BaseConnection();
            out << "Servername=" << TestServer::Value(base, QStringLiteral("host")) << "\n"
                << "Database=" << fServer->Name() << "\n"
                << "Username=" << TestServer::Value(base, QStringLiteral("user")) << "\n";
        }
        fOdbcIni = qgetenv("ODBCINI");
        qputenv("ODBCINI", ini.toLocal8Bit());
        fConnectionString = QStringLiteral("DSN=") + dsn;
    }

    TBackend fBackend;
    QString fError;
    QTemporaryDir fEmptyDir;
    std::optional<TTestDatabase> fFile;
    std::optional<TTestServerDatabase> fServer;
    QString fDataDir;
    QString fConnectionString;
    std::optional<QByteArray> fOdbcIni;
};

inline const TBackend kEveryBackend[] = { bkSqlite, bkServer, bkSqliteDsn, bkServerDsn };

// In SetUp: a backend the test command provides must be there; by hand it may be skipped.
#define VESKOR_NEED_STORE(store) VESKOR_NEED_SERVER(store)
