// Opening, searching and filtering a generated journal, in a file and on a PostgreSQL server
// in the same run. The record count is the benchmark's first argument; VESKOR_BENCH_RECORDS
// (comma-separated) replaces the default of 100,000. The second is the backend: 0 the file,
// 1 the server that VESKOR_BENCH_PG (or the tests' VESKOR_TEST_PG) names, whose role may
// create databases; without one the server's runs report an error and the others go on.
#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "app/JournalQuery.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

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

// The connection string of a server database holding the demo journal of that many records,
// made once per run; empty with the reason in *error when there is no server.
QString ServerJournal(int records, QString* error)
{
    static std::map<int, QString> made;
    auto it = made.find(records);
    if (it != made.end())
        return it->second;
    QString base = qEnvironmentVariable("VESKOR_BENCH_PG");
    if (base.isEmpty())
        base = qEnvironmentVariable("VESKOR_TEST_PG");
    if (base.isEmpty()) {
        *error = QStringLiteral("no server: set VESKOR_BENCH_PG");
        return QString();
    }
    const QString name = QStringLiteral("veskor_bench_%1").arg(records);
    try {
        TDbConnection admin(QDir::tempPath());
        admin.SetConnectionString(base);
        admin.Open();
        QSqlQuery q(admin.Database());
        q.exec(QStringLiteral("drop database if exists %1 with (force)").arg(name));
        if (!q.exec(QStringLiteral("create database %1").arg(name))) {
            *error = q.lastError().text();
            return QString();
        }
        QString connection = base;
        connection.replace(QRegularExpression(QStringLiteral("dbname=\\S*")),
            QStringLiteral("dbname=") + name);
        TDbConnection db(QDir::tempPath());
        db.SetConnectionString(connection);
        DemoJournal::CreateOnServer(db, records);
        QSqlQuery(db.Database()).exec(QStringLiteral("analyze analysis"));
        return made[records] = connection;
    } catch (const EDatabaseError& e) {
        *error = e.Message();
        return QString();
    }
}

// The journal of the benchmark's arguments, not yet started; false when it cannot be had.
bool MakeJournal(benchmark::State& state, std::unique_ptr<TJournal>& journal)
{
    const int records = int(state.range(0));
    const QString dir = JournalDir(records);
    journal = std::make_unique<TJournal>(dir);
    if (state.range(1) == 0) {
        journal->Connection().SetConnectionString(dir + QStringLiteral("/vsk-msk.db"));
        return true;
    }
    QString error;
    const QString connection = ServerJournal(records, &error);
    if (connection.isEmpty()) {
        state.SkipWithError(error.toStdString().c_str());
        return false;
    }
    journal->Connection().SetConnectionString(connection);
    return true;
}

TQueryInputs Inputs(const QString& search, int filterRow = 0, const QString& filter = {})
{
    TQueryInputs in;
    in.SearchText = search;
    in.FilterRowCount = 16;
    in.FilterValue = [=](int r) { return r == filterRow ? filter : QString(); };
    return in;
}

// Connecting, reading the keys and the alias table, and the first screen of records.
void BM_OpenJournalWithAliases(benchmark::State& state)
{
    std::unique_ptr<TJournal> made;
    if (!MakeJournal(state, made))
        return;
    const QString connection = made->Connection().ConnectionString();
    const QString dir = made->Connection().DataDir();
    made.reset();
    for (auto _ : state) {
        TJournal journal(dir);
        journal.Connection().SetConnectionString(connection);
        journal.Start();
        for (int r = 0; r < 40; ++r)
            benchmark::DoNotOptimize(journal.Query().DisplayTextAt(r, journal.Query().Field(0)));
    }
}

// A name in a few records, a date and a number as the table shows them, a word in many
// records.
void BM_SearchAllFields(benchmark::State& state, const char* text)
{
    std::unique_ptr<TJournal> made;
    if (!MakeJournal(state, made))
        return;
    TJournal& journal = *made;
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
    std::unique_ptr<TJournal> made;
    if (!MakeJournal(state, made))
        return;
    TJournal& journal = *made;
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
    std::unique_ptr<TJournal> made;
    if (!MakeJournal(state, made))
        return;
    TJournal& journal = *made;
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
    for (int backend : { 0, 1 })
        for (const QByteArray& s : sizes)
            b->Args({ s.toInt(), backend });
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
