#include "TestGridWindow.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using TTexts = std::map<std::pair<qint32, qint32>, QString>;

// A 10 x 10 grid whose cells (1..6, 1..6) hold their own names.
struct TFilledGrid {
    TTestGridWindow Window { QRect(0, 0, 800, 400) };
    TGridObject Grid { &Window };

    TFilledGrid()
    {
        Grid.SetColCount(10);
        Grid.SetRowCount(10);
        for (qint32 R = 1; R <= 6; ++R)
            for (qint32 C = 1; C <= 6; ++C)
                Grid.SetCellValue(C, R, Grid.GetCellName(C, R));
    }
    TTexts Texts()
    {
        TTexts T;
        for (qint32 R = 1; R <= 9; ++R)
            for (qint32 C = 1; C <= 9; ++C)
                T[{ C, R }] = Grid.GetCellText(C, R, TCellStates());
        return T;
    }
    void Check(const char* Where)
    {
        QString Fault;
        EXPECT_TRUE(Grid.CheckConsistency(&Fault)) << Where << ": " << Fault.toStdString();
    }
};

}

TEST(MoveRegion, BlocksLandWhereTheyGoAndOneUndoRestoresEverything)
{
    struct {
        const char* Name;
        TGridRegion Source;
        qint32 DC, DR;
    } Cases[] = {
        { "right by one, overlapping", { 2, 2, 4, 2 }, 1, 0 },
        { "left by one, overlapping", { 2, 2, 4, 3 }, -1, 0 },
        { "down by one, overlapping", { 2, 2, 3, 4 }, 0, 1 },
        { "up and left, overlapping", { 3, 3, 5, 5 }, -1, -1 },
        { "apart, onto filled cells", { 1, 1, 2, 2 }, 4, 3 },
        { "into empty cells", { 5, 5, 6, 6 }, 3, 3 },
    };
    for (const auto& K : Cases) {
        SCOPED_TRACE(K.Name);
        TFilledGrid F;
        const TTexts Before = F.Texts();
        const TGridRegion Dest { K.Source.FirstCol + K.DC, K.Source.FirstRow + K.DR,
            K.Source.LastCol + K.DC, K.Source.LastRow + K.DR };
        const int Records = F.Grid.UndoList()->Count();
        F.Grid.MoveRegion(K.Source, Dest);
        F.Check("move");
        ASSERT_EQ(F.Grid.UndoList()->Count(), Records + 1);
        const TTexts After = F.Texts();
        for (const auto& [At, Text] : After) {
            const auto [C, R] = At;
            QString Expected = Before.at(At);
            if (Dest.Contains(C, R))
                Expected = Before.at({ C - K.DC, R - K.DR });
            else if (K.Source.Contains(C, R))
                Expected = QString();
            EXPECT_EQ(Text, Expected) << "cell " << C << "," << R;
        }
        F.Grid.UndoList()->Undo();
        F.Check("undo");
        EXPECT_TRUE(F.Texts() == Before) << "one undo puts every cell back";
        EXPECT_EQ(F.Grid.Cells().Count(), 36) << "no cell object more or less than before";
    }
}

TEST(MoveRegion, UndoOffAndRefusedMovesLeaveNoRecord)
{
    TFilledGrid F;
    F.Grid.SetUndoEnabled(false);
    F.Grid.MoveRegion({ 1, 1, 1, 1 }, { 8, 8, 8, 8 });
    EXPECT_EQ(F.Grid.UndoList()->Count(), 0);
    EXPECT_EQ(F.Grid.GetCellText(8, 8, TCellStates()), QStringLiteral("A1"));
    F.Grid.SetUndoEnabled(true);
    const TTexts Before = F.Texts();
    ASSERT_EQ(F.Grid.UndoList()->Count(), 0);
    F.Grid.MoveRegion({ 2, 2, 3, 3 }, { 2, 2, 2, 2 });
    F.Grid.MoveRegion({ 2, 2, 3, 3 }, { 8, 8, 9, 10 });
    F.Grid.MoveRegion({ 2, 2, 2, 2 }, { 2, 2, 2, 2 });
    EXPECT_EQ(F.Grid.UndoList()->Count(), 0);
    EXPECT_TRUE(F.Texts() == Before);
    F.Check("refused");
}

TEST(FillRegion, RepeatsTheSourceBothWaysAndUndoesInOneStep)
{
    TFilledGrid F;
    const TTexts Before = F.Texts();
    const int Records = F.Grid.UndoList()->Count();
    // Two columns repeated to the right and one block repeated upwards.
    F.Grid.FillRegion({ 1, 1, 2, 2 }, { 1, 1, 7, 2 });
    EXPECT_EQ(F.Grid.GetCellText(7, 1, TCellStates()), QStringLiteral("A1"));
    EXPECT_EQ(F.Grid.GetCellText(6, 2, TCellStates()), QStringLiteral("B2"));
    EXPECT_EQ(F.Grid.GetCellText(4, 2, TCellStates()), QStringLiteral("B2"));
    F.Grid.FillRegion({ 3, 4, 3, 5 }, { 3, 1, 3, 5 });
    EXPECT_EQ(F.Grid.GetCellText(3, 3, TCellStates()), QStringLiteral("C5"));
    EXPECT_EQ(F.Grid.GetCellText(3, 2, TCellStates()), QStringLiteral("C4"));
    EXPECT_EQ(F.Grid.GetCellText(3, 1, TCellStates()), QStringLiteral("C5"));
    F.Check("fill");
    ASSERT_EQ(F.Grid.UndoList()->Count(), Records + 2) << "each fill is one step";
    F.Grid.UndoList()->Undo();
    F.Grid.UndoList()->Undo();
    F.Check("undo");
    EXPECT_TRUE(F.Texts() == Before);
}
