#pragma once

#include "app/DemoJournal.h"
#include "app/MainForm.h"

#include <QApplication>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>
#include <memory>

// The main window over a demo journal of 40 records in a folder of its own; errors and
// questions are collected instead of shown.
class MainFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "app_main_form_tests";
        static char* argv[] = { name, nullptr };
        if (!QApplication::instance())
            new QApplication(argc, argv);
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }

    void SetUp() override
    {
        ASSERT_TRUE(fDir.isValid());
        DemoJournal::EnsureFiles(fDir.path(), 40);
        fForm = std::make_unique<TMainForm>(fDir.path());
        fForm->SetErrorSink([this](const QString& m) { fErrors << m; });
        fForm->SetConfirmSink([](const QString&) { return true; });
        fForm->SetInfoSink([this](const QString& m) { fInfos << m; });
        fForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fForm.get()));
    }

    TDbQuery& Query() { return fForm->Journal().Query(); }

    int ColumnOf(const QString& fieldName)
    {
        for (int i = 0; i < Query().FieldCount(); ++i)
            if (Query().Field(i).FieldName() == fieldName)
                return i;
        return -1;
    }

    // What the journal file holds, read on a connection of its own.
    QVariant Stored(const QString& sql, const QVariant& bound = QVariant()) const
    {
        const QString name = QUuid::createUuid().toString();
        QVariant value;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(fDir.filePath("vsk-msk.db"));
            EXPECT_TRUE(db.open());
            QSqlQuery q(db);
            q.prepare(sql);
            if (bound.isValid())
                q.addBindValue(bound);
            if (q.exec() && q.next())
                value = q.value(0);
        }
        QSqlDatabase::removeDatabase(name);
        return value;
    }

    QTemporaryDir fDir;
    std::unique_ptr<TMainForm> fForm;
    QStringList fErrors;
    QStringList fInfos;
};
