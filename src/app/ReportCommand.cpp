#include "app/ReportCommand.h"

#include "app/CommandLine.h"
#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "app/ListCommand.h"
#include "platform/db/DbError.h"
#include "report/JournalReport.h"
#include "report/QuerySnapshot.h"
#include "report/ReportPrinter.h"
#include "report/ReportSource.h"

#include <QGuiApplication>

namespace {

void Fail(std::FILE* err, const QString& message)
{
    std::fprintf(err, "%s\n", message.toUtf8().constData());
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
        TJournalReport report(std::move(source));
        report.DoReport(printer);

        QString error;
        if (options.ReportPdf && !printer.SaveToPdf(*options.ReportPdf, &error)) {
            Fail(err, error);
            return 1;
        }
        if (options.ReportEmf && !printer.SaveToFile(*options.ReportEmf, &error)) {
            Fail(err, error);
            return 1;
        }
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
            DemoJournal::EnsureFiles(options.DataDir, *options.CreateDemo);
        } catch (const EDatabaseError& e) {
            Fail(stderr, e.Message());
            return 1;
        }
    }
    return RunReportCommand(options, stderr);
}
