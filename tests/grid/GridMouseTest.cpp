#include "TestApplication.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "grid/control/GridControl.h"
#include "grid/DropList.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace {

// A 10 x 200 grid with one fixed row and column in a 640 x 400 control,
// every column in view.
// Points are worked out from the grid's own geometry, so the tests do not
// depend on the font that sizes the row numbers.
class GridMouse : public ::testing::Test {
public:
    GridMouse()
    {
        C.resize(640, 400);
        G().SetColCount(10);
        G().SetRowCount(200);
        G().SetDefaultColWidth(50);
    }

    TGridObject& G() { return C.Grid(); }

    QPoint Center(qint32 Col, qint32 Row)
    {
        return G().RegionToRect(TGridRegion::Cell(Col, Row)).center();
    }
    // The right (bottom) edge of a column's (row's) body, over its header.
    QPoint ColBorder(qint32 Col)
    {
        const QRect R = G().RegionToRect(TGridRegion::Cell(Col, 0));
        return QPoint(R.right() + 1 - G().SpaceWidth(), R.center().y());
    }
    QPoint RowBorder(qint32 Row)
    {
        const QRect R = G().RegionToRect(TGridRegion::Cell(0, Row));
        return QPoint(R.center().x(), R.bottom() + 1 - G().SpaceHeight());
    }

    void Check(const char* Where)
    {
        QString Fault;
        EXPECT_TRUE(G().CheckConsistency(&Fault)) << Where << ": " << Fault.toStdString();
    }
    void Press(QPoint P, TShiftState S = {})
    {
        S.Include(ssLeft);
        G().MouseDown(P.x(), P.y(), S);
        Check("press");
    }
    void DoubleClick(QPoint P)
    {
        G().MouseDown(P.x(), P.y(), { ssLeft, ssDouble });
        Check("double click");
    }
    void Move(QPoint P)
    {
        G().MouseMove({ ssLeft }, P.x(), P.y());
        Check("move");
    }
    void Tick()
    {
        ASSERT_TRUE(G().TimerRunning());
        C.FireTimer();
        Check("tick");
    }
    void Release(QPoint P)
    {
        G().MouseUp(mbLeft, {}, P.x(), P.y());
        Check("release");
        EXPECT_FALSE(G().TimerRunning()) << "the timer runs only while a drag does";
        EXPECT_EQ(C.TimerInterval(), 0);
        EXPECT_EQ(G().GridState(), gsNormal);
    }
    void Drag(QPoint From, QPoint To, TShiftState S = {})
    {
        Press(From, S);
        Move(To);
        if (G().TimerRunning())
            Tick();
        Release(To);
    }
    std::vector<TGridRegion> Regions()
    {
        std::vector<TGridRegion> R;
        for (int I = 0; I < G().Selection().Count(); ++I)
            R.push_back(G().Selection().Items(I)->Coord());
        return R;
    }
    QString Text(qint32 Col, qint32 Row) { return G().GetCellText(Col, Row, TCellStates()); }

    QApplication& App = TestApplication();
    TGridControl C;
};

std::string Describe(const std::vector<TGridRegion>& Rs)
{
    std::string S;
    for (const TGridRegion& R : Rs)
        S += "(" + std::to_string(R.FirstCol) + "," + std::to_string(R.FirstRow) + ")-("
            + std::to_string(R.LastCol) + "," + std::to_string(R.LastRow) + ") ";
    return S;
}

}

