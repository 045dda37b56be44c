// From the program's start to its first painted main window, on a generated journal
// (VESKOR_BENCH_RECORDS, default 100,000 records): once as a whole process, and once for the
// window alone inside a running application.
#include "app/Application.h"
#include "app/DemoJournal.h"
#include "app/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

int Records()
{
    const QByteArray text = qgetenv("VESKOR_BENCH_RECORDS");
    return text.isEmpty() ? 100000 : text.split(',').first().toInt();
}

const QString& JournalDir()
{
    static QTemporaryDir root;
    static const QString dir = [] {
        const QString d = root.filePath(QStringLiteral("journal"));
        DemoJournal::EnsureFiles(d, Records());
        return d;
    }();
    return dir;
}

QString ProgramPath()
{
    return QStringLiteral(VESKOR_PROGRAM);
}

void BM_ProcessToFirstPaint(benchmark::State& state)
{
    const QString dir = JournalDir();
    for (auto _ : state) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VESKOR_QUIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(ProgramPath(), { QStringLiteral("--data-dir"), dir });
        if (!program.waitForFinished(30000) || program.exitCode() != 0) {
            state.SkipWithError("the program did not paint and end");
            return;
        }
    }
    state.counters["records"] = Records();
}
BENCHMARK(BM_ProcessToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WindowToFirstPaint(benchmark::State& state)
{
    const QString dir = JournalDir();
    for (auto _ : state) {
        TMainForm window(dir);
        TApplication::QuitAfterFirstPaint(&window);
        window.show();
        QApplication::exec();
    }
    state.counters["records"] = Records();
}
BENCHMARK(BM_WindowToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
