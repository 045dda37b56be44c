#include "report/ReportPrinter.h"
#include "report/ReportTarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ReportTargetTest, RefusesKeptFilesByIdentityAndAnyDatabase)
{
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.dat"); // kept, though not a database
    const QString db = dir.filePath("archive.pdf"); // a database under any name
    Write(kept, "journal bytes");
    Write(db, QByteArray("SQLite format 3\0", 16) + QByteArray(100, 'x'));
    Write(dir.filePath("old.pdf"), "%PDF-1.4 an earlier report");
    Write(dir.filePath("short"), "SQLite");
    ASSERT_EQ(::link(QFile::encodeName(kept).constData(),
                     QFile::encodeName(dir.filePath("hard.pdf")).constData()), 0);
    ASSERT_TRUE(QFile::link(kept, dir.filePath("soft.pdf")));
    QDir(dir.path()).mkdir("sub");

    struct {
        const char* Name;
        QString Target;
        bool Refused;
    } Cases[] = {
        { "new file", dir.filePath("new.pdf"), false },
        { "earlier report", dir.filePath("old.pdf"), false },
        { "shorter than the header", dir.filePath("short"), false },
        { "kept file", kept, true },
        { "kept file spelt otherwise", dir.path() + "/sub/../kept.dat", true },
        { "hard link", dir.filePath("hard.pdf"), true },
        { "symbolic link", dir.filePath("soft.pdf"), true },
        { "database", db, true },
    };
    for (const auto& C : Cases) {
        const QString why = ReportTargetRefusal(C.Target, { kept });
        EXPECT_EQ(!why.isEmpty(), C.Refused) << C.Name << ": " << why.toStdString();
        if (C.Refused) {
            EXPECT_TRUE(why.startsWith("Отчёт не записан")) << C.Name;
        }
    }
}

TEST(ReportTargetTest, SavesWriteNothingOnARefusedName)
{
    QTemporaryDir dir;
    TReportPrinter prn;
    prn.NewJob("t");
    prn.NewPage();
    prn.DonePrinting();
    const QString kept = dir.filePath("p02.emf");
    Write(kept, "journal bytes");
    prn.SetProtectedFiles({ kept });

    QString error;
    EXPECT_FALSE(prn.SaveToFile(dir.filePath("p"), &error));
    EXPECT_FALSE(QFile::exists(dir.filePath("p01.emf"))) << "no page before the refused one";
    EXPECT_FALSE(prn.SaveToPdf(kept, &error));
    EXPECT_FALSE(prn.SavePageToFile(1, kept, &error));
    EXPECT_EQ(Read(kept), "journal bytes");
    EXPECT_TRUE(error.contains("p02.emf")) << error.toStdString();
}

} // namespace