TEST_F(GridMouse, PressesAndDragsSelectCellsRowsAndColumns)
{
    const qint32 LR = 199;
    const qint32 LC = 9;
    struct TCase {
        const char* Name;
        std::function<void(GridMouse&)> Act;
        std::vector<TGridRegion> Selection;
        TGridCell Current;
    };
    const std::vector<TCase> Cases {
        { "click", [](GridMouse& T) { T.Drag(T.Center(3, 4), T.Center(3, 4)); },
            { TGridRegion::Cell(3, 4) }, { 3, 4 } },
        { "drag over cells", [](GridMouse& T) { T.Drag(T.Center(2, 2), T.Center(4, 3)); },
            { { 2, 2, 4, 3 } }, { 2, 2 } },
        { "drag back above the press", [](GridMouse& T) { T.Drag(T.Center(4, 5), T.Center(2, 3)); },
            { { 2, 3, 4, 5 } }, { 4, 5 } },
        { "shift click",
            [](GridMouse& T) {
                T.Drag(T.Center(2, 2), T.Center(2, 2));
                T.Drag(T.Center(4, 5), T.Center(4, 5), { ssShift });
            },
            { { 2, 2, 4, 5 } }, { 2, 2 } },
        { "ctrl click adds a region",
            [](GridMouse& T) {
                T.Drag(T.Center(2, 2), T.Center(2, 2));
                T.Drag(T.Center(4, 5), T.Center(4, 5), { ssCtrl });
            },
            { TGridRegion::Cell(2, 2), TGridRegion::Cell(4, 5) }, { 4, 5 } },
        { "ctrl shift click adds the spanned region",
            [](GridMouse& T) {
                T.Drag(T.Center(2, 2), T.Center(2, 2));
                T.Drag(T.Center(4, 5), T.Center(4, 5), { ssCtrl, ssShift });
            },
            { TGridRegion::Cell(2, 2), { 2, 2, 4, 5 } }, { 2, 2 } },
        { "plain click after ctrl clicks collapses",
            [](GridMouse& T) {
                T.Drag(T.Center(2, 2), T.Center(2, 2));
                T.Drag(T.Center(4, 5), T.Center(4, 5), { ssCtrl });
                T.Drag(T.Center(3, 3), T.Center(3, 3));
            },
            { TGridRegion::Cell(3, 3) }, { 3, 3 } },
        { "column header", [](GridMouse& T) { T.Drag(T.Center(3, 0), T.Center(3, 0)); },
            { { 3, 1, 3, LR } }, { 3, 1 } },
        { "column headers dragged", [](GridMouse& T) { T.Drag(T.Center(2, 0), T.Center(4, 0)); },
            { { 2, 1, 4, LR } }, { 2, 1 } },
        { "row header", [](GridMouse& T) { T.Drag(T.Center(0, 4), T.Center(0, 4)); },
            { { 1, 4, LC, 4 } }, { 1, 4 } },
        { "row headers dragged down", [](GridMouse& T) { T.Drag(T.Center(0, 4), T.Center(0, 6)); },
            { { 1, 4, LC, 6 } }, { 1, 4 } },
        { "ctrl row header adds a row",
            [](GridMouse& T) {
                T.Drag(T.Center(2, 2), T.Center(2, 2));
                T.Drag(T.Center(0, 6), T.Center(0, 6), { ssCtrl });
            },
            { TGridRegion::Cell(2, 2), { 1, 6, LC, 6 } }, { 1, 6 } },
        { "corner selects all", [](GridMouse& T) { T.Drag(T.Center(0, 0), T.Center(0, 0)); },
            { { 1, 1, LC, LR } }, { 1, 1 } },
        { "beyond the last column nothing",
            [](GridMouse& T) {
                T.Drag(T.Center(2, 2), T.Center(2, 2));
                T.G().SetColCount(3);
                T.Press(QPoint(630, T.Center(2, 3).y()));
                T.G().MouseUp(mbLeft, {}, 630, T.Center(2, 3).y());
            },
            { TGridRegion::Cell(2, 2) }, { 2, 2 } },
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(K.Name);
        G().SetColCount(10);
        G().FocusCell(1, 1, true, true);
        K.Act(*this);
        EXPECT_EQ(Describe(Regions()), Describe(K.Selection));
        EXPECT_EQ(G().Current(), K.Current);
    }
}

TEST_F(GridMouse, RowSelectKeepsWholeRowsOnHeaderAndCornerClicks)
{
    G().SetRowSelect(true);
    Drag(Center(3, 5), Center(3, 5));
    const std::vector<TGridRegion> Row { { 1, 5, 9, 5 } };
    EXPECT_EQ(Describe(Regions()), Describe(Row));
    for (QPoint P : { Center(4, 0), Center(0, 7), Center(0, 0) }) {
        Press(P);
        G().MouseUp(mbLeft, {}, P.x(), P.y());
        Check("release");
        EXPECT_EQ(Describe(Regions()), Describe(Row));
        EXPECT_EQ(G().Current(), (TGridCell { 3, 5 }));
    }
    Drag(Center(2, 8), Center(2, 9));
    EXPECT_EQ(Describe(Regions()), Describe({ { 1, 8, 9, 8 } })) << "a drag does not stretch rows";
}

TEST_F(GridMouse, DraggingABorderSizesTheColumnOrRow)
{
    G().SetAutoCollapse(false);
    const qint32 Width = G().GetColWidth(3);
    const QPoint B = ColBorder(3);
    Press(B);
    EXPECT_EQ(G().GridState(), gsColSizing);
    EXPECT_EQ(C.TimerInterval(), 50);
    Move(B + QPoint(30, 0));
    EXPECT_EQ(G().GetColWidth(3), Width) << "without collapsing the size waits for the release";
    Release(B + QPoint(30, 0));
    EXPECT_EQ(G().GetColWidth(3), Width + 30);

    G().SetAutoCollapse(true);
    const qint32 Height = G().GetRowHeight(4);
    const QPoint R = RowBorder(4);
    Press(R);
    EXPECT_EQ(G().GridState(), gsRowSizing);
    Move(R + QPoint(0, 7));
    EXPECT_EQ(G().GetRowHeight(4), Height + 7) << "collapsing mode sizes as the pointer goes";
    Release(R + QPoint(0, 7));
    EXPECT_EQ(G().GetRowHeight(4), Height + 7);
}

