#include "app/CommandLine.h"
#include "app/DemoJournal.h"
#include "app/ListCommand.h"
#include "app/ReportCommand.h"
#include "platform/db/DbError.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (TCommandLine::AsksForReport(QStringList(argv, argv + argc)))
        return RunReportProgram(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veskor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VESKOR_VERSION));
    const TCommandLine options = TCommandLine::Parse(QCoreApplication::arguments());
    if (!options.Error.isEmpty()) {
        std::fprintf(stderr, "%s\n\n%s", options.Error.toUtf8().constData(),
                     TCommandLine::Usage().toUtf8().constData());
        return 2;
    }
    if (options.Help) {
        std::fputs(TCommandLine::Usage().toUtf8().constData(), stdout);
        return 0;
    }
    if (options.Version) {
        std::printf("veskor %s\n", VESKOR_VERSION);
        return 0;
    }
    if (options.CreateDemo) {
        try {
            DemoJournal::EnsureFiles(options.DataDir, *options.CreateDemo);
        } catch (const EDatabaseError& e) {
            std::fprintf(stderr, "%s\n", e.Message().toUtf8().constData());
            return 1;
        }
        if (!options.List)
            return 0;
    }
    if (options.List)
        return RunListCommand(options, stdout, stderr);
    std::fputs(TCommandLine::Usage().toUtf8().constData(), stdout);
    return 0;
}
