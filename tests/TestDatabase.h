#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

// A small SQLite file made from statements, for tests of the data layer and the journal.
class TTestDatabase {
public:
    explicit TTestDatabase(const QStringList& statements, const QString& fileName = "vsk-msk.db")
    {
        fPath = fDir.filePath(fileName);
        Exec(statements);
    }

    void Exec(const QStringList& statements) const
    {
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(fPath);
            EXPECT_TRUE(db.open());
            QSqlQuery q(db);
            for (const QString& s : statements)
                EXPECT_TRUE(q.exec(s)) << s.toStdString() << ": "
                                       << q.lastError().text().toStdString();
        }
        QSqlDatabase::removeDatabase(name);
    }

    QVariant Scalar(const QString& sql) const
    {
        const QString name = QUuid::createUuid().toString();
        QVariant v;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(fPath);
            db.open();
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                v = q.value(0);
        }
        QSqlDatabase::removeDatabase(name);
        return v;
    }

    const QString& Path() const { return fPath; }
    QString Dir() const { return fDir.path(); }

private:
    QTemporaryDir fDir;
    QString fPath;
};