TEST_F(GridMouse, BorderDraggedPastStartsCollapsesAndComesBackInReverseOrder)
{
    G().Cols().GetHead(3)->SetSize(60);
    G().Cols().GetHead(4)->SetSize(70);
    G().Cols().GetHead(5)->SetSize(80);
    const QPoint Start = ColBorder(5);
    const QPoint Into2 = Center(2, 0);
    Press(Start);
    // Left in small steps, as a hand moves, well into column 2.
    for (qint32 X = Start.x(); X >= Into2.x(); X -= 9)
        Move(QPoint(X, Start.y()));
    Move(Into2);
    EXPECT_EQ(G().GetColWidth(5), 0);
    EXPECT_EQ(G().GetColWidth(4), 0);
    EXPECT_EQ(G().GetColWidth(3), 0);
    EXPECT_FALSE(G().GetColVisible(3));
    EXPECT_LT(G().GetColWidth(2), 50) << "the border of column 2 follows the pointer";
    EXPECT_EQ(G().SizingIndex(), 2);
    // And back to where the drag started: each column gets its own width
    // back, the last collapsed first.
    for (qint32 X = Into2.x(); X <= Start.x(); X += 9)
        Move(QPoint(X, Start.y()));
    Move(Start);
    EXPECT_EQ(G().GetColWidth(2), 50);
    EXPECT_EQ(G().GetColWidth(3), 60);
    EXPECT_EQ(G().GetColWidth(4), 70);
    EXPECT_EQ(G().GetColWidth(5), 80);
    Release(Start);
    EXPECT_EQ(G().GetColWidth(5), 80);
    EXPECT_TRUE(G().Cols().CollapseHistory().empty());

    // One jump over several columns collapses them in one step, and one
    // jump back restores them all.
    Press(Start);
    Move(Into2);
    EXPECT_EQ(G().GetColWidth(4), 0);
    Move(Start + QPoint(10, 0));
    EXPECT_EQ(G().GetColWidth(3), 60);
    EXPECT_EQ(G().GetColWidth(4), 70);
    EXPECT_EQ(G().GetColWidth(5), 90);
    Release(Start + QPoint(10, 0));
}

TEST_F(GridMouse, CollapsedColumnIsPulledOutAgainFromItsBorder)
{
    G().Cols().GetHead(3)->SetSize(0);
    const QPoint Border = ColBorder(2);
    const QPoint Pull(Border.x() + G().SpaceWidth() + 5, Border.y());
    EXPECT_TRUE(G().SpecialState(Pull.x(), Pull.y()));
    Press(Pull);
    EXPECT_EQ(G().GridState(), gsColSizing);
    EXPECT_EQ(G().SizingIndex(), 3);
    Move(Pull + QPoint(40, 0));
    Release(Pull + QPoint(40, 0));
    EXPECT_GT(G().GetColWidth(3), 30);
    EXPECT_EQ(G().GetColWidth(2), 50);
}

TEST_F(GridMouse, DoubleClickOnABorderFitsTheColumn)
{
    G().SetCellValue(2, 3, QStringLiteral("a text far wider than the column it is in"));
    const qint32 Before = G().GetColWidth(2);
    const QPoint B = ColBorder(2);
    Press(B);
    Release(B);
    DoubleClick(B);
    G().MouseUp(mbLeft, {}, B.x(), B.y());
    EXPECT_GT(G().GetColWidth(2), Before);
    EXPECT_EQ(G().GridState(), gsNormal);
}

TEST_F(GridMouse, DoubleClickOnACellOpensTheEditorAndAPressElsewhereClosesIt)
{
    Drag(Center(3, 3), Center(3, 3));
    DoubleClick(Center(3, 3));
    G().MouseUp(mbLeft, {}, Center(3, 3).x(), Center(3, 3).y());
    ASSERT_TRUE(G().EditorMode());
    EXPECT_EQ(G().EditCell(), (TGridCell { 3, 3 }));
    Press(Center(3, 3));
    EXPECT_EQ(G().GridState(), gsTextSelecting) << "a press in the editor selects text";
    EXPECT_EQ(C.TimerInterval(), 10);
    Release(Center(3, 3));
    EXPECT_TRUE(G().EditorMode());
    Drag(Center(5, 6), Center(5, 6));
    EXPECT_FALSE(G().EditorMode());
    EXPECT_EQ(G().Current(), (TGridCell { 5, 6 }));
}

