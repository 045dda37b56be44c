// Laying out the journal report of a generated demo journal, copying the journal for it on
// the main thread, and the whole path from opening the journal to the laid-out document. The
// record count is the benchmark's argument.
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
#include <malloc.h>

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

// The heap the allocator has handed out and not had back, in bytes.
double HeapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks) + double(m.hblkhd);
}

void BM_LayoutReport(benchmark::State& state)
{
    TJournalCopy& j = Journal(int(state.range(0)));
    int pages = 0;
    double heap = 0;
    size_t estimate = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double before = HeapInUse();
        state.ResumeTiming();
        TReportPrinter prn;
        TJournalReport report(j.Source);
        report.DoReport(prn);
        state.PauseTiming();
        // Measured while the finished document is alive: what a report window holds.
        heap = HeapInUse() - before;
        pages = prn.PageCount();
        estimate = 0;
        for (int i = 1; i <= pages; ++i)
            estimate += prn.GetMetafile(i)->MemoryBytes();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["pages"] = pages;
    state.counters["heap_bytes_per_page"] = pages ? heap / pages : 0;
    // The pages' own sum of their capacities: an estimate that leaves out the allocator's
    // overhead, kept beside the measured figure to show how far apart they are.
    state.counters["estimated_bytes_per_page"] = pages ? double(estimate) / pages : 0;
}

// What a report costs from the journal file to the finished document, the way "--report"
// goes: open the journal (with its alias pass), read every record, lay them all out.
void BM_ReportFromJournal(benchmark::State& state)
{
    const QString dir = Journal(int(state.range(0))).Dir.path();
    int pages = 0;
    for (auto _ : state) {
        TJournal journal(dir);
        journal.Start();
        auto source = TakeReportSource(journal.Query(), DefaultViewColumns(journal.Query()));
        TReportPrinter prn;
        TJournalReport report(std::move(source));
        report.DoReport(prn);
        pages = prn.PageCount();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["pages"] = pages;
}

BENCHMARK(BM_TakeReportSource)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutReport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportFromJournal)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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
