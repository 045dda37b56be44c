// Formula cells of the shape a laboratory sheet holds, each parsed and
// calculated once through a grid interface, as a grid does when it loads.
#include "formula/TestGrid.h"

#include "formula/FormulaEngine.h"
#include "formula/Function.h"

#include <benchmark/benchmark.h>

#include <QLocale>
#include <QStringList>

#include <memory>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr qint32 SheetRows = 500;

// The heap in use, for the memory a loaded sheet keeps per formula; zero
// where the C library cannot tell.
double HeapInUse()
{
#if defined(__GLIBC__)
    const struct mallinfo2 M = mallinfo2();
    return double(M.uordblks + M.hblkhd);
#else
    return 0;
#endif
}

QStringList LabFormulas(int Count)
{
    QStringList F;
    F.reserve(Count);
    for (int I = 0; I < Count; ++I) {
        const int R = 1 + I % SheetRows;
        const int R2 = 1 + (I / 7) % SheetRows;
        switch (I % 4) {
        case 0:
            F << QStringLiteral("SUM(A%1:C%1)+%2").arg(R).arg(I);
            break;
        case 1:
            F << QStringLiteral("ROUND(AVERAGE(A%1,B%2,C%1)*%3)").arg(R).arg(R2).arg(I % 97 + 1);
            break;
        case 2:
            F << QStringLiteral("IF(A%1>%2,B%1-C%3,0)").arg(R).arg(I % 50).arg(R2);
            break;
        default:
            F << QStringLiteral("SUM(A%1, B%2*2.5, %3) / 2").arg(R).arg(R2).arg(I);
            break;
        }
    }
    return F;
}

void BM_ParseAndCalculateCells(benchmark::State& State)
{
    InitFormulaEngine(QLocale(QLocale::English, QLocale::UnitedStates));
    TTestGrid Grid(27, SheetRows + 1);
    for (qint32 Row = 1; Row <= SheetRows; ++Row)
        for (qint32 Col = 1; Col <= 3; ++Col)
            Grid.Set(Col, Row, QString::number(Row * Col % 113));
    const QStringList Formulas = LabFormulas(int(State.range(0)));
    double BytesPerFormula = 0;
    for (auto _ : State) {
        std::vector<std::unique_ptr<TFunction>> Cells;
        Cells.reserve(size_t(Formulas.size()));
        State.PauseTiming();
        const double Before = HeapInUse();
        State.ResumeTiming();
        for (qsizetype I = 0; I < Formulas.size(); ++I) {
            auto F = std::make_unique<TFunction>(
                &Grid, TGridRegion::Cell(5, qint32(1 + I % SheetRows)));
            F->SetFormula(Formulas[I]);
            F->Calculate();
            benchmark::DoNotOptimize(F->Value());
            Cells.push_back(std::move(F));
        }
        State.PauseTiming();
        BytesPerFormula = (HeapInUse() - Before) / double(Formulas.size());
        Cells.clear();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
    State.counters["bytes_per_formula"] = BytesPerFormula;
}

}

BENCHMARK(BM_ParseAndCalculateCells)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
