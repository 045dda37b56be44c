#include "FakeGridHost.h"
#include "grid/model/Selection.h"

#include <gtest/gtest.h>

namespace {

void ExpectConsistent(const TRange& R, const char* Case)
{
    QString Fault;
    EXPECT_TRUE(R.CheckConsistency(&Fault)) << Case << ": " << Fault.toStdString();
}

}

TEST(Range, ClassifiesShapes)
{
    struct {
        const char* Name;
        TGridRegion Area;
        std::vector<TGridRegion> Regions;
        TRangeState Expected;
    } Cases[] = {
        { "row", { 1, 1, 4, 4 }, { { 1, 1, 4, 1 } }, rsRow },
        { "multi row", { 1, 1, 4, 4 }, { { 1, 1, 4, 2 } }, rsMultiRow },
        { "column", { 1, 1, 4, 4 }, { { 2, 1, 2, 4 } }, rsColumn },
        { "multi column", { 1, 1, 4, 4 }, { { 2, 1, 3, 4 } }, rsMultiColumn },
        { "area", { 1, 1, 4, 4 }, { { 1, 1, 4, 4 } }, rsArea },
        { "range", { 1, 1, 4, 4 }, { { 2, 2, 3, 3 } }, rsRange },
        { "cell", { 1, 1, 4, 4 }, { { 2, 2, 2, 2 } }, rsCell },
        { "two regions", { 1, 1, 4, 4 }, { { 2, 2, 2, 2 }, { 3, 3, 3, 3 } }, rsMultiRange },
        { "none", { 1, 1, 4, 4 }, {}, rsEmpty },
        { "part of a column", { 1, 1, 4, 4 }, { { 2, 2, 2, 3 } }, rsRange },
        { "cell of one-row area", { 1, 1, 4, 1 }, { { 2, 1, 2, 1 } }, rsColumn },
        { "cell of one-column area", { 1, 1, 1, 4 }, { { 1, 2, 1, 2 } }, rsRow },
        { "cell of one-cell area", { 1, 1, 1, 1 }, { { 1, 1, 1, 1 } }, rsCell },
        { "column part in one-column area", { 1, 1, 1, 4 }, { { 1, 2, 1, 3 } }, rsMultiRow },
        { "row part in one-row area", { 1, 1, 4, 1 }, { { 2, 1, 3, 1 } }, rsMultiColumn },
    };
    for (const auto& C : Cases) {
        TFakeGridHost G(C.Area);
        TRange R(&G);
        for (const TGridRegion& Region : C.Regions)
            R.Add(Region);
        ExpectConsistent(R, C.Name);
        EXPECT_EQ(R.RangeState(), C.Expected) << C.Name;
    }
}

TEST(Range, NormalisesIntoDataArea)
{
    struct {
        const char* Name;
        bool CopyDrag;
        TGridRegion In, Out;
    } Cases[] = {
        { "corners sorted", false, { 3, 4, 2, 1 }, { 2, 1, 3, 4 } },
        { "clamped", false, { 0, 0, 7, 2 }, { 1, 1, 4, 2 } },
        { "shifted right", true, { 0, 2, 1, 3 }, { 1, 2, 2, 3 } },
        { "shifted left", true, { 3, 1, 6, 1 }, { 1, 1, 4, 1 } },
        { "too large to shift", true, { 0, 1, 9, 1 }, { 1, 1, 4, 1 } },
    };
    for (const auto& C : Cases) {
        TFakeGridHost G({ 1, 1, 4, 4 });
        G.CopyDragging = C.CopyDrag;
        TRange R(&G);
        EXPECT_EQ(R.Add(C.In)->Coord(), C.Out) << C.Name;
    }
    TRange Free(nullptr);
    EXPECT_EQ(Free.Add({ 9, 9, 0, 0 })->Coord(), (TGridRegion { 0, 0, 9, 9 }));
}

TEST(Range, LookupsAndUnion)
{
    TFakeGridHost G;
    TRange R(&G);
    TGridRegion U { 7, 7, 7, 7 };
    EXPECT_FALSE(R.UnionArea(U));
    EXPECT_EQ(U, (TGridRegion { 7, 7, 7, 7 }));
    EXPECT_EQ(R.First(), nullptr);
    R.Add({ 1, 1, 3, 3 });
    R.Add({ 2, 2, 5, 4 });
    EXPECT_EQ(R.Region(2, 2), 1);
    EXPECT_EQ(R.Region(1, 1), 0);
    EXPECT_EQ(R.Region(6, 6), -1);
    EXPECT_TRUE(R.UnionArea(U));
    EXPECT_EQ(U, (TGridRegion { 1, 1, 5, 4 }));
    EXPECT_TRUE(R.IsMultiRegion());
    G.fArea = { 1, 1, 3, 3 };
    int Notified = 0;
    R.OnChange = [&](TRange&, TGridObjectCollectionItem* Item) { Notified += Item ? 0 : 1; };
    R.UpdateRange();
    EXPECT_EQ(R.Items(1)->Coord(), (TGridRegion { 2, 2, 3, 3 }));
    EXPECT_EQ(Notified, 1);
    ExpectConsistent(R, "after shrink");
    R.UpdateRange();
    EXPECT_EQ(Notified, 1);
}

