#include "FormulaTestEnvironment.h"
#include "TestGrid.h"

#include "formula/Function.h"

#include <gtest/gtest.h>

namespace {

struct TValueCase {
    const char* Formula;
    const char* Value;
};

// Formulas as an English-locale user types them, with their value texts.
const TValueCase ValueCases[] = {
    { "1+2*3", "7" },
    { "(1+2)*3", "9" },
    { "2*-3", "-6" },
    { "-2^2", "-4" },
    { "2^-1*4", "0.0625" },
    { "1,2", "1;2" },
    { "", "" },
    { "nosuchname", "" },
    { "PI", "3.14159265358979" },
    { "SUM()", "" },
    { "SUM(\"x\")", "" },
    { "COUNT()", "0" },
    { "COUNTN(1,\"x\",2)", "2" },
    { "COUNT(1,\"x\",2)", "3" },
    { "10-3", "7" },
    { "-3", "-3" },
    { "SUB(10,3)", "-13" },
    { "1/0", "INF" },
    { "-1/0", "-INF" },
    { "0/0", "" },
    { "7 DIV 2", "3" },
    { "7 MOD 2", "1" },
    { "7 DIV 0", "#DIV0" },
    { "0 DIV 0", "0" },
    { "ROUND(2.5)", "2" },
    { "ROUND(3.5)", "4" },
    { "TRUNC(-2.7)", "-2" },
    { "INT(-2.7)", "-2" },
    { "FRAC(2.25)", "0.25" },
    { "SIN(PI)", "0" },
    { "COS(PI/2)", "0" },
    { "SQRT(-1)", "" },
    { "LN(0)", "" },
    { "STDEV(5)", "0" },
    { "STDEV()", "" },
    { "STDEV(2,4,4,4,5,5,7,9)", "2.1380899352994" },
    { "STDEVP(2,4,4,4,5,5,7,9)", "2" },
    { "RMS(3,4)", "0.5" },
    { "MAX(1,\"x\",3)", "3" },
    { "MIN()", "" },
    { "1 AND 0", "False" },
    { "NOT 0", "True" },
    { "5 SHR 1", "2" },
    { "IF(1,\"yes\",\"no\")", "yes" },
    { "IF(0,\"yes\")", "" },
    { "1=1.0", "True" },
    { "\"abc\"=\"ABC\"", "False" },
    { "2>\"x\"", "" },
    { "EXP()", "2.71828182845905" },
    { "EXP(0)", "1" },
    { "DEG(PI)", "180" },
    { "LOG(2,8)", "3" },
    { "1.5E20*2", "3E20" },
    { "1/3", "0.333333333333333" },
    // Empty brackets do not cut the formula into two list elements.
    { "ROW()*2", "4" },
    { "COUNT()+5", "5" },
    // Integers widen instead of wrapping.
    { "ABS(TRUNC(5E9))", "5000000000" },
    { "65536*65536", "4294967296" },
    { "0-2147483647-2", "-2147483649" },
    { "TRUNC(9E18)*TRUNC(9E18)", "8.1E37" },
    // No rule makes a number of these; the formula fails.
    { "TRUNC(1E300)", "" },
    { "ROUND(1/0)", "" },
    { "TRUNC(0/0)", "" },
    { "1 SHL -1", "" },
    { "1 SHL 33", "2" },
    // Malformed text.
    { "(1+2", "3" },
    { "1)+2", "1" },
    { "\"abc", "abc" },
    { "SUM(1,2))))", "3" },
};

QString Calculated(const QString& Formula, TTestGrid& Grid, TGridRegion Cell)
{
    TFunction F(&Grid, Cell);
    F.SetFormula(Formula);
    F.Calculate();
    return F.Value().ValueText();
}

// The same formula as a Russian-locale user types it: decimal commas and
// ";" between arguments.
QString InRussian(const char* English)
{
    QString S = QString::fromUtf8(English);
    for (QChar& C : S)
        C = C == u',' ? QChar(u';') : C == u'.' ? QChar(u',') : C;
    return S;
}

TEST(FormulaValues, TableInAnEnglishLocale)
{
    StartFormulaEngine();
    TTestGrid Grid;
    for (const TValueCase& C : ValueCases)
        EXPECT_EQ(Calculated(QString::fromUtf8(C.Formula), Grid, TGridRegion::Cell(3, 2)),
            QString::fromUtf8(C.Value))
            << C.Formula;
}

TEST(FormulaValues, TableInARussianLocale)
{
    StartFormulaEngine(QLocale::Russian);
    TTestGrid Grid;
    for (const TValueCase& C : ValueCases)
        EXPECT_EQ(Calculated(InRussian(C.Formula), Grid, TGridRegion::Cell(3, 2)),
            QString::fromUtf8(C.Value).replace(u'.', u','))
            << C.Formula;
    EXPECT_EQ(Calculated("SUM(1,5; 2)", Grid, TGridRegion::Cell(3, 2)), "3,5");
    StartFormulaEngine();
}

TEST(FormulaValues, TopLevelListGivesOneTokenPerElement)
{
    StartFormulaEngine();
    TTestGrid Grid;
    TFunction F(&Grid, TGridRegion::Cell(3, 2));
    F.SetFormula("1,2");
    EXPECT_EQ(F.Count(), 2);
    F.SetFormula("(1+2)*3");
    ASSERT_EQ(F.Count(), 1);
    const TToken* Times = F.Items(0);
    ASSERT_EQ(Times->Count(), 2);
    EXPECT_EQ(Times->Items(0)->Token(), "+");
    EXPECT_TRUE(Times->Items(0)->BeforeOperator());
    EXPECT_EQ(F.FindToken(4), Times->Items(0)->Items(1));
}

}
