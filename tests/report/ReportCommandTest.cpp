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
    // The demo journal has more columns than an A4 page holds: the command says which it
    // left out and still writes the pages.
    EXPECT_TRUE(err.startsWith("Не поместились столбцы: ") && err.endsWith("Примечание\n"))
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


TEST(ReportCommandTest, NeverWritesOverTheJournalItsTemplateOrAnArchive)
{
    QTemporaryDir dir;
    DemoJournal::EnsureFiles(dir.path(), 30);
    const QString journal = dir.filePath("vsk-msk.db");
    ASSERT_TRUE(QFile::copy(journal, dir.filePath("vsk012026.db")));
    ASSERT_TRUE(QFile::copy(journal, dir.filePath("renamed-archive.pdf")));
    ASSERT_TRUE(QFile::link(journal, dir.filePath("page01.emf")));
    const QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    auto contents = [&] {
        QList<QByteArray> all;
        for (const QString& name : files) {
            QFile f(dir.filePath(name));
            all << (f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
        }
        return all;
    };
    const QList<QByteArray> before = contents();

    struct {
        const char* Name;
        QStringList Args;
    } Cases[] = {
        { "journal", { "--report", journal } },
        { "journal spelt otherwise", { "--report", dir.path() + "/./vsk-msk.db" } },
        { "template", { "--report", dir.filePath("template-msk.db") } },
        { "archive", { "--report", dir.filePath("vsk012026.db") } },
        { "archive under another name", { "--report", dir.filePath("renamed-archive.pdf") } },
        { "a page named as a link to the journal",
          { "--report", dir.filePath("r.pdf"), "--report-emf", dir.filePath("page") } },
    };
    for (const auto& C : Cases) {
        QString err;
        EXPECT_EQ(RunCommand(Options(QStringList { "--data-dir", dir.path() } + C.Args), &err), 1)
            << C.Name;
        EXPECT_TRUE(err.startsWith("Отчёт не записан")) << C.Name << ": " << err.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files) << C.Name;
        EXPECT_EQ(contents(), before) << C.Name;
    }
}

} // namespace
