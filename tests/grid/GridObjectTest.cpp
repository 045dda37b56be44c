#include "TestGridWindow.h"
#include "grid/GridObject.h"

#include <gtest/gtest.h>

namespace {

void ExpectConsistent(const TGridObject& G, const std::string& Case)
{
    QString Fault;
    EXPECT_TRUE(G.CheckConsistency(&Fault)) << Case << ": " << Fault.toStdString();
}

}

TEST(GridObject, DefaultsHoldInvariants)
{
    TTestGridWindow W;
    TGridObject G(&W);
    ExpectConsistent(G, "defaults");
    EXPECT_EQ(G.ColCount(), 5);
    EXPECT_EQ(G.RowCount(), 5);
    EXPECT_EQ(G.FixedCols(), 1);
    EXPECT_EQ(G.Current(), (TGridCell { 1, 1 }));
    EXPECT_EQ(G.First(), (TGridCell { 1, 1 }));
    EXPECT_EQ(G.Selection().RangeState(), rsCell);
    EXPECT_EQ(G.clFixedCell(), 4278190095u);
    EXPECT_EQ(G.Cols().DefHeadSize(), 100);
    EXPECT_EQ(G.Rows().DefHeadSize(), 20);
    EXPECT_EQ(G.CellExitKeys(), (TGridCellExitKeys { gcekUp, gcekDown, gcekPageUp, gcekPageDown }));
    TGridObject Alone;
    ExpectConsistent(Alone, "no window");
    // Without a window the client rectangle is empty: every point lies on it.
    EXPECT_EQ(Alone.MouseToCell(10, 10), (TGridCell { 0, 0 }));
}

TEST(GridObject, DimensionSettersClamp)
{
    struct {
        const char* Name;
        std::function<void(TGridObject&)> Step;
        qint32 Cols, Rows, FixedCols, FixedRows;
    } Steps[] = {
        { "no columns", [](TGridObject& G) { G.SetColCount(0); }, 1, 5, 0, 1 },
        { "columns back", [](TGridObject& G) { G.SetColCount(5); }, 5, 5, 0, 1 },
        { "too many fixed", [](TGridObject& G) { G.SetFixedCols(10); }, 5, 5, 4, 1 },
        { "negative fixed", [](TGridObject& G) { G.SetFixedRows(-3); }, 5, 5, 4, 0 },
        { "shrink below fixed", [](TGridObject& G) { G.SetColCount(3); }, 3, 5, 2, 0 },
        { "grow rows", [](TGridObject& G) { G.SetRowCount(1000); }, 3, 1000, 2, 0 },
        { "fixed rows", [](TGridObject& G) { G.SetFixedRows(2); }, 3, 1000, 2, 2 },
        { "shrink rows", [](TGridObject& G) { G.SetRowCount(-7); }, 3, 1, 2, 0 },
    };
    TTestGridWindow W;
    TGridObject G(&W);
    for (const auto& S : Steps) {
        S.Step(G);
        EXPECT_EQ(G.ColCount(), S.Cols) << S.Name;
        EXPECT_EQ(G.RowCount(), S.Rows) << S.Name;
        EXPECT_EQ(G.FixedCols(), S.FixedCols) << S.Name;
        EXPECT_EQ(G.FixedRows(), S.FixedRows) << S.Name;
        ExpectConsistent(G, S.Name);
    }
}

