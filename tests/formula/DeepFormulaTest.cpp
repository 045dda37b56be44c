#include "FormulaTestEnvironment.h"
#include "TestGrid.h"

#include "formula/FormulaParser.h"
#include "formula/Function.h"

#include <gtest/gtest.h>

namespace {

QString Calculated(const QString& Formula)
{
    TTestGrid Grid;
    TFunction F(&Grid, TGridRegion::Cell(1, 1));
    F.SetFormula(Formula);
    F.Calculate();
    return F.Value().ValueText();
}

QString Repeated(const QString& Part, int Times)
{
    QString S;
    for (int I = 0; I < Times; ++I)
        S += Part;
    return S;
}

// Formula text decides how deep the tree and the parser go; none of these
// may exhaust the native stack.
TEST(DeepFormulas, AreCalculatedOrRefusedWithoutCrashing)
{
    StartFormulaEngine();
    EXPECT_EQ(Calculated(Repeated("(", 100000) + "1" + Repeated(")", 100000)), "");
    EXPECT_EQ(Calculated(Repeated("(", MaxBracketDepth - 1) + "1+1" + Repeated(")", 100)), "2");
    EXPECT_EQ(Calculated("1" + Repeated("+1", 99999)), "100000");
    EXPECT_EQ(Calculated(Repeated("-", 10000) + "5"), "5");
    EXPECT_EQ(Calculated(Repeated("-", 9999) + "5"), "-5");
    EXPECT_EQ(Calculated("SUM(1" + Repeated(",1", 99999) + ")"), "100000");
    EXPECT_EQ(Calculated(Repeated("NOT ", 10001) + "0"), "True");
    EXPECT_EQ(Calculated(Repeated("@", 10000) + "7"), "7");
    EXPECT_EQ(Calculated("2" + Repeated("^1", 100000)), "2");
}

}
