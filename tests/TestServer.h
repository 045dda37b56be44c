#pragma once

#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>
#include <gtest/gtest.h>
#include <memory>

// The throw-away PostgreSQL server that the test command starts (scripts/pg-test-server.sh):
// VESKOR_TEST_PG is the connection string of a database whose role may create databases.
// The test command also sets VESKOR_REQUIRE_PG, and then a server test without a server
// fails; run by hand without it, such a test is skipped.
namespace TestServer {

inline QString BaseConnection() { return qEnvironmentVariable("VESKOR_TEST_PG"); }
inline bool Required() { return qEnvironmentVariableIsSet("VESKOR_REQUIRE_PG"); }

// The value of key in a "key=value key=value" connection string.
inline QString Value(const QString& connection, const QString& key)
{
    for (const QString& part : connection.split(u' ', Qt::SkipEmptyParts))
        if (part.section(u'=', 0, 0).compare(key, Qt::CaseInsensitive) == 0)
            return part.section(u'=', 1);
    return QString();
}

inline QString WithDatabase(const QString& connection, const QString& name)
{
    QString out = connection;
    out.replace(QRegularExpression(QStringLiteral("dbname=\\S*")), QStringLiteral("dbname=") + name);
    return out;
}

} // namespace TestServer

// A database of its own on the test server for one test, dropped afterwards, so that test
// programs running side by side never see each other's tables.
class TTestServerDatabase {
public:
    TTestServerDatabase()
    {
        const QString base = TestServer::BaseConnection();
        if (base.isEmpty()) {
            fError = QStringLiteral("VESKOR_TEST_PG is not set: no test server (run the tests "
                                    "through scripts/test.sh)");
            return;
        }
        fName = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128);
        try {
            fAdmin = std::make_unique<TDbConnection>(QDir::tempPath());
            fAdmin->SetConnectionString(base);
            fAdmin->Open();
            QSqlQuery q(fAdmin->Database());
            if (!q.exec(QStringLiteral("create database ") + fName)) {
                fError = q.lastError().text();
                return;
            }
            fCreated = true;
            fConnectionString = TestServer::WithDatabase(base, fName);
            fMine = std::make_unique<TDbConnection>(QDir::tempPath());
            fMine->SetConnectionString(fConnectionString);
            fMine->Open();
        } catch (const EDatabaseError& e) {
            fError = e.Message();
        }
        if (!fError.isEmpty())
            fError = QStringLiteral("test server at «%1»: %2").arg(base, fError);
    }

    ~TTestServerDatabase()
    {
        fMine.reset();
        if (fCreated) {
            QSqlQuery q(fAdmin->Database());
            q.exec(QStringLiteral("drop database %1 with (force)").arg(fName));
        }
    }

    TTestServerDatabase(const TTestServerDatabase&) = delete;
    TTestServerDatabase& operator=(const TTestServerDatabase&) = delete;

    const QString& Error() const { return fError; }
    const QString& ConnectionString() const { return fConnectionString; }
    const QString& Name() const { return fName; }

    void Exec(const QStringList& statements) const
    {
        QSqlQuery q(fMine->Database());
        for (const QString& s : statements)
            EXPECT_TRUE(q.exec(s)) << s.toStdString() << ": " << q.lastError().text().toStdString();
    }

    QVariant Scalar(const QString& sql) const
    {
        QSqlQuery q(fMine->Database());
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }

private:
    QString fError;
    QString fName;
    QString fConnectionString;
    bool fCreated = false;
    std::unique_ptr<TDbConnection> fAdmin;
    std::unique_ptr<TDbConnection> fMine;
};

// In SetUp or a test body: fails when the test command promised a server that is not there,
// skips when the test is run by hand without one.
#define VESKOR_NEED_SERVER(database)                                                           \
    do {                                                                                       \
        if (!(database).Error().isEmpty()) {                                                   \
            if (TestServer::Required())                                                        \
                FAIL() << (database).Error().toStdString();                                    \
            GTEST_SKIP() << (database).Error().toStdString();                                  \
        }                                                                                      \
    } while (false)