TEST(GridObject, CurrentAnchorAndSelectionMoveTogether)
{
    TTestGridWindow W;
    TGridObject G(&W);
    G.SetColCount(20);
    G.SetRowCount(50);
    struct {
        const char* Name;
        std::function<void(TGridObject&)> Step;
        TGridCell Current, Anchor;
        TRangeState State;
        int Regions;
    } Steps[] = {
        { "col outside", [](TGridObject& G) { G.SetCol(20); }, { 1, 1 }, { 1, 1 }, rsCell, 1 },
        { "col fixed", [](TGridObject& G) { G.SetCol(0); }, { 1, 1 }, { 1, 1 }, rsCell, 1 },
        { "col inside", [](TGridObject& G) { G.SetCol(7); }, { 7, 1 }, { 7, 1 }, rsCell, 1 },
        { "row inside", [](TGridObject& G) { G.SetRow(40); }, { 7, 40 }, { 7, 40 }, rsCell, 1 },
        { "extend", [](TGridObject& G) { G.ExtendSelection(9, 42); }, { 7, 40 }, { 9, 42 },
            rsRange, 1 },
        { "add cell", [](TGridObject& G) { G.FocusCell(3, 3, true, false); }, { 3, 3 },
            { 3, 3 }, rsMultiRange, 2 },
        { "collapse", [](TGridObject& G) { G.FocusCell(4, 4, true, true); }, { 4, 4 }, { 4, 4 },
            rsCell, 1 },
        { "extend to column", [](TGridObject& G) { G.ExtendSelection(4, 49); }, { 4, 4 },
            { 4, 49 }, rsRange, 1 },
        { "select all", [](TGridObject& G) { G.SelectAll(); }, { 6, 34 }, { 19, 49 }, rsArea, 1 },
        { "row select", [](TGridObject& G) { G.SetRowSelect(true); }, { 6, 34 }, { 19, 49 },
            rsRow, 1 },
        { "row select follows", [](TGridObject& G) { G.SetRow(45); }, { 6, 45 }, { 6, 45 },
            rsRow, 1 },
        { "no extension under row select", [](TGridObject& G) { G.ExtendSelection(2, 2); },
            { 6, 45 }, { 6, 45 }, rsRow, 1 },
    };
    for (const auto& S : Steps) {
        S.Step(G);
        EXPECT_EQ(G.Current(), S.Current) << S.Name;
        EXPECT_EQ(G.Anchor(), S.Anchor) << S.Name;
        EXPECT_EQ(G.Selection().RangeState(), S.State) << S.Name;
        EXPECT_EQ(G.Selection().Count(), S.Regions) << S.Name;
        ExpectConsistent(G, S.Name);
    }
    EXPECT_EQ(G.Selection().Last()->Coord(), (TGridRegion { 1, 45, 19, 45 }));
    // The current cell is always shown after moving there.
    EXPECT_LE(G.TopRow(), 45);
    EXPECT_GE(G.GetLastVisible().Row, 45);
}

TEST(GridObject, AssignCopiesLookButNotContent)
{
    TTestGridWindow W;
    TGridObject A(&W);
    A.SetColCount(12);
    A.SetRowCount(30);
    A.SetFixedCols(2);
    A.SetDefaultColWidth(64);
    A.SetGridColor(TGridObject::gcEditCell, 0x112233);
    A.SetHighlight(true);
    A.SetEnableCalculation(false);
    A.Cols().GetHead(3)->SetSize(11);
    A.Cells().GetCell(4, 4)->SetContent("x");
    A.SetLeftCol(5);

    TGridObject B(&W);
    B.Assign(A);
    ExpectConsistent(B, "assigned");
    EXPECT_EQ(B.ColCount(), 12);
    EXPECT_EQ(B.RowCount(), 30);
    EXPECT_EQ(B.FixedCols(), 2);
    EXPECT_EQ(B.DefaultColWidth(), 64);
    EXPECT_EQ(B.clEditCell(), 0x112233u);
    EXPECT_TRUE(B.Highlight());
    EXPECT_TRUE(B.EnableCalculation());
    EXPECT_EQ(B.GetColWidth(3), 11);
    EXPECT_EQ(B.Cells().Count(), 0);
    EXPECT_EQ(B.LeftCol(), 2);
    EXPECT_EQ(B.OrderHistory(), A.OrderHistory());
}

TEST(GridObject, StripsAndGaps)
{
    TTestGridWindow W(QRect(0, 0, 1000, 500));
    TGridObject G(&W);
    G.SetFixedCols(0);
    G.SetFixedRows(0);
    // A strip runs from the gap before the body to the gap after it.
    EXPECT_EQ(G.RegionToRect(TGridRegion::Cell(0, 0)), QRect(QPoint(0, 0), QPoint(105, 29)));
    EXPECT_EQ(G.RegionToRect(TGridRegion::Cell(1, 0)).left(), 103);
    EXPECT_EQ(G.RegionToRect(TGridRegion::Cell(1, 0)).right(), 208);
    struct {
        qint32 X;
        qint32 Col;
    } Hits[] = { { -5, -1 }, { 0, 0 }, { 102, 0 }, { 103, 1 }, { 205, 1 }, { 515, 5 }, { 999, 5 } };
    for (const auto& H : Hits)
        EXPECT_EQ(G.MouseToCell(H.X, 10).Col, H.Col) << H.X;
    EXPECT_EQ(G.IntegralColWidth(), 5 * 103 + 3);
    G.Cols().GetHead(1)->SetSize(0);
    EXPECT_FALSE(G.GetColVisible(1));
    EXPECT_TRUE(G.GetColVisible(2));
    EXPECT_EQ(G.MouseToCell(104, 10).Col, 2);
    EXPECT_EQ(G.IntegralColWidth(), 4 * 103 + 3);
    G.Cols().GetHead(1)->SetSize(30);
    G.Cols().GetHead(1)->SetVisible(false);
    EXPECT_FALSE(G.GetColVisible(1));
    EXPECT_EQ(G.GetFixedWidth(), 0);
}

