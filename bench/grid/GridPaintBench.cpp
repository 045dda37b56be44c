// Painting a full-HD view of a grid of one million rows by one thousand columns, with
// mixed head formats and a few hundred cell objects in view, against a QTableView over a
// plain item model showing the same texts in the same area. The paint into the off-screen
// image and its copy to the screen are measured apart; scrolling by one row paints a strip.
// Run with QT_QPA_PLATFORM=offscreen.

#include "grid/GridObject.h"
#include "grid/control/GridControl.h"
#include "grid/model/TextFlags.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>

namespace {

constexpr qint32 kRows = 1000000;
constexpr qint32 kCols = 1000;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

QApplication& App()
{
    static int Argc = 1;
    static char Name[] = "grid_paint_bench";
    static char* Argv[] = { Name, nullptr };
    static auto* A = new QApplication(Argc, Argv);
    return *A;
}

QString CellText(int Row, int Col) { return QString::number(qint64(Row) * 7 + Col); }

double ResidentMegabytes()
{
    std::ifstream Statm("/proc/self/statm");
    long Pages = 0, Resident = 0;
    Statm >> Pages >> Resident;
    return double(Resident) * 4096.0 / (1024.0 * 1024.0);
}

std::unique_ptr<TGridControl> MakeGrid(bool Mixed)
{
    App();
    auto C = std::make_unique<TGridControl>();
    C->resize(kWidth, kHeight);
    TGridObject& G = C->Grid();
    G.SetColCount(kCols);
    G.SetRowCount(kRows);
    G.SetSpaceWidth(1);
    G.SetSpaceHeight(1);
    G.SetDefaultColWidth(90);
    G.SetGridColor(TGridObject::gcFixedSpace, RGBColor(192, 192, 192));
    if (!Mixed)
        return C;
    // Texts come from the control's handler, as the journal's views give
    // theirs; columns 3 and 7 hold cell objects with texts of their own.
    C->OnGetEditText = [](TPersistent*, qint32 ACol, qint32 ARow, TCellStates, THead*, THead*,
                           QString& Value, bool& Handled) {
        if (ACol == 0 || ARow == 0 || ACol == 3 || ACol == 7)
            return;
        Value = CellText(ARow, ACol);
        Handled = true;
    };
    for (qint32 Col = 1; Col < 30; ++Col) {
        THead* H = G.Cols().GetHead(Col);
        if (Col % 3 == 0) {
            TGridFont F = H->Font();
            F.SetStyle({ fsBold });
            H->SetFont(F);
        }
        if (Col % 4 == 0)
            H->SetAlignment({ afRight, afSingleLine, afNoPrefix });
        if (Col % 5 == 0)
            H->SetBackColor(RGBColor(240, 248, 255));
    }
    for (qint32 Row = 1; Row <= 60; ++Row)
        for (qint32 Col : { 3, 7, 11, 15, 19 }) {
            TCell* Cell = G.Cells().GetCell(Col, Row);
            Cell->SetText(CellText(Row, Col));
            Cell->SetBackColor(RGBColor(255, 250, 230));
            if (Col == 11) {
                Cell->SetCellFormat(cfmtNumeric);
                Cell->SetPrecision(2);
            }
        }
    G.FocusCell(4, 5, false, true);
    G.ExtendSelection(6, 9);
    G.AdjustWidth(0);
    return C;
}

void BM_GridPaintOffscreen(benchmark::State& State)
{
    auto C = MakeGrid(true);
    for (auto _ : State) {
        C->Grid().InvalidateGrid();
        C->PaintPending();
        benchmark::DoNotOptimize(C->DrawBitmap().constBits());
    }
}
BENCHMARK(BM_GridPaintOffscreen)->Unit(benchmark::kMillisecond);

void BM_GridCopyToScreen(benchmark::State& State)
{
    // With nothing left to paint, a paint event only copies the picture:
    // rendered into an image that stands for the screen.
    auto C = MakeGrid(true);
    C->PaintPending();
    QImage Screen(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : State) {
        QPainter P(&Screen);
        C->render(&P);
    }
}
BENCHMARK(BM_GridCopyToScreen)->Unit(benchmark::kMillisecond);

// One row up and down again from a top row near the start and near the end: the cost of a
// frame must not grow with the distance from the top.
void BM_GridScrollOneRow(benchmark::State& State)
{
    auto C = MakeGrid(true);
    if (State.range(0) > 0)
        C->Grid().SetTopRow(qint32(State.range(0)));
    C->PaintPending();
    bool Down = true;
    for (auto _ : State) {
        TGridObject& G = C->Grid();
        G.SetTopRow(G.TopRow() + (Down ? 1 : -1));
        Down = !Down;
        C->PaintPending();
    }
}
BENCHMARK(BM_GridScrollOneRow)->Arg(0)->Arg(kRows - 200)->Unit(benchmark::kMillisecond);

class TPlainModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& P) const override { return P.isValid() ? 0 : kRows - 1; }
    int columnCount(const QModelIndex& P) const override { return P.isValid() ? 0 : kCols - 1; }
    QVariant data(const QModelIndex& I, int Role) const override
    {
        if (Role != Qt::DisplayRole)
            return {};
        return CellText(I.row() + 1, I.column() + 1);
    }
};

void BM_TableViewPaintBaseline(benchmark::State& State)
{
    App();
    TPlainModel Model;
    QTableView View;
    View.setModel(&Model);
    View.resize(kWidth, kHeight);
    View.verticalHeader()->setDefaultSectionSize(21);
    View.horizontalHeader()->setDefaultSectionSize(91);
    View.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    View.show();
    QImage Target(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : State) {
        QPainter P(&Target);
        View.render(&P);
    }
}
BENCHMARK(BM_TableViewPaintBaseline)->Unit(benchmark::kMillisecond);

void BM_UniformMillionRowMemory(benchmark::State& State)
{
    const double Before = ResidentMegabytes();
    for (auto _ : State) {
        auto C = MakeGrid(false);
        C->PaintPending();
        State.counters["process_mb"] = ResidentMegabytes();
        State.counters["grid_mb"] = ResidentMegabytes() - Before;
        State.counters["heads"] = C->Grid().Cols().Count() + C->Grid().Rows().Count();
        State.counters["cells"] = C->Grid().Cells().Count();
    }
}
BENCHMARK(BM_UniformMillionRowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
