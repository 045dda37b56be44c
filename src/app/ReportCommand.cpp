#include "app/ReportCommand.h"

#include "app/CommandLine.h"
#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "app/JournalArchive.h"
#include "app/ListCommand.h"
#include "platform/db/DbError.h"
#include "report/JournalReport.h"
#include "report/QuerySnapshot.h"
#include "report/ReportPrinter.h"
#include "report/ReportSource.h"
#include "report/ReportTarget.h"

#include <QDir>
#include <QGuiApplication>

namespace {

void Fail(std::FILE* err, const QString& message)
{
    std::fprintf(err, "%s\n", message.toUtf8().constData());
}

// The files of the data folder a report must never replace: the journal, the template, every
// archive, and the files SQLite keeps beside each of them.
QStringList JournalFiles(TJournal& journal)
{
    const QDir dir(journal.Connection().DataDir());
    QStringList databases { journal.Connection().FilePath(),
                            dir.absoluteFilePath(TDbConnection::JournalFileName()),
                            dir.absoluteFilePath(TJournalArchive::TemplateFileName()) };
    for (const QString& name : dir.entryList({ QStringLiteral("vsk*") }, QDir::Files)) {
        const QDateTime moment = QDateTime::fromString(name.mid(3, 6), QStringLiteral("MMyyyy"));
        if (moment.isValid() && TJournalArchive::ArchiveFileName(moment) == name)
            databases << dir.absoluteFilePath(name);
    }
    QStringList files;
    for (const QString& db : databases)
        if (!db.isEmpty())
            files << db << DatabaseCompanionFiles(db);
    return files;
}

} // namespace

int RunReportCommand(const TCommandLine& options, std::FILE* err)
{
    if ((options.ReportPdf && options.ReportPdf->isEmpty())
        || (options.ReportEmf && options.ReportEmf->isEmpty())) {
        Fail(err, QStringLiteral("Не задано имя файла отчёта."));
        return 1;
    }
    try {
        TJournal journal(options.DataDir);
        OpenJournalForOptions(options, journal);
        TDbQuery& query = journal.Query();
        auto source = TakeReportSource(query, DefaultViewColumns(query));

        // Without a window there is no printer to ask: the pages are A4.
        TReportPrinter printer(TPrinterGeometry::A4());
        printer.SetProtectedFiles(JournalFiles(journal));
        TJournalReport report(std::move(source));
        report.DoReport(printer);

        // Every name is checked before the first file is written, so a refused page leaves
        // no PDF or earlier pages behind either.
        QString error;
        QStringList targets;
        if (options.ReportPdf)
            targets << *options.ReportPdf;
        if (options.ReportEmf)
            for (int page = 1; page <= printer.PageCount(); ++page)
                targets << TReportPrinter::PageFileName(*options.ReportEmf, page);
        for (const QString& target : targets) {
            if (!printer.MayWrite(target, &error)) {
                Fail(err, error);
                return 1;
            }
        }
        if (options.ReportPdf && !printer.SaveToPdf(*options.ReportPdf, &error)) {
            Fail(err, error);
            return 1;
        }
        if (options.ReportEmf && !printer.SaveToFile(*options.ReportEmf, &error)) {
            Fail(err, error);
            return 1;
        }
        // Told, not failed: the pages hold the columns that fitted.
        if (!report.LeftOutColumns().isEmpty())
            std::fprintf(err, "%s\n",
                TJournalReport::LeftOutText(report.LeftOutColumns()).toUtf8().constData());
        return 0;
    } catch (const EDatabaseError& e) {
        Fail(err, e.Message());
        return 1;
    }
}

int RunReportProgram(int argc, char* argv[])
{
    // A report never opens a window, so it must not need a display either.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veskor"));
    const TCommandLine options = TCommandLine::Parse(QCoreApplication::arguments());
    if (!options.Error.isEmpty()) {
        std::fprintf(stderr, "%s\n\n%s", options.Error.toUtf8().constData(),
                     TCommandLine::Usage().toUtf8().constData());
        return 2;
    }
    if (options.CreateDemo) {
        try {
            const auto made = DemoJournal::EnsureFiles(options.DataDir, *options.CreateDemo);
            std::printf("%s\n",
                DemoJournal::MadeFilesText(made, options.DataDir, *options.CreateDemo)
                    .toUtf8()
                    .constData());
        } catch (const EDatabaseError& e) {
            Fail(stderr, e.Message());
            return 1;
        }
    }
    return RunReportCommand(options, stderr);
}