TEST(GridObject, SteppingSkipsHiddenColumns)
{
    TTestGridWindow W;
    TGridObject G(&W);
    G.SetColCount(10);
    for (qint32 C : { 1, 3, 4, 9 })
        G.Cols().GetHead(C)->SetVisible(false);
    struct {
        qint32 From, N, Expected;
    } Cases[] = {
        { 0, 1, 2 }, { 2, 1, 5 }, { 5, 2, 7 }, { 8, 1, 8 }, { 8, -1, 7 }, { 5, -1, 2 },
        { 2, -1, 2 }, { 4, 1, 6 }, { 4, -1, 2 },
    };
    for (const auto& C : Cases)
        EXPECT_EQ(G.StepVisibleCol(C.From, C.N), C.Expected) << C.From << " " << C.N;
    G.SetCol(2);
    ExpectConsistent(G, "hidden");
    G.SetColCount(3);
    ExpectConsistent(G, "shrunk with hidden columns");
}

TEST(GridObject, ScrollingAndScrollBars)
{
    TTestGridWindow W(QRect(0, 0, 400, 200));
    TGridObject G(&W);
    TScrollData D;
    G.SetColCount(3);
    G.GetScrollData(D);
    EXPECT_FALSE(D.Horz.Visible) << "every column fits";
    G.SetColCount(30);
    G.SetRowCount(100);
    G.GetScrollData(D);
    EXPECT_TRUE(D.Horz.Visible);
    EXPECT_EQ(D.Horz.Max, 28);
    EXPECT_EQ(D.Horz.PageSize, 2); // 103 fixed + 2 * 103 within 400 pixels
    EXPECT_EQ(D.Vert.PageSize, 7);

    G.MakeVisible(10, 50);
    EXPECT_EQ(G.First(), (TGridCell { 9, 44 }));
    // Scrolling rows refits the number column, which leaves more room.
    EXPECT_LT(G.GetColWidth(0), 100);
    const TGridCell Last = G.GetLastVisible();
    EXPECT_EQ(Last.Col, 11);
    EXPECT_EQ(Last.Row, 50);
    ExpectConsistent(G, "made visible");
    G.MakeVisible(2, 3);
    EXPECT_EQ(G.First(), (TGridCell { 2, 3 }));

    // A dragged thumb is applied by the timer and once more at release.
    qint32 Pos = 20;
    W.TopLeftChanges = 0;
    G.ScrollEvent(1, scTrack, Pos);
    EXPECT_EQ(W.TimerInterval, 99);
    EXPECT_EQ(G.TopRow(), 3);
    Pos = 30;
    G.ScrollEvent(1, scTrack, Pos);
    W.Timer();
    EXPECT_EQ(G.TopRow(), 31);
    Pos = 40;
    G.ScrollEvent(1, scTrack, Pos);
    G.ScrollEvent(1, scEndScroll, Pos);
    EXPECT_EQ(G.TopRow(), 41);
    EXPECT_FALSE(W.Timer);
    EXPECT_EQ(W.TopLeftChanges, 2);
    G.ScrollEvent(0, scLineDown, Pos);
    G.ScrollEvent(0, scLineDown, Pos);
    G.CancelScrollTracking();
    EXPECT_EQ(G.LeftCol(), 2);
    G.ScrollEvent(0, scBottom, Pos);
    G.ScrollEvent(0, scEndScroll, Pos);
    EXPECT_EQ(G.LeftCol(), 29);
    G.SetLeftCol(0);
    G.SetLeftCol(30);
    EXPECT_EQ(G.LeftCol(), 29);
    ExpectConsistent(G, "scrolled");
}

