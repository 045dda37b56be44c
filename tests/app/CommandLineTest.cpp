#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

TRun RunProgram(const QStringList& args)
{
    QProcess program;
    program.start(QStringLiteral(VESKOR_PROGRAM), args);
    TRun run;
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
        return run;
    run.ExitCode = program.exitCode();
    run.Out = QString::fromUtf8(program.readAllStandardOutput());
    run.Err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

// A script that calls the program tells a mistake in its own call (2) from a journal that
// could not be read or written (1).
TEST(CommandLineTest, UsageErrorsExitWithTwoAndFailuresWithOne)
{
    QTemporaryDir dir;
    const QString none = dir.filePath("none");
    const struct {
        QStringList Args;
        int ExitCode;
        const char* ErrorPart;
    } cases[] = {
        { { "--no-such-option" }, 2, "Неизвестный параметр: --no-such-option" },
        { { "--list", "--sort" }, 2, "После --sort нужно значение." },
        { { "--create-demo", "-3" }, 2, "Неверное значение --create-demo: -3" },
        { { "--report", "r.pdf", "--bogus" }, 2, "Неизвестный параметр: --bogus" },
        { { "--data-dir", none, "--list" }, 1, "Файл базы данных не найден" },
        { { "--data-dir", none, "--report", dir.filePath("r.pdf") }, 1, "Файл базы данных не найден" },
        { { "--help" }, 0, "" },
    };
    for (const auto& c : cases) {
        const TRun run = RunProgram(c.Args);
        const std::string call = c.Args.join(' ').toStdString();
        EXPECT_EQ(run.ExitCode, c.ExitCode) << call << ": " << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains(QString::fromUtf8(c.ErrorPart))) << call << ": "
                                                                      << run.Err.toStdString();
    }
}

TEST(CommandLineTest, CreateDemoSaysWhatItMadeAndWhere)
{
    QTemporaryDir dir;
    const QString journal = QDir(dir.path()).filePath("vsk-msk.db");
    const QString empty = QDir(dir.path()).filePath("template-msk.db");
    TRun run = RunProgram({ "--data-dir", dir.path(), "--create-demo", "2000" });
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out,
              QString("Создан демонстрационный журнал: 2\u00a0000 записей, %1; пустой шаблон: %2\n")
                  .arg(journal, empty));
    EXPECT_TRUE(QFileInfo::exists(journal) && QFileInfo::exists(empty));

    QFile::remove(empty);
    run = RunProgram({ "--data-dir", dir.path(), "--create-demo", "21" });
    EXPECT_EQ(run.Out,
              QString("Журнал уже есть, новый не создан: %1; создан пустой шаблон: %2\n")
                  .arg(journal, empty));

    QTemporaryDir other;
    run = RunProgram({ "--data-dir", other.path(), "--create-demo", "3", "--list" });
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.startsWith("Создан демонстрационный журнал: 3 записи, "))
        << run.Err.toStdString();
    EXPECT_TRUE(run.Out.startsWith("-- select")) << "the list alone is on standard output";
}

} // namespace
