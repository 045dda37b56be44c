// Copy and paste of a block of 10,000 rows by 10 columns: pasting a table of about 2 MB of
// HTML as another program writes it into a grid, undo record included, and copying the same
// block out in both clipboard forms. The readers must stay linear, so the paste is also run
// at a tenth and at twice the size.

#include "grid/GridClipboard.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "text/MyClipboard.h"
#include "text/PastedCells.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr qint32 kCols = 10;

QByteArray Table(qint32 Rows)
{
    QByteArray H = "<html><body><table cellspacing=0 border=0>\n";
    for (qint32 R = 0; R < Rows; ++R) {
        H += "<tr>";
        for (qint32 C = 0; C < kCols; ++C)
            H += "<td align=left>" + QStringLiteral("Иванов %1-%2").arg(R).arg(C).toUtf8()
                + "</td>";
        H += "</tr>\n";
    }
    H += "</table></body></html>";
    return TMyClipboard::HtmlHeader(H.size()) + H;
}

std::unique_ptr<TGridObject> Grid(qint32 Rows)
{
    auto G = std::make_unique<TGridObject>();
    G->SetColCount(kCols + 1);
    G->SetRowCount(Rows + 1);
    return G;
}

void BM_PasteHtmlTable(benchmark::State& State)
{
    const qint32 Rows = qint32(State.range(0));
    const QByteArray Html = Table(Rows);
    for (auto _ : State) {
        State.PauseTiming();
        std::unique_ptr<TGridObject> G = Grid(Rows);
        State.ResumeTiming();
        PasteCells(*G, ReadPastedCells(Html, QString(), 1, 1, false, kCols, Rows));
        benchmark::DoNotOptimize(G->UndoList()->Count());
        State.PauseTiming();
        G.reset();
        State.ResumeTiming();
    }
    State.SetBytesProcessed(State.iterations() * Html.size());
    State.counters["html_MB"] = double(Html.size()) / 1e6;
}
BENCHMARK(BM_PasteHtmlTable)->Arg(1000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ReadHtmlTable(benchmark::State& State)
{
    const qint32 Rows = qint32(State.range(0));
    const QByteArray Html = Table(Rows);
    for (auto _ : State)
        benchmark::DoNotOptimize(ReadPastedCells(Html, QString(), 1, 1, false, kCols, Rows));
    State.SetBytesProcessed(State.iterations() * Html.size());
}
BENCHMARK(BM_ReadHtmlTable)->Arg(1000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_CopyBlock(benchmark::State& State)
{
    const qint32 Rows = 10000;
    std::unique_ptr<TGridObject> G = Grid(Rows);
    G->SetUndoEnabled(false);
    for (qint32 R = 1; R <= Rows; ++R)
        for (qint32 C = 1; C <= kCols; ++C)
            G->SetCellValue(C, R, QStringLiteral("Иванов %1-%2").arg(R).arg(C));
    G->Selection().Clear();
    G->Selection().Add(TGridRegion { 1, 1, kCols, Rows });
    qint64 Bytes = 0;
    for (auto _ : State) {
        TGridCopy Copy;
        GridSelectionCopy(*G, Copy);
        Bytes = Copy.Html.size();
        benchmark::DoNotOptimize(Copy);
    }
    State.counters["html_MB"] = double(Bytes) / 1e6;
}
BENCHMARK(BM_CopyBlock)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
