// Laying out the journal report of a generated demo journal, and copying the journal for it
// on the main thread. The record count is the benchmark's argument.
#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "report/JournalReport.h"
#include "report/QuerySnapshot.h"
#include "report/ReportPrinter.h"
#include "report/ReportSource.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

struct TJournalCopy {
    QTemporaryDir Dir;
    std::unique_ptr<TJournal> Journal;
    std::vector<TViewColumn> Columns;
    std::shared_ptr<const TReportSource> Source;
};

TJournalCopy& Journal(int records)
{
    static std::map<int, std::unique_ptr<TJournalCopy>> made;
    auto& j = made[records];
    if (!j) {
        j = std::make_unique<TJournalCopy>();
        DemoJournal::EnsureFiles(j->Dir.path(), records);
        j->Journal = std::make_unique<TJournal>(j->Dir.path());
        j->Journal->Start();
        j->Columns = DefaultViewColumns(j->Journal->Query());
        j->Source = TakeReportSource(j->Journal->Query(), j->Columns);
    }
    return *j;
}

void BM_TakeReportSource(benchmark::State& state)
{
    TJournalCopy& j = Journal(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(TakeReportSource(j.Journal->Query(), j.Columns));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LayoutReport(benchmark::State& state)
{
    TJournalCopy& j = Journal(int(state.range(0)));
    int pages = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        TReportPrinter prn;
        TJournalReport report(j.Source);
        report.DoReport(prn);
        state.PauseTiming();
        pages = prn.PageCount();
        bytes = 0;
        for (int i = 1; i <= pages; ++i)
            bytes += prn.GetMetafile(i)->MemoryBytes();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["pages"] = pages;
    state.counters["bytes_per_page"] = pages ? double(bytes) / pages : 0;
}

BENCHMARK(BM_TakeReportSource)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutReport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