TEST_F(GridMouse, ColumnAndRowBlocksMoveToWhereTheyAreDropped)
{
    struct TMoved {
        qint32 Start, End, Count;
        bool operator==(const TMoved&) const = default;
    };
    std::vector<TMoved> Columns, Rows;
    C.OnColumnsMoved = [&](TPersistent* Sender, qint32 S, qint32 E, qint32 N) {
        EXPECT_EQ(Sender, &G());
        Columns.push_back({ S, E, N });
    };
    C.OnRowsMoved = [&](TPersistent*, qint32 S, qint32 E, qint32 N) {
        Rows.push_back({ S, E, N });
    };
    G().Cols().GetHead(2)->SetTag(2);
    G().Cols().GetHead(3)->SetTag(3);
    G().Cols().GetHead(6)->SetTag(6);
    G().SetCellValue(2, 4, QStringLiteral("moves with its column"));

    Drag(Center(2, 0), Center(3, 0));
    Press(Center(2, 0));
    EXPECT_EQ(G().GridState(), gsColMoving);
    EXPECT_EQ(C.PointerShape(), gpMultiDrag);
    Move(Center(6, 0));
    Tick();
    EXPECT_EQ(G().EndMoving(), 6);
    Release(Center(6, 0));
    ASSERT_EQ(Columns.size(), 1u);
    EXPECT_EQ(Columns[0], (TMoved { 2, 6, 2 }));
    EXPECT_EQ(G().Cols().FindHead(5)->Tag(), 2);
    EXPECT_EQ(G().Cols().FindHead(6)->Tag(), 3);
    EXPECT_EQ(G().Cols().FindHead(4)->Tag(), 6);
    EXPECT_EQ(Text(5, 4), QStringLiteral("moves with its column"));
    EXPECT_EQ(Describe(Regions()), Describe({ { 5, 1, 6, 199 } }));
    EXPECT_EQ(G().Current(), (TGridCell { 5, 1 }));

    // Back to the left, one row block the same way.
    Press(Center(5, 0));
    Move(Center(1, 0));
    Tick();
    Release(Center(1, 0));
    ASSERT_EQ(Columns.size(), 2u);
    EXPECT_EQ(Columns[1], (TMoved { 5, 1, 2 }));
    EXPECT_EQ(G().Cols().FindHead(1)->Tag(), 2);
    EXPECT_EQ(Describe(Regions()), Describe({ { 1, 1, 2, 199 } }));

    G().Rows().GetHead(3)->SetTag(33);
    Drag(Center(0, 3), Center(0, 3));
    Press(Center(0, 3));
    EXPECT_EQ(G().GridState(), gsRowMoving);
    Move(Center(0, 5));
    Tick();
    Release(Center(0, 5));
    ASSERT_EQ(Rows.size(), 1u);
    EXPECT_EQ(Rows[0], (TMoved { 3, 5, 1 }));
    EXPECT_EQ(G().Rows().FindHead(5)->Tag(), 33);

    // Dropped on itself, or with moving switched off, nothing moves.
    Press(Center(0, 5));
    Release(Center(0, 5));
    EXPECT_EQ(Rows.size(), 1u);
    G().SetRowMoving(false);
    Press(Center(0, 5));
    EXPECT_EQ(G().GridState(), gsRowSelecting);
    Move(Center(0, 8));
    Tick();
    Release(Center(0, 8));
    EXPECT_EQ(Rows.size(), 1u);
    EXPECT_EQ(Describe(Regions()), Describe({ { 1, 5, 9, 8 } }));
}

TEST_F(GridMouse, FillHandleRepeatsTheTextsAndOneUndoTakesItBack)
{
    G().SetSelectionFrame(true);
    G().SetCellValue(2, 2, QStringLiteral("a"));
    G().SetCellValue(2, 3, QStringLiteral("b"));
    G().SetCellValue(2, 6, QStringLiteral("old"));
    Drag(Center(2, 2), Center(2, 3));
    const int Records = G().UndoList()->Count();
    const QRect Outer = G().RegionToRect({ 2, 2, 2, 3 }).translated(-1, -1).adjusted(-1, -1, 1, 1);
    const QPoint Handle = Outer.bottomRight() - QPoint(2, 2);
    G().SetxlCursors(true);
    G().MouseMove({}, Handle.x(), Handle.y());
    EXPECT_EQ(C.PointerShape(), gpCopyStretch);
    Press(Handle);
    EXPECT_EQ(G().CopyState(), csCopyStretch);
    EXPECT_EQ(C.TimerInterval(), 30);
    Move(Center(2, 7));
    Tick();
    Tick();
    EXPECT_EQ(Describe(Regions()), Describe({ { 2, 2, 2, 7 } }));
    Release(Center(2, 7));
    EXPECT_EQ(G().CopyState(), csNone);
    const QString Filled[] = { "a", "b", "a", "b", "a", "b" };
    for (qint32 R = 2; R <= 7; ++R)
        EXPECT_EQ(Text(2, R), Filled[R - 2]) << "row " << R;
    ASSERT_EQ(G().UndoList()->Count(), Records + 1) << "the fill is one step";
    G().UndoList()->Undo();
    Check("undo");
    EXPECT_EQ(Text(2, 4), QString());
    EXPECT_EQ(Text(2, 6), QStringLiteral("old"));
    EXPECT_EQ(Text(2, 7), QString());
    EXPECT_EQ(Text(2, 3), QStringLiteral("b"));

    // A press that never leaves the dead zone fills nothing.
    Drag(Center(2, 2), Center(2, 3));
    Press(Handle);
    Move(Handle + QPoint(3, 3));
    Tick();
    Release(Handle + QPoint(3, 3));
    EXPECT_EQ(G().UndoList()->Count(), Records);
    EXPECT_EQ(Text(2, 4), QString());
}

