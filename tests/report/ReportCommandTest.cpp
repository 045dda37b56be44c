#include "EmfReader.h"
#include "app/CommandLine.h"
#include "app/DemoJournal.h"
#include "app/ReportCommand.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TCommandLine Options(const QStringList& args)
{
    TCommandLine c = TCommandLine::Parse(QStringList { "veskor" } + args);
    EXPECT_TRUE(c.Error.isEmpty()) << c.Error.toStdString();
    return c;
}

int RunCommand(const TCommandLine& options, QString* err)
{
    std::FILE* f = std::tmpfile();
    const int rc = RunReportCommand(options, f);
    std::rewind(f);
    QByteArray text(4096, '\0');
    text.resize(qsizetype(std::fread(text.data(), 1, size_t(text.size()), f)));
    std::fclose(f);
    *err = QString::fromUtf8(text);
    return rc;
}

TEST(ReportCommandTest, WritesThePdfAndOneEmfPerPage)
{
    QTemporaryDir dir;
    DemoJournal::EnsureFiles(dir.path(), 120);
    QString err;
    const QString pdf = dir.filePath("r.pdf");
    ASSERT_EQ(RunCommand(Options({ "--data-dir", dir.path(), "--report", pdf, "--report-emf",
                            dir.filePath("page") }),
                  &err),
              0)
        << err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const int pages = int(QString::fromLatin1(f.readAll()).count(QRegularExpression("/Type\\s*/Page(?!s)")));
    EXPECT_GE(pages, 2);
    const QStringList emf = QDir(dir.path()).entryList({ "page*.emf" }, QDir::Files, QDir::Name);
    ASSERT_EQ(emf.size(), pages);
    EXPECT_EQ(emf.first(), "page01.emf");
    QFile first(dir.filePath("page01.emf"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const TEmfFile e = ReadEmf(first.readAll());
    EXPECT_TRUE(e.Error.isEmpty()) << e.Error.toStdString();
    EXPECT_TRUE(e.Texts.contains(QString("Страница 1 из %1").arg(pages)));
}

TEST(ReportCommandTest, FailsWithTheErrorText)
{
    QTemporaryDir dir;
    QString err;
    EXPECT_EQ(RunCommand(Options({ "--data-dir", dir.filePath("none"), "--database", "missing.db",
                            "--report", dir.filePath("r.pdf") }),
                  &err),
              1);
    EXPECT_FALSE(err.trimmed().isEmpty());

    DemoJournal::EnsureFiles(dir.path(), 5);
    EXPECT_EQ(RunCommand(Options({ "--data-dir", dir.path(), "--report", dir.filePath("no/dir/r.pdf") }),
                  &err),
              1);
    EXPECT_TRUE(err.contains("r.pdf")) << err.toStdString();
    EXPECT_TRUE(TCommandLine::AsksForReport({ "veskor", "--sort", "1", "--report-emf", "p" }));
    EXPECT_FALSE(TCommandLine::AsksForReport({ "veskor", "--search", "--report", "--list" }));
}

} // namespace