TEST(GridObject, RegionRectanglesFollowScrolling)
{
    TTestGridWindow W(QRect(0, 0, 400, 200));
    TGridObject G(&W);
    G.SetColCount(30);
    G.SetLeftCol(5);
    // Columns 1..4 are scrolled out: a region inside them has no extent.
    const QRect Hidden = G.RegionToRect({ 2, 1, 4, 1 });
    EXPECT_EQ(Hidden.left(), -1);
    EXPECT_EQ(Hidden.width(), 0);
    // A region reaching from the scrolled-out part starts at LeftCol.
    EXPECT_EQ(G.RegionToRect({ 2, 1, 5, 1 }).left(), 103);
    EXPECT_EQ(G.RegionToRect({ 5, 1, 2, 1 }).left(), 103);
    // Beyond the right edge: empty, placed past the client area.
    EXPECT_GE(G.RegionToRect({ 20, 1, 21, 1 }).left(), 400);
    G.SetSelectionFrame(true);
    EXPECT_EQ(G.RegionToRect(TGridRegion::Cell(5, 1)), QRect(QPoint(102, 24), QPoint(210, 56)));
}

TEST(GridObject, ColumnAndCellNames)
{
    TGridObject G;
    G.SetColCount(800);
    G.SetRowCount(20);
    G.SetFixedCols(0);
    struct {
        qint32 Col;
        const char* Name;
    } Cases[] = { { 0, "A" }, { 25, "Z" }, { 26, "AA" }, { 701, "ZZ" }, { 702, "AAA" } };
    for (const auto& C : Cases) {
        EXPECT_EQ(G.GetColName(C.Col), QString(C.Name)) << C.Col;
        qint32 Index = -1;
        EXPECT_TRUE(G.GetColIndexByName(QString(C.Name).toLower(), Index));
        EXPECT_EQ(Index, C.Col) << C.Name;
    }
    qint32 Index = -1;
    for (const char* Bad : { "", "A1", "Ä", "A B", "ZZZZZZZZ" })
        EXPECT_FALSE(G.GetColIndexByName(QString::fromUtf8(Bad), Index)) << Bad;
    G.SetFixedCols(1);
    EXPECT_EQ(G.GetColName(27), QString("AA"));
    EXPECT_EQ(G.GetCellName(1, 1), QString("A1"));
    EXPECT_EQ(G.GetRegionName({ 1, 1, 3, 4 }), QString("A1:C4"));
    G.SetAutoRowStart(10);
    EXPECT_EQ(G.GetRowName(1), QString("10"));
}

TEST(GridObject, NamesToRegionsAndRelativeForm)
{
    TGridObject G;
    G.SetColCount(10);
    G.SetRowCount(10);
    struct {
        const char* Name;
        TGridCell Current;
        bool Ok;
        TGridRegion Coord;
        const char* RC;
        const char* Back;
    } Cases[] = {
        { "B", { 5, 5 }, true, { 2, 1, 2, 9 }, "C[-3]", "B" },
        { "B", { 1, 1 }, true, { 2, 1, 2, 9 }, "C[1]", "B" },
        { "$B$2", { 5, 5 }, true, { 2, 2, 2, 2 }, "R2C2", "$B$2" },
        { "B2", { 2, 2 }, true, { 2, 2, 2, 2 }, "RC", "B2" },
        { "B2:A1", { 3, 3 }, true, { 1, 1, 2, 2 }, "R[-1]C[-1]:R[-2]C[-2]", "B2:A1" },
        { "a1 : $c$3", { 1, 1 }, true, { 1, 1, 3, 3 }, "RC:R3C3", "A1:$C$3" },
        { "B2 x", { 1, 1 }, false, {}, "", "" },
        { "B2:", { 1, 1 }, false, {}, "", "" },
        { "B2:C", { 1, 1 }, false, {}, "", "" },
        { "Z1", { 1, 1 }, false, {}, "", "" },
        { "A0", { 1, 1 }, false, {}, "", "" },
        { "A10", { 1, 1 }, false, {}, "", "" },
        { "A$", { 1, 1 }, false, {}, "", "" },
        { "1", { 1, 1 }, false, {}, "", "" },
        { "A99999999999999999999", { 1, 1 }, false, {}, "", "" },
    };
    for (const auto& C : Cases) {
        QString RC;
        TGridRegion Coord { -7, -7, -7, -7 };
        const bool Ok = G.GetRegionCoordByName(C.Name, C.Current, RC, Coord);
        EXPECT_EQ(Ok, C.Ok) << C.Name;
        if (!Ok)
            continue;
        EXPECT_EQ(Coord, C.Coord) << C.Name;
        EXPECT_EQ(RC, QString(C.RC)) << C.Name;
        QString Back;
        EXPECT_TRUE(G.RelativeToName(RC, C.Current, Back)) << C.Name;
        EXPECT_EQ(Back, QString(C.Back)) << C.Name;
    }
    QString Back;
    for (const char* Bad : { "", "X", "R[1", "RC:", "R[x]C" })
        EXPECT_FALSE(G.RelativeToName(Bad, { 1, 1 }, Back)) << Bad;
}