TEST_F(GridMouse, DragBorderMovesTheBlockAndUndoPutsEverythingBack)
{
    G().SetSelectionFrame(true);
    G().SetCellValue(2, 2, QStringLiteral("a"));
    G().SetCellValue(3, 2, QStringLiteral("b"));
    G().SetCellValue(2, 3, QStringLiteral("c"));
    G().Cells().GetCell(3, 3)->SetBackColor(0x00FF00);
    G().SetCellValue(3, 3, QStringLiteral("d"));
    G().SetCellValue(4, 4, QStringLiteral("covered"));
    G().Cells().GetCell(4, 4)->SetBackColor(0x0000FF);
    Drag(Center(2, 2), Center(3, 3));
    const QRect Outer = G().RegionToRect({ 2, 2, 3, 3 }).translated(-1, -1).adjusted(-1, -1, 1, 1);
    // In the band of the border, over the first column's body.
    const QPoint Border(Outer.left() + G().SpaceWidth() + 4, Center(2, 2).y());
    ASSERT_EQ(G().MouseToCell(Border.x(), Border.y()), (TGridCell { 2, 2 }));
    ASSERT_EQ(G().GetCurrentCursor({}, Border.x(), Border.y(), 2, 2), gpDefault);
    G().SetxlCursors(true);
    EXPECT_EQ(G().GetCurrentCursor({}, Border.x(), Border.y(), 2, 2), gpCopyDrag);
    Press(Border);
    EXPECT_EQ(G().CopyState(), csCopyDrag);
    const QPoint To = Border + (Center(4, 4) - Center(3, 3));
    Move(To);
    Tick();
    Tick();
    EXPECT_EQ(Describe(Regions()), Describe({ { 3, 3, 4, 4 } }));
    G().InvalidateGrid();
    C.PaintPending();
    const QPoint Plain = G().RegionToRect(TGridRegion::Cell(7, 7)).topLeft() + QPoint(6, 6);
    const QPoint Source = G().RegionToRect(TGridRegion::Cell(2, 3)).topLeft() + QPoint(6, 6);
    EXPECT_NE(C.DrawBitmap().pixel(Source), C.DrawBitmap().pixel(Plain))
        << "the block stays marked where it came from";
    Release(To);
    EXPECT_EQ(Text(3, 3), QStringLiteral("a"));
    EXPECT_EQ(Text(4, 3), QStringLiteral("b"));
    EXPECT_EQ(Text(3, 4), QStringLiteral("c"));
    EXPECT_EQ(Text(4, 4), QStringLiteral("d"));
    EXPECT_EQ(G().Cells().FindCell(4, 4)->BackColor(), 0x00FF00u) << "the look travels";
    EXPECT_EQ(Text(2, 2), QString());
    EXPECT_EQ(G().Cells().FindCell(2, 2), nullptr);
    EXPECT_EQ(G().Current(), (TGridCell { 3, 3 }));

    G().UndoList()->Undo();
    Check("undo");
    EXPECT_EQ(Text(2, 2), QStringLiteral("a"));
    EXPECT_EQ(Text(3, 2), QStringLiteral("b"));
    EXPECT_EQ(Text(2, 3), QStringLiteral("c"));
    EXPECT_EQ(Text(3, 3), QStringLiteral("d"));
    EXPECT_EQ(G().Cells().FindCell(3, 3)->BackColor(), 0x00FF00u);
    EXPECT_EQ(Text(4, 4), QStringLiteral("covered"));
    EXPECT_EQ(G().Cells().FindCell(4, 4)->BackColor(), 0x0000FFu);
    EXPECT_EQ(Text(4, 3), QString());
    EXPECT_EQ(G().Cells().FindCell(4, 3), nullptr) << "no cell object is left where none was";
}

TEST_F(GridMouse, MoveRegionKeepsBlocksOfDifferentSizesAndOutsideTheGridUnchanged)
{
    G().SetCellValue(2, 2, QStringLiteral("a"));
    const int Records = G().UndoList()->Count();
    G().MoveRegion({ 2, 2, 2, 2 }, { 3, 3, 4, 3 });
    G().MoveRegion({ 2, 2, 2, 2 }, { 9, 2, 10, 2 });
    G().MoveRegion({ 2, 2, 2, 2 }, { 0, 2, 0, 2 });
    EXPECT_EQ(Text(2, 2), QStringLiteral("a"));
    EXPECT_EQ(G().UndoList()->Count(), Records);
    Check("refused moves");
}

