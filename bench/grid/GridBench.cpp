// The grid's answers on a large, uniformly formatted grid: one million rows by one thousand
// columns. Geometry, hit tests and names must come from the heads' defaults alone, so every
// benchmark that works on the empty grid checks afterwards that no head or cell object was
// created. Creating cell objects in random order and finding them again measures the cell
// list itself; its headline is the creation in a new process, as a user's first grid meets
// it.

#include "BenchGridWindow.h"
#include "grid/GridCanvas.h"
#include "grid/GridObject.h"
#include "grid/GridWindow.h"
#include "grid/model/GridFont.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr qint32 kRows = 1000000;
constexpr qint32 kCols = 1000;

struct TBigGrid {
    TBenchWindow Window;
    TGridObject Grid { &Window };

    TBigGrid()
    {
        Grid.SetColCount(kCols);
        Grid.SetRowCount(kRows);
    }
};

// Fails the benchmark when the grid made objects it should not need. The one head allowed
// is that of column 0, which the grid fits to the row numbers whenever the top row changes.
void ExpectNoObjects(benchmark::State& state, const TGridObject& grid)
{
    const int heads = grid.Cols().Count() + grid.Rows().Count();
    const bool onlyNumbers = heads == 0 || (heads == 1 && grid.Cols().FindHead(0));
    state.counters["heads"] = double(heads);
    state.counters["cells"] = double(grid.Cells().Count());
    if (!onlyNumbers || grid.Cells().Count() != 0)
        state.SkipWithError("the uniform grid created head or cell objects");
}

TGridCell RandomCell(std::mt19937& random, qint32 cols = kCols, qint32 rows = kRows)
{
    return TGridCell { qint32(random() % uint32_t(cols - 1)) + 1,
        qint32(random() % uint32_t(rows - 1)) + 1 };
}

// Hit tests at random points of the window, scrolled deep into the grid (the argument is
// the top row).
void BM_HitTest(benchmark::State& state)
{
    TBigGrid big;
    big.Grid.SetFirst(kCols / 2, qint32(state.range(0)));
    std::mt19937 random(1);
    const QRect client = big.Window.ClientRect();
    qint64 hits = 0;
    for (auto _ : state) {
        const int x = int(random() % uint32_t(client.width()));
        const int y = int(random() % uint32_t(client.height()));
        const TGridCell cell = big.Grid.MouseToCell(x, y);
        benchmark::DoNotOptimize(cell);
        hits += cell.Col >= 0 ? 1 : 0;
    }
    benchmark::DoNotOptimize(hits);
    ExpectNoObjects(state, big.Grid);
}
BENCHMARK(BM_HitTest)->Arg(1)->Arg(kRows / 2)->Arg(kRows - 40);

void BM_RegionRect(benchmark::State& state)
{
    TBigGrid big;
    std::mt19937 random(2);
    big.Grid.SetFirst(400, 500000);
    for (auto _ : state) {
        const TGridCell a = RandomCell(random);
        const TGridCell b = RandomCell(random);
        const TGridRegion region { std::min(a.Col, b.Col), std::min(a.Row, b.Row),
            std::max(a.Col, b.Col), std::max(a.Row, b.Row) };
        benchmark::DoNotOptimize(big.Grid.RegionToRect(region));
    }
    ExpectNoObjects(state, big.Grid);
}
BENCHMARK(BM_RegionRect);

void BM_CellAndRegionNames(benchmark::State& state)
{
    TBigGrid big;
    std::mt19937 random(3);
    for (auto _ : state) {
        const TGridCell a = RandomCell(random);
        const TGridCell b = RandomCell(random);
        benchmark::DoNotOptimize(big.Grid.GetCellName(a.Col, a.Row));
        benchmark::DoNotOptimize(big.Grid.GetRegionName(TGridRegion { std::min(a.Col, b.Col),
            std::min(a.Row, b.Row), std::max(a.Col, b.Col), std::max(a.Row, b.Row) }));
    }
    ExpectNoObjects(state, big.Grid);
}
BENCHMARK(BM_CellAndRegionNames);

void BM_NameToRegion(benchmark::State& state)
{
    TBigGrid big;
    std::mt19937 random(4);
    std::vector<QString> names;
    for (int i = 0; i < 1024; ++i) {
        const TGridCell a = RandomCell(random);
        const TGridCell b = RandomCell(random);
        names.push_back(big.Grid.GetRegionName(TGridRegion { std::min(a.Col, b.Col),
            std::min(a.Row, b.Row), std::max(a.Col, b.Col), std::max(a.Row, b.Row) }));
    }
    size_t next = 0;
    bool allFound = true;
    for (auto _ : state) {
        QString relative;
        TGridRegion coord {};
        allFound &= big.Grid.GetRegionCoordByName(
            names[next++ % names.size()], TGridCell { 500, 500000 }, relative, coord);
        benchmark::DoNotOptimize(coord);
    }
    if (!allFound)
        state.SkipWithError("a generated region name was not understood");
    ExpectNoObjects(state, big.Grid);
}
BENCHMARK(BM_NameToRegion);

