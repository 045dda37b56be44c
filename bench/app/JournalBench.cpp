// Opening, searching and filtering a generated journal. The record count is the benchmark's
// argument; VESKOR_BENCH_RECORDS (comma-separated) replaces the default of 100,000.
#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "app/JournalQuery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

QString JournalDir(int records)
{
    static QTemporaryDir root;
    static std::map<int, QString> made;
    auto it = made.find(records);
    if (it != made.end())
        return it->second;
    const QString dir = root.filePath(QString::number(records));
    DemoJournal::EnsureFiles(dir, records);
    return made[records] = dir;
}

TQueryInputs Inputs(const QString& search, int filterRow = 0, const QString& filter = {})
{
    TQueryInputs in;
    in.SearchText = search;
    in.FilterRowCount = 16;
    in.FilterValue = [=](int r) { return r == filterRow ? filter : QString(); };
    return in;
}

void BM_OpenJournalWithAliases(benchmark::State& state)
{
    const QString dir = JournalDir(int(state.range(0)));
    for (auto _ : state) {
        TJournal journal(dir);
        journal.Start();
        benchmark::DoNotOptimize(journal.Query().Field(0).DisplayText());
    }
}

// A name in a few records, a date and a number as the table shows them, a word in many
// records.
void BM_SearchAllFields(benchmark::State& state, const char* text)
{
    TJournal journal(JournalDir(int(state.range(0))));
    journal.Start();
    TJournalQueryBuilder builder;
    for (auto _ : state) {
        builder.ApplyQuery(journal, Inputs(QString::fromUtf8(text)));
        benchmark::DoNotOptimize(journal.Query().Field(0).DisplayText());
    }
    state.counters["found"] = journal.RecordCount();
}

void BM_NumericRangeFilter(benchmark::State& state)
{
    TJournal journal(JournalDir(int(state.range(0))));
    journal.Start();
    TJournalQueryBuilder builder;
    const QString placeholder = TJournalQueryBuilder::SearchPlaceholder();
    for (auto _ : state) {
        builder.ApplyQuery(journal, Inputs(placeholder, 10, QStringLiteral("1..2")));
        benchmark::DoNotOptimize(journal.Query().Field(0).DisplayText());
    }
    state.counters["found"] = journal.RecordCount();
}

void BM_SortByAnalysisDate(benchmark::State& state)
{
    TJournal journal(JournalDir(int(state.range(0))));
    journal.Start();
    TJournalQueryBuilder builder;
    builder.SetSortItem(2, true);
    for (auto _ : state) {
        builder.ApplyQuery(journal, Inputs(TJournalQueryBuilder::SearchPlaceholder()));
        benchmark::DoNotOptimize(journal.Query().Field(0).DisplayText());
    }
}

void Sizes(benchmark::internal::Benchmark* b)
{
    const QByteArray env = qgetenv("VESKOR_BENCH_RECORDS");
    const QList<QByteArray> sizes = env.isEmpty() ? QList<QByteArray>({ "100000" }) : env.split(',');
    for (const QByteArray& s : sizes)
        b->Arg(s.toInt());
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_OpenJournalWithAliases)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SearchAllFields, name, "иванова")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SearchAllFields, date, "12.03.2026")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SearchAllFields, common_word, "кровь")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SearchAllFields, number, "1,25")->Apply(Sizes);
// Several "%" and a "_", which the general matcher takes; the time must stay linear in the
// text however many "%" there are.
BENCHMARK_CAPTURE(BM_SearchAllFields, three_wildcards, "о%о%о%_1003")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_SearchAllFields, five_wildcards, "о%о%о%о%о%_1003")->Apply(Sizes);
BENCHMARK(BM_NumericRangeFilter)->Apply(Sizes);
BENCHMARK(BM_SortByAnalysisDate)->Apply(Sizes);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