TEST_F(GridMouse, WheelNotchesScrollTwoRowsCtrlAPage)
{
    TGridCell Shown;
    G().GetLastVisible(&Shown);
    const qint32 Page = Shown.Row;
    struct {
        qint32 Delta;
        TShiftState Shift;
        qint32 Top;
        bool Scrolled;
    } Cases[] = {
        { -120, {}, 32, true },
        { 120, {}, 28, true },
        { -240, {}, 34, true },
        { -60, {}, 30, false },
        { 119, {}, 30, false },
        { -120, { ssCtrl }, 30 + Page, true },
        { 120, { ssCtrl }, 30 - Page, true },
    };
    for (const auto& K : Cases) {
        G().SetTopRow(30);
        EXPECT_EQ(G().MouseWheel(K.Shift, K.Delta, QPoint()), K.Scrolled) << K.Delta;
        EXPECT_EQ(G().TopRow(), K.Top) << K.Delta;
        Check("wheel");
    }
    G().SetTopRow(2);
    G().MouseWheel({}, 600, QPoint());
    EXPECT_EQ(G().TopRow(), 1) << "never before the first data row";
    G().Rows().GetHead(3)->SetVisible(false);
    G().MouseWheel({}, -120, QPoint());
    EXPECT_EQ(G().TopRow(), 4) << "hidden rows are stepped over";
}

TEST_F(GridMouse, DraggingBeyondTheEdgeScrollsOnEveryTick)
{
    Press(Center(2, 2));
    const QRect Client = G().GetClientRect();
    Move(QPoint(Center(2, 2).x(), Client.bottom() + 1 + 25));
    Tick();
    EXPECT_EQ(G().TopRow(), 4) << "25 pixels beyond the edge scroll three rows";
    const TGridCell Last = G().GetLastVisible();
    EXPECT_EQ(Describe(Regions()), Describe({ { 2, 2, 2, Last.Row } }));
    Tick();
    EXPECT_EQ(G().TopRow(), 7);
    // Back over the headers: the view scrolls back.
    Move(QPoint(Center(2, 2).x(), Client.top() + 2));
    Tick();
    EXPECT_LT(G().TopRow(), 7);
    EXPECT_EQ(G().Anchor().Row, G().TopRow());
    Release(QPoint(Center(2, 2).x(), Client.top() + 2));

    G().SetRowSelect(true);
    G().SetTopRow(1);
    Press(Center(2, 2));
    Move(QPoint(Center(2, 2).x(), Client.bottom() + 30));
    Tick();
    EXPECT_EQ(G().TopRow(), 1) << "whole-row selection does not scroll";
    Release(QPoint(Center(2, 2).x(), Client.bottom() + 30));
}

TEST_F(GridMouse, CellButtonIsPressedAndReleasedWithoutADrag)
{
    TCustomDropList List;
    List.ButtonViewStyle = bvsEllipsis;
    List.ButtonAlwaysVisible = true;
    G().Cols().GetHead(3)->SetDropList(&List);
    TDrawCellInfo Info;
    G().GetCellInfo(3, 3, TCellStates(), Info);
    const QRect Button = G().GetButtonRect(Info, G().GetTextRect(3, 3));
    ASSERT_FALSE(Button.isEmpty());
    Move(Button.center());
    EXPECT_TRUE(G().ButtonCapture());
    EXPECT_EQ(C.PointerShape(), gpHandPoint);
    Press(Button.center());
    EXPECT_TRUE(G().ButtonPressed());
    EXPECT_TRUE(G().ButtonDown());
    EXPECT_EQ(G().GridState(), gsNormal) << "a held button is no drag";
    EXPECT_EQ(G().Current(), (TGridCell { 3, 3 }));
    Move(Center(5, 5));
    EXPECT_FALSE(G().ButtonDown()) << "off the button it pops up";
    Move(Button.center());
    EXPECT_TRUE(G().ButtonDown());
    Release(Button.center());
    EXPECT_FALSE(G().ButtonDown());
    EXPECT_FALSE(G().ButtonPressed());
    G().Cols().GetHead(3)->SetDropList(nullptr);
}