TEST(GridObject, FixedCellsShowNumbersAndTitles)
{
    TTestGridWindow W;
    TGridObject G(&W);
    EXPECT_EQ(G.GetCellText(0, 3, { csFixed }), QString("3"));
    EXPECT_EQ(G.GetCellText(2, 0, { csFixed }), QString("B"));
    EXPECT_EQ(G.GetCellText(0, 0, { csFixed }), QString());
    G.Rows().GetHead(0)->WideStrings().SetWideText("Title");
    EXPECT_EQ(G.GetCellText(2, 0, { csFixed }), QString("Title"));
    G.SetAutoNumRows(false);
    EXPECT_EQ(G.GetCellText(0, 3, { csFixed }), QString());
    W.EditText = [](qint32 C, qint32 R, QString& T) {
        T = QStringLiteral("%1/%2").arg(C).arg(R);
        return true;
    };
    EXPECT_EQ(G.GetCellText(3, 3, {}), QString("3/3"));
}

TEST(GridObject, AdjustWidthFitsContent)
{
    TTestGridWindow W;
    TGridObject G(&W);
    G.Cells().GetCell(2, 1)->SetContent("abcdefghij");
    G.Cells().GetCell(2, 2)->SetContent("abc\r\nabcdefghijklmnopqrst");
    EXPECT_TRUE(G.AdjustWidth(2));
    EXPECT_EQ(G.GetColWidth(2), 20 * 7 + 6);
    EXPECT_FALSE(G.AdjustWidth(2));
    EXPECT_TRUE(G.AdjustHeight(2));
    EXPECT_EQ(G.GetRowHeight(2), (13 + 1) * 2 - 1 + 4);
    TGridObject Alone;
    EXPECT_FALSE(Alone.AdjustWidth(1));
}

TEST(GridObject, LargeUniformGridHoldsNoObjects)
{
    TTestGridWindow W(QRect(0, 0, 1920, 1080));
    TGridObject G(&W);
    G.SetColCount(1000);
    G.SetRowCount(1000000);
    G.SetRow(999999);
    G.SetCol(999);
    ExpectConsistent(G, "scrolled to the end");
    EXPECT_EQ(G.MouseToCell(1919, 1079).Row, 1000000);
    EXPECT_EQ(G.GetCellName(999, 999999), QString("ALK999999"));
    TScrollData D;
    G.GetScrollData(D);
    EXPECT_EQ(D.Vert.Max, 999998);
    EXPECT_EQ(G.IntegralRowHeight(), 1000000 * 25 + 5);
    EXPECT_EQ(G.Cells().Count(), 0);
    // Only the row-number column was fitted to its numbers.
    EXPECT_LE(G.Cols().Count(), 1);
    EXPECT_EQ(G.Rows().Count(), 0);
}

TEST(GridObject, ChangeScaleRounds)
{
    TTestGridWindow W;
    TGridObject G(&W);
    G.Cols().GetHead(2)->SetSize(33);
    G.ChangeScale(3, 2);
    EXPECT_EQ(G.DefaultColWidth(), 150);
    EXPECT_EQ(G.DefaultRowHeight(), 30);
    EXPECT_EQ(G.GetColWidth(2), 50);
    EXPECT_EQ(G.Rows().DefHeadSize(), 30);
}