std::vector<TGridCell> DistinctRandomCells(int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<TGridCell> cells;
    cells.reserve(size_t(count));
    // Distinct positions: evenly spread rows, each with one random column.
    for (int i = 0; i < count; ++i) {
        const qint32 row = 1 + qint32(uint64_t(i) * (kRows - 1) / uint64_t(count));
        cells.push_back(TGridCell { 1 + qint32(random() % uint32_t(kCols - 1)), row });
    }
    std::shuffle(cells.begin(), cells.end(), random);
    return cells;
}

// Scrolling to a random position: the grid refits the row-number column over the rows shown.
void BM_Scroll(benchmark::State& state)
{
    TBigGrid big;
    std::mt19937 random(8);
    for (auto _ : state) {
        const TGridCell first = RandomCell(random, kCols - 20, kRows - 60);
        big.Grid.SetFirst(first.Col, first.Row);
    }
    ExpectNoObjects(state, big.Grid);
}
BENCHMARK(BM_Scroll);

// Creates count cell objects at random positions in a new grid and returns the time the
// creation took, without building the positions or the grid.
double CreateCellsSeconds(int count)
{
    const std::vector<TGridCell> cells = DistinctRandomCells(count, 5);
    auto big = std::make_unique<TBigGrid>();
    const auto start = std::chrono::steady_clock::now();
    for (const TGridCell& c : cells)
        benchmark::DoNotOptimize(big->Grid.Cells().Add(c.Col, c.Row));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return big->Grid.Cells().Count() == count ? took.count() : -1;
}

std::string gProgram;
constexpr std::string_view kCreateCellsOnce = "--create-cells-once";

// Creating 100,000 cell objects at random positions as a user's first grid does it: each
// iteration is a new process of this program, whose heap nothing has used yet. The target
// is under 200 ms.
void BM_CreateCellsRandomOrderFreshProcess(benchmark::State& state)
{
    const std::string command = "'" + gProgram + "' " + std::string(kCreateCellsOnce) + " "
        + std::to_string(state.range(0));
    for (auto _ : state) {
        std::FILE* child = popen(command.c_str(), "r");
        double seconds = -1;
        if (!child || std::fscanf(child, "%lf", &seconds) != 1)
            seconds = -1;
        if (child && pclose(child) != 0)
            seconds = -1;
        if (seconds < 0) {
            state.SkipWithError("the child process did not create every cell");
            return;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_CreateCellsRandomOrderFreshProcess)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(8)
    ->ComputeStatistics("min",
        [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
    ->ComputeStatistics("max",
        [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
    ->DisplayAggregatesOnly(true);

// Creating N cell objects at random positions, again and again in one process: the heap
// already holds the memory the previous iterations freed, so this is faster than a user's
// first grid and tells how the cell list grows with N, not what a user waits.
void BM_CreateCellsRandomOrderWarmHeap(benchmark::State& state)
{
    const int count = int(state.range(0));
    const std::vector<TGridCell> cells = DistinctRandomCells(count, 5);
    for (auto _ : state) {
        state.PauseTiming();
        auto big = std::make_unique<TBigGrid>();
        state.ResumeTiming();
        for (const TGridCell& c : cells)
            benchmark::DoNotOptimize(big->Grid.Cells().Add(c.Col, c.Row));
        state.PauseTiming();
        if (big->Grid.Cells().Count() != count)
            state.SkipWithError("not every cell was created");
        big.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_CreateCellsRandomOrderWarmHeap)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Looking a cell up by position among N cell objects: must grow with log N.
void BM_FindCell(benchmark::State& state)
{
    const int count = int(state.range(0));
    const std::vector<TGridCell> cells = DistinctRandomCells(count, 6);
    TBigGrid big;
    for (const TGridCell& c : cells)
        big.Grid.Cells().Add(c.Col, c.Row);
    std::mt19937 random(7);
    bool allFound = true;
    for (auto _ : state) {
        const TGridCell& c = cells[random() % cells.size()];
        allFound &= big.Grid.Cells().FindCell(c.Col, c.Row) != nullptr;
    }
    if (!allFound)
        state.SkipWithError("a created cell was not found");
    state.SetComplexityN(count);
}
BENCHMARK(BM_FindCell)->RangeMultiplier(8)->Range(1 << 6, 1 << 18)->Complexity(benchmark::oLogN);

}

int main(int argc, char** argv)
{
    // The child of the fresh-process benchmark: one creation, its time on standard output.
    if (argc == 3 && argv[1] == kCreateCellsOnce) {
        const double seconds = CreateCellsSeconds(std::atoi(argv[2]));
        std::printf("%.9f\n", seconds);
        return seconds < 0 ? 1 : 0;
    }
    std::error_code error;
    gProgram = std::filesystem::read_symlink("/proc/self/exe", error).string();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
