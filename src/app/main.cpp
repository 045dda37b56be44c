#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/DemoJournal.h"
#include "app/ListCommand.h"
#include "app/MainForm.h"
#include "app/ProgramLocale.h"
#include "app/ReportCommand.h"
#include "messages/Trace.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

QStringList Arguments(int argc, char* argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

// A journal kept elsewhere than in a file of the data folder: a server or an ODBC source
// (the default one only when it is configured, as it falls back to the file otherwise).
bool IsSharedSource(const QString& connection)
{
    const QString cs = connection.trimmed();
    auto starts = [&](const char* p) { return cs.startsWith(QLatin1String(p), Qt::CaseInsensitive); };
    if (cs.isEmpty())
        return false;
    if (cs.compare(TDbConnection::DefaultConnectionString(), Qt::CaseInsensitive) == 0)
        return OdbcDataSourceExists(cs.mid(4));
    return starts("postgresql://") || starts("postgres://") || starts("DSN=")
        || cs.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive)
        || cs.contains(QLatin1String("dbname="), Qt::CaseInsensitive);
}

void NameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("veskor"));
    QCoreApplication::setOrganizationName(QStringLiteral("Ormelin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VESKOR_VERSION));
}

int RunWindow(int argc, char* argv[], TCommandLine options)
{
    TApplication app(argc, argv);
    NameApplication();
    app.InstallTranslations();
    if (options.DataDir.isEmpty())
        options.DataDir = QCoreApplication::applicationDirPath();
    TMainForm window(options.DataDir, options.Database);
    if (qEnvironmentVariableIsSet("VESKOR_QUIT_AFTER_FIRST_PAINT"))
        TApplication::QuitAfterFirstPaint(&window);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    ChooseProgramLocale();
    if (TCommandLine::AsksForReport(Arguments(argc, argv)))
        return RunReportProgram(argc, argv);
    TCommandLine options = TCommandLine::Parse(Arguments(argc, argv));
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
    if (!options.LogFile.isEmpty() && !OpenTraceLog(options.LogFile))
        std::fprintf(stderr, "cannot open the log file %s\n", options.LogFile.toUtf8().constData());

    if (!options.CreateDemo && !options.List)
        return RunWindow(argc, argv, options);

    QCoreApplication app(argc, argv);
    NameApplication();
    if (options.DataDir.isEmpty())
        options.DataDir = QCoreApplication::applicationDirPath();
    if (options.CreateDemo) {
        try {
            QString text;
            if (IsSharedSource(options.Database)) {
                TDbConnection db(options.DataDir);
                db.SetConnectionString(options.Database);
                DemoJournal::CreateOnServer(db, *options.CreateDemo);
                text = DemoJournal::ServerMadeText(*options.CreateDemo);
            } else {
                const auto made = DemoJournal::EnsureFiles(options.DataDir, *options.CreateDemo);
                text = DemoJournal::MadeFilesText(made, options.DataDir, *options.CreateDemo);
            }
            // The list that follows owns standard output, so the note goes beside it.
            std::fprintf(options.List ? stderr : stdout, "%s\n", text.toUtf8().constData());
        } catch (const EDatabaseError& e) {
            std::fprintf(stderr, "%s\n", e.Message().toUtf8().constData());
            return 1;
        }
        if (!options.List)
            return 0;
    }
    return RunListCommand(options, stdout, stderr);
}
