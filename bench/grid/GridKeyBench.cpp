// A key that moves the current cell of a grid of one million rows, with the
// repaint it causes, and one character typed into the open editor, with its
// repaint. Both go through the control's key events as a user's keys do.
// Run with QT_QPA_PLATFORM=offscreen.

#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "grid/control/GridControl.h"

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QApplication& App()
{
    static int Argc = 1;
    static char Name[] = "grid_key_bench";
    static char* Argv[] = { Name, nullptr };
    static auto* A = new QApplication(Argc, Argv);
    return *A;
}

std::unique_ptr<TGridControl> MakeGrid()
{
    App();
    auto C = std::make_unique<TGridControl>();
    C->resize(1920, 1080);
    TGridObject& G = C->Grid();
    G.SetColCount(100);
    G.SetRowCount(1000001);
    for (qint32 R = 1; R <= 60; ++R)
        for (qint32 Col = 1; Col <= 20; ++Col)
            G.SetCellValue(Col, R, QString::number(R * 100 + Col));
    G.UndoList()->Clear();
    C->PaintPending();
    return C;
}

void Send(TGridControl& C, int Key, const QString& Text = QString())
{
    QKeyEvent Down(QEvent::KeyPress, Key, Qt::NoModifier, Text);
    QApplication::sendEvent(&C, &Down);
    QKeyEvent Up(QEvent::KeyRelease, Key, Qt::NoModifier, Text);
    QApplication::sendEvent(&C, &Up);
}

// Down and Up in turn near the middle of the grid: each press moves the
// current cell and repaints the two cells.
void BM_KeyMovesCurrentCell(benchmark::State& State)
{
    auto C = MakeGrid();
    C->Grid().SetTopRow(500000);
    C->Grid().FocusCell(5, 500010, true, true);
    C->PaintPending();
    bool Down = true;
    for (auto _ : State) {
        Send(*C, Down ? Qt::Key_Down : Qt::Key_Up);
        C->PaintPending();
        Down = !Down;
    }
}
BENCHMARK(BM_KeyMovesCurrentCell)->Unit(benchmark::kMicrosecond);

// Page Down scrolls the whole view: the worst case of a moving key.
void BM_PageDownScrolls(benchmark::State& State)
{
    auto C = MakeGrid();
    C->Grid().FocusCell(5, 1, true, true);
    for (auto _ : State) {
        if (C->Grid().Row() > 990000)
            C->Grid().FocusCell(5, 1, true, true);
        Send(*C, Qt::Key_PageDown);
        C->PaintPending();
    }
}
BENCHMARK(BM_PageDownScrolls)->Unit(benchmark::kMicrosecond);

// One character typed into an open editor and painted; the editor is
// emptied now and then so that the text stays a cell's length.
void BM_TypeIntoEditor(benchmark::State& State)
{
    auto C = MakeGrid();
    C->Grid().FocusCell(5, 10, true, true);
    Send(*C, Qt::Key_F2);
    C->PaintPending();
    int Typed = 0;
    for (auto _ : State) {
        if (++Typed % 40 == 0) {
            State.PauseTiming();
            C->Grid().SelectAllEditorText();
            Send(*C, Qt::Key_Backspace);
            C->PaintPending();
            State.ResumeTiming();
        }
        Send(*C, Qt::Key_A, QStringLiteral("ж"));
        C->PaintPending();
    }
}
BENCHMARK(BM_TypeIntoEditor)->Unit(benchmark::kMicrosecond);

// The repaint of one cell, for comparison with the typing above.
void BM_RepaintOneCell(benchmark::State& State)
{
    auto C = MakeGrid();
    for (auto _ : State) {
        C->Grid().InvalidateCell(5, 10);
        C->PaintPending();
    }
}
BENCHMARK(BM_RepaintOneCell)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