TEST_F(GridMouse, TheControlForwardsThePointerAndShowsTheGridsShapes)
{
    auto Send = [&](QEvent::Type Type, QPoint P, Qt::MouseButton B, Qt::MouseButtons Held,
                    Qt::KeyboardModifiers M = {}) {
        QMouseEvent E(Type, QPointF(P), QPointF(C.mapToGlobal(P)), B, Held, M);
        QApplication::sendEvent(&C, &E);
    };
    QFocusEvent Focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(&C, &Focus);
    EXPECT_EQ(G().GridState(), gsFocusing) << "a click that gives the focus is a focusing click";
    Send(QEvent::MouseButtonPress, Center(2, 2), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(G().GridState(), gsSelecting);
    Send(QEvent::MouseMove, Center(4, 4), Qt::NoButton, Qt::LeftButton);
    C.FireTimer();
    Send(QEvent::MouseButtonRelease, Center(4, 4), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Describe(Regions()), Describe({ { 2, 2, 4, 4 } }));
    EXPECT_EQ(C.TimerInterval(), 0);

    Send(QEvent::MouseButtonPress, Center(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    Send(QEvent::MouseButtonRelease, Center(5, 5), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Describe(Regions()), Describe({ { 2, 2, 5, 5 } }));

    Send(QEvent::MouseMove, ColBorder(3), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(C.PointerShape(), gpColSizing);
    Send(QEvent::MouseMove, RowBorder(3), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(C.PointerShape(), gpRowSizing);
    Send(QEvent::MouseMove, Center(3, 3), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(C.PointerShape(), gpDefault);
    G().SetxlCursors(true);
    Send(QEvent::MouseMove, Center(0, 0), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(C.PointerShape(), gpExcelCross);
    Send(QEvent::MouseMove, Center(3, 0), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(C.PointerShape(), gpArrowDown);
    Send(QEvent::MouseMove, Center(0, 3), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(C.PointerShape(), gpArrowRight);

    G().SetAutoCollapse(false);
    G().SetCellValue(2, 3, QStringLiteral("a text far wider than the column it is in"));
    const qint32 Narrow = G().GetColWidth(2);
    const QPoint B = ColBorder(2);
    const std::string Selected = Describe(Regions());
    Send(QEvent::MouseButtonPress, B, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, B, Qt::LeftButton, Qt::NoButton);
    Send(QEvent::MouseButtonDblClick, B, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, B, Qt::LeftButton, Qt::NoButton);
    EXPECT_GT(G().GetColWidth(2), Narrow) << "a double click on a border fits the column";
    EXPECT_EQ(G().GridState(), gsNormal);
    EXPECT_EQ(Describe(Regions()), Selected) << "the double click is not a second press";

    Send(QEvent::MouseButtonDblClick, Center(3, 3), Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, Center(3, 3), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(G().EditorMode());
    Check("double click");

    auto Wheel = [&](int Delta, Qt::KeyboardModifiers M = {}) {
        QWheelEvent E(QPointF(Center(3, 3)), QPointF(C.mapToGlobal(Center(3, 3))), QPoint(),
            QPoint(0, Delta), Qt::NoButton, M, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&C, &E);
    };
    G().SetTopRow(10);
    Wheel(-120);
    EXPECT_EQ(G().TopRow(), 12);
    for (int I = 0; I < 3; ++I)
        Wheel(-40);
    EXPECT_EQ(G().TopRow(), 14) << "parts of a notch add up to a notch";
    Wheel(-40);
    Wheel(80);
    EXPECT_EQ(G().TopRow(), 14) << "a turn back starts counting anew";
}

TEST_F(GridMouse, SizingLineAndMovingMarkAreDrawnWhileDraggingAndLeaveNothingBehind)
{
    G().SetAutoCollapse(false);
    auto Painted = [&] {
        C.PaintPending();
        return C.DrawBitmap().copy();
    };
    auto Repainted = [&] {
        G().InvalidateGrid();
        return Painted();
    };
    auto ExpectClean = [&](const char* Where) {
        const QImage After = Painted();
        EXPECT_TRUE(After == Repainted()) << Where << ": the picture differs from a fresh paint";
    };
    // Pixels that differ between two pictures in the column at X.
    auto Changed = [&](const QImage& A, const QImage& B, int X) {
        int N = 0;
        for (int Y = 0; Y < A.height(); ++Y)
            N += A.pixel(X, Y) != B.pixel(X, Y) ? 1 : 0;
        return N;
    };
    const QImage Before = Repainted();
    const QPoint B = ColBorder(3);
    Press(B);
    Move(QPoint(B.x() + 20, B.y()));
    const QImage Sizing = Painted();
    EXPECT_GT(Changed(Sizing, Before, B.x() + 20), 50) << "the sizing line shows";
    Move(QPoint(B.x() + 30, B.y()));
    const QImage Moved = Painted();
    EXPECT_EQ(Changed(Moved, Before, B.x() + 20), 0) << "the old line is gone";
    EXPECT_GT(Changed(Moved, Before, B.x() + 30), 50);
    Release(QPoint(B.x() + 30, B.y()));
    ExpectClean("after sizing");

    Drag(Center(2, 0), Center(2, 0));
    ExpectClean("after selecting");
    const QImage Selected = Painted();
    Press(Center(2, 0));
    Move(Center(5, 0));
    Tick();
    const QImage Marked = Painted();
    int Columns = 0;
    for (int X = 0; X < Marked.width(); ++X)
        Columns += Changed(Marked, Selected, X) > 50 ? 1 : 0;
    EXPECT_GE(Columns, 3) << "the moving mark shows";
    Release(Center(5, 0));
    ExpectClean("after moving");
}

TEST_F(GridMouse, BorderDraggedIntoTheHeadersCollapsesTheFirstShownAndComesBack)
{
    for (const bool IsCol : { true, false }) {
        SCOPED_TRACE(IsCol ? "columns" : "rows");
        auto Size = [&](qint32 I) { return IsCol ? G().GetColWidth(I) : G().GetRowHeight(I); };
        auto First = [&] { return IsCol ? G().LeftCol() : G().TopRow(); };
        IsCol ? G().SetLeftCol(3) : G().SetTopRow(5);
        const qint32 Top = First();
        const qint32 Full = Size(Top);
        const QPoint Start = IsCol ? ColBorder(Top + 1) : RowBorder(Top + 1);
        const QPoint Header
            = IsCol ? QPoint(Center(0, 0).x(), Start.y()) : QPoint(Start.x(), Center(0, 0).y());
        const QPoint Step = IsCol ? QPoint(3, 0) : QPoint(0, 3);
        Press(Start);
        for (QPoint P = Start; IsCol ? P.x() > Header.x() : P.y() > Header.y(); P -= Step)
            Move(P);
        Move(Header);
        EXPECT_EQ(Size(Top), 0);
        EXPECT_EQ(Size(Top + 1), 0);
        EXPECT_EQ(First(), Top + 2) << "the view starts after the collapsed heads";
        for (QPoint P = Header; IsCol ? P.x() < Start.x() : P.y() < Start.y(); P += Step)
            Move(P);
        Move(Start);
        EXPECT_EQ(First(), Top);
        EXPECT_EQ(Size(Top), Full);
        EXPECT_EQ(Size(Top + 1), Full);
        Release(Start);
    }
}

TEST_F(GridMouse, AWriteRefusedWhileAFillIsPutDownEndsTheDrag)
{
    G().SetSelectionFrame(true);
    G().SetCellValue(2, 2, QStringLiteral("a"));
    Drag(Center(2, 2), Center(2, 2));
    const QRect Outer = G().RegionToRect({ 2, 2, 2, 2 }).translated(-1, -1).adjusted(-1, -1, 1, 1);
    const QPoint Handle = Outer.bottomRight() - QPoint(2, 2);
    Press(Handle);
    Move(Center(2, 5));
    Tick();
    C.OnSetEditText = [](TPersistent*, qint32, qint32 ARow, TCellStates, THead*, THead*,
                          const QString&, bool&) {
        if (ARow == 4)
            throw std::runtime_error("refused");
    };
    EXPECT_THROW(G().MouseUp(mbLeft, {}, Center(2, 5).x(), Center(2, 5).y()), std::runtime_error);
    C.OnSetEditText = nullptr;
    Check("refused fill");
    EXPECT_EQ(G().GridState(), gsNormal);
    EXPECT_EQ(G().CopyState(), csNone);
    EXPECT_FALSE(G().TimerRunning());
    EXPECT_EQ(Text(2, 3), QStringLiteral("a")) << "what was written before the refusal stays";
    G().UndoList()->Undo();
    EXPECT_EQ(Text(2, 3), QString()) << "and is taken back with the fill";
    Drag(Center(4, 4), Center(5, 5));
    EXPECT_EQ(Describe(Regions()), Describe({ { 4, 4, 5, 5 } })) << "the grid takes presses again";
}

TEST_F(GridMouse, ReleasedButtonSpaceAndAltDownGoOnToTheNextItemAndTypeNothing)
{
    TCustomDropList List;
    List.ButtonViewStyle = bvsList;
    List.ButtonAlwaysVisible = true;
    for (const char* Item : { "отр.", "пол.", "сомн." })
        List.List().Add(QString::fromUtf8(Item));
    G().Cols().GetHead(3)->SetDropList(&List);
    G().SetCellValue(3, 3, QString::fromUtf8("отр."));
    TDrawCellInfo Info;
    G().GetCellInfo(3, 3, TCellStates(), Info);
    const QRect Button = G().GetButtonRect(Info, G().GetTextRect(3, 3));
    ASSERT_FALSE(Button.isEmpty());

    Move(Button.center());
    Press(Button.center());
    Release(Button.center());
    EXPECT_EQ(Text(3, 3), QString::fromUtf8("пол."));
    EXPECT_FALSE(G().DropListOpen());

    auto Key = [&](int K, Qt::KeyboardModifiers M, const QString& Typed) {
        QKeyEvent Down(QEvent::KeyPress, K, M, Typed);
        QApplication::sendEvent(&C, &Down);
        QKeyEvent Up(QEvent::KeyRelease, K, M, Typed);
        QApplication::sendEvent(&C, &Up);
        Check("key");
    };
    Key(Qt::Key_Space, {}, QStringLiteral(" "));
    EXPECT_EQ(Text(3, 3), QString::fromUtf8("сомн."));
    EXPECT_FALSE(G().EditorMode()) << "the space the list took types nothing";
    Key(Qt::Key_Down, Qt::AltModifier, QString());
    EXPECT_EQ(Text(3, 3), QString::fromUtf8("отр.")) << "past the last item the list wraps";
    EXPECT_EQ(G().Current(), (TGridCell { 3, 3 }));

    G().UndoList()->Undo();
    EXPECT_EQ(Text(3, 3), QString::fromUtf8("сомн.")) << "each choice is one undo step";
    G().Cols().GetHead(3)->SetDropList(nullptr);
}
