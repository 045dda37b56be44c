#include "FormulaTestEnvironment.h"
#include "TestGrid.h"

#include "formula/FormulaErrors.h"
#include "formula/Function.h"

#include <gtest/gtest.h>

namespace {

// Resolves reference tokens while parsing, as the grid does for its cells.
void ResolveReferences(TFunction& F, TTestGrid& Grid)
{
    F.SetOnValidateToken([&Grid](TFunction& Root, TToken& T) {
        if (T.State() != vsReference)
            return;
        QString RC;
        TGridRegion Coord;
        if (Grid.GetRegionCoordByName(T.Token(), Root.Address().First(), RC, Coord))
            static_cast<TReference&>(T).SetRCName(RC);
    });
}

TEST(FormulaReferences, RelativeFormOfACellFormula)
{
    StartFormulaEngine();
    TTestGrid Grid;
    TFunction F(&Grid, TGridRegion::Cell(3, 1));
    ResolveReferences(F, Grid);
    F.SetFormula("A1+B1");
    EXPECT_EQ(F.RCFormulaInfo(), "<Format>%s+%s</Format><Arguments>RC[-2],RC[-1]</Arguments>");
    EXPECT_EQ(F.RCFormula(), "RC[-2]+RC[-1]");
    F.SetFormula("SUM(A1:A3, nosuch) * 2");
    EXPECT_EQ(F.RCFormulaInfo(),
        "<Format>SUM(%s, nosuch) * 2</Format><Arguments>RC[-2]:R[2]C[-2]</Arguments>");
}

TEST(FormulaReferences, RangesContributeEveryCellAndReferencesReadCellText)
{
    StartFormulaEngine();
    TTestGrid Grid;
    Grid.Set(1, 1, "1");
    Grid.Set(1, 2, "x");
    Grid.Set(1, 3, "2");
    Grid.Set(2, 1, "10");
    struct TCase {
        const char* Formula;
        const char* Value;
    };
    const TCase Cases[] = {
        { "SUM(A1:A3)", "3" },
        { "COUNT(A1:B3)", "6" },
        { "COUNTN(A1 : B3)", "3" },
        { "A1+B1", "11" },
        { "A2", "x" },
        { "B1-A2", "" },
        { "A2-B1", "-10" },
        { "IF(A1>0,A2,B1)", "x" },
        { "@(A1, B1)", "1;10" },
        { "ROW(A3)", "3" },
        { "A1:A3", "x" },
        { "A1:B3", "" },
        { "ZZZ1", "" },
    };
    for (const TCase& C : Cases) {
        // The formula sits in C2, so a one-column range gives the cell of its own row.
        TFunction F(&Grid, TGridRegion::Cell(3, 2));
        F.SetFormula(QString::fromUtf8(C.Formula));
        F.Calculate();
        EXPECT_EQ(F.Value().ValueText(), QString::fromUtf8(C.Value)) << C.Formula;
    }
}

TEST(FormulaReferences, CalculatingAgainReadsTheCellsAgain)
{
    StartFormulaEngine();
    TTestGrid Grid;
    Grid.Set(1, 1, "1");
    TFunction F(&Grid, TGridRegion::Cell(3, 1));
    F.SetFormula("A1*2");
    F.Calculate();
    EXPECT_EQ(F.Value().ValueText(), "2");
    Grid.Set(1, 1, "21");
    F.Calculate();
    EXPECT_EQ(F.Value().ValueText(), "42");
}

}

namespace {

// A grid whose cell A1 is being calculated already, as when a formula refers to itself.
class TCyclicalGrid : public TTestGrid {
public:
    QString GetCellValue(qint32 ACol, qint32 ARow) override
    {
        if (ACol == 1 && ARow == 1)
            throw ECyclicalReference();
        return TTestGrid::GetCellValue(ACol, ARow);
    }
};

TEST(FormulaReferences, ACyclicalReferenceEmptiesTheValueAndStaysInside)
{
    StartFormulaEngine();
    TCyclicalGrid Grid;
    Grid.Set(2, 1, "4");
    TFunction F(&Grid, TGridRegion::Cell(1, 1));
    F.SetFormula("B1+A1");
    EXPECT_NO_THROW(F.Calculate());
    EXPECT_EQ(F.Value().ValueText(), "");
    F.SetFormula("B1*2");
    F.Calculate();
    EXPECT_EQ(F.Value().ValueText(), "8");
}

}