TEST(Selection, ChangeLastKeepsIdentityAndRepaintsDifference)
{
    TFakeGridHost G;
    TSelection S(&G);
    S.SetCanRedraw(true);
    S.ChangeLast({ 2, 2 }, { 2, 2 });
    ASSERT_EQ(S.Count(), 1);
    const qint32 ID = S.Last()->RegionID();
    G.Invalidated.clear();
    S.ChangeLast({ 2, 2 }, { 4, 3 });
    ExpectConsistent(S, "grown");
    EXPECT_EQ(S.Count(), 1);
    EXPECT_EQ(S.Last()->Coord(), (TGridRegion { 2, 2, 4, 3 }));
    EXPECT_EQ(S.Last()->RegionID(), ID);
    // Only the right strip and the bottom strip changed.
    EXPECT_EQ(G.Invalidated,
        (std::vector<TGridRegion> { { 2, 2, 4, 3 }, { 2, 2, 2, 3 } }));
    G.Invalidated.clear();
    S.ChangeLast({ 4, 3 }, { 2, 2 });
    EXPECT_TRUE(G.Invalidated.empty());
    EXPECT_EQ(S.RangeState(), rsRange);
}

TEST(Selection, IsSelectedWithHighlightedHeaders)
{
    TFakeGridHost G;
    TSelection S(&G);
    S.Add({ 3, 3, 4, 5 });
    EXPECT_TRUE(S.IsSelected(3, 5));
    EXPECT_FALSE(S.IsSelected(3, 0));
    G.HighlightOn = true;
    EXPECT_TRUE(S.IsSelected(3, 0)) << "column header of a selected column";
    EXPECT_TRUE(S.IsSelected(0, 4)) << "row header of a selected row";
    EXPECT_FALSE(S.IsSelected(0, 7));
    EXPECT_FALSE(S.IsSelected(6, 6));
}

TEST(Selection, RemovedRegionIsMarkedAndRepainted)
{
    TFakeGridHost G;
    TSelection S(&G);
    S.SetCanRedraw(true);
    S.Add({ 2, 2, 3, 3 });
    G.Invalidated.clear();
    S.Clear();
    EXPECT_EQ(G.Invalidated, (std::vector<TGridRegion> { { 2, 2, 3, 3 } }));
    EXPECT_EQ(S.RangeState(), rsEmpty);
}

TEST(Selection, CommandsOverHeads)
{
    TFakeGridHost G;
    for (qint64 C : { 2, 3, 5 })
        G.Cols.GetHead(C);
    TSelection S(&G);
    S.Add({ 2, 1, 3, 9 });
    EXPECT_FALSE(S.ExecuteCommand(scAnyHidden, stColumns, true, {}));
    EXPECT_TRUE(S.ExecuteCommand(scHide, stColumns, true, {}));
    EXPECT_FALSE(G.Cols.FindHead(2)->Visible());
    EXPECT_EQ(G.Layouts, 1);
    EXPECT_TRUE(S.ExecuteCommand(scAnyHidden, stColumns, true, {}));
    EXPECT_TRUE(S.ExecuteCommand(scShow, stColumns, false, {}));
    EXPECT_TRUE(S.ExecuteCommand(scCollapse, stColumns, true, {}));
    EXPECT_EQ(G.Cols.FindHead(3)->Size(), 0);
    EXPECT_EQ(G.Cols.FindHead(3)->AnchorSize(), 20);
    EXPECT_TRUE(S.ExecuteCommand(scAnyCollapsed, stColumns, true, {}));
    EXPECT_TRUE(S.ExecuteCommand(scExpand, stColumns, true, {}));
    EXPECT_EQ(G.Cols.FindHead(3)->Size(), 20);
    EXPECT_EQ(G.Cols.FindHead(3)->AnchorSize(), 0);

    // Column 4 has no head: the query stops there, before column 5 is seen.
    G.Cols.FindHead(5)->SetVisible(false);
    S.Clear();
    S.Add({ 4, 1, 5, 9 });
    EXPECT_FALSE(S.ExecuteCommand(scAnyHidden, stColumns, true, {}));
    TSelection Empty(&G);
    EXPECT_FALSE(Empty.ExecuteCommand(scHide, stColumns, true, {}));
}

TEST(Selection, CustomCommandOverCellsMayRemoveThem)
{
    TFakeGridHost G;
    for (qint32 R = 2; R <= 4; ++R)
        for (qint32 C = 2; C <= 4; ++C)
            G.Cells.GetCell(C, R);
    TSelection S(&G);
    S.Add({ 3, 3, 4, 4 });
    S.Add({ 2, 2, 2, 2 });
    std::vector<qint64> Seen;
    G.Calculation = true;
    bool CalculationDuring = true;
    S.ExecuteCommand(scCustom, stCells, false,
        [&](TSelection&, TCellNumber N, TCellObject* Obj, int& Result) {
            Seen.push_back(N);
            CalculationDuring = G.Calculation;
            delete Obj;
            Result = 0;
        });
    EXPECT_EQ(Seen, (std::vector<qint64> { 44, 43, 34, 33, 22 }));
    EXPECT_FALSE(CalculationDuring);
    EXPECT_TRUE(G.Calculation);
    EXPECT_EQ(G.Cells.Count(), 4);
    QString Fault;
    EXPECT_TRUE(G.Cells.CheckConsistency(&Fault)) << Fault.toStdString();
}
