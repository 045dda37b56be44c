// The pointer over a large grid: one million rows by one thousand columns.
// A pointer move, a drag tick and a step of a border drag may cost what the
// window shows, never what the grid holds, so each runs near the start and
// deep into the grid at the same cost.

#include "BenchGridWindow.h"
#include "grid/GridCanvas.h"
#include "grid/GridObject.h"
#include "grid/GridWindow.h"
#include "grid/model/GridFont.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr qint32 kRows = 1000000;
constexpr qint32 kCols = 1000;

struct TBigGrid {
    TBenchWindow Window;
    TGridObject Grid { &Window };

    explicit TBigGrid(qint32 TopRow)
    {
        Grid.SetColCount(kCols);
        Grid.SetRowCount(kRows);
        Grid.SetSelectionFrame(true);
        Grid.SetxlCursors(true);
        Grid.SetFirst(kCols / 2, TopRow);
        Grid.FocusCell(kCols / 2, TopRow, false, true);
    }
};

// Pointer moves over random points with no button held: hot cell, button
// and copy zones, border zones and the pointer shape (the argument is the
// top row).
void BM_PointerMove(benchmark::State& state)
{
    TBigGrid Big(qint32(state.range(0)));
    std::mt19937 Random(1);
    const QRect Client = Big.Window.ClientRect();
    for (auto _ : state) {
        const int X = int(Random() % uint32_t(Client.width()));
        const int Y = int(Random() % uint32_t(Client.height()));
        Big.Grid.MouseMove({}, X, Y);
    }
    benchmark::DoNotOptimize(Big.Grid.ActiveCell());
}
BENCHMARK(BM_PointerMove)->Arg(1)->Arg(kRows / 2)->Arg(kRows - 60);

// A cell selection dragged over the window: each step is a move and a
// timer tick that stretches the selection.
void BM_SelectDragTick(benchmark::State& state)
{
    TBigGrid Big(qint32(state.range(0)));
    std::mt19937 Random(2);
    const QRect Client = Big.Window.ClientRect();
    Big.Grid.MouseDown(Client.center().x(), Client.center().y(), { ssLeft });
    for (auto _ : state) {
        const int X = int(Random() % uint32_t(Client.width() - 100)) + 50;
        const int Y = int(Random() % uint32_t(Client.height() - 100)) + 50;
        Big.Grid.MouseMove({ ssLeft }, X, Y);
        Big.Window.Timer();
    }
    Big.Grid.MouseUp(mbLeft, {}, Client.center().x(), Client.center().y());
}
BENCHMARK(BM_SelectDragTick)->Arg(1)->Arg(kRows / 2)->Arg(kRows - 60);

// A row border dragged up and down across the rows above it, collapsing
// them and giving their heights back.
void BM_RowBorderDrag(benchmark::State& state)
{
    TBigGrid Big(qint32(state.range(0)));
    const qint32 Row = Big.Grid.TopRow() + 10;
    const QRect R = Big.Grid.RegionToRect(TGridRegion::Cell(0, Row));
    const int X = R.center().x();
    const int Border = R.bottom() - Big.Grid.SpaceHeight() - 1;
    Big.Grid.MouseDown(X, Border, { ssLeft });
    if (Big.Grid.GridState() != gsRowSizing)
        state.SkipWithError("the press missed the border");
    int Step = 0;
    for (auto _ : state) {
        const int Offset = (Step++ % 40) * 7;
        Big.Grid.MouseMove({ ssLeft }, X, Border - (Offset < 140 ? Offset : 280 - Offset));
    }
    Big.Grid.MouseUp(mbLeft, {}, X, Border);
}
BENCHMARK(BM_RowBorderDrag)->Arg(1)->Arg(kRows / 2)->Arg(kRows - 60);

}

BENCHMARK_MAIN();
