#include "FormulaTestEnvironment.h"

#include "formula/FormulaErrors.h"
#include "formula/FunctionList.h"

#include <gtest/gtest.h>

namespace {

void Dummy(TToken&, const TCalcValue&, TCalcValue&) { }

class FunctionListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartFormulaEngine(); }
    const TFunctionList& L = *FunctionList();
};

TEST_F(FunctionListTest, HoldsTheStandardEntriesInIdOrder)
{
    EXPECT_EQ(L.Count(), 79);
    EXPECT_EQ(L.GetNameByID(79), "ROW");
    EXPECT_EQ(L.GetNameByID(1), "REFVAL");
    EXPECT_EQ(L.GetNameByID(28), "SUM");
    // Entries sharing a callback evaluate identically.
    EXPECT_EQ(L.GetAddressByID(13), L.GetAddressByID(28));
    EXPECT_EQ(L.GetAddressByID(1), L.GetAddressByID(2));
    EXPECT_EQ(L.GetAddressByID(76), L.GetAddressByID(77));
    EXPECT_NE(L.GetAddressByID(76), L.GetAddressByID(78));
}

TEST_F(FunctionListTest, FindsByNameAndPriority)
{
    qsizetype I = -1;
    EXPECT_TRUE(L.Find(u"sum", 0, I));
    EXPECT_EQ(L.GetID(I), 28);
    EXPECT_FALSE(L.Find(u"SUM", -4, I));
    EXPECT_TRUE(L.Find(u"<=", -5, I));
}

TEST_F(FunctionListTest, TellsWhetherAKeywordCanStillGrow)
{
    EXPECT_TRUE(L.TestOf(u"LO"));
    EXPECT_FALSE(L.TestOf(u"SUMQ"));
    EXPECT_TRUE(L.TestOf(u"SUMS"));
    EXPECT_TRUE(L.TestOf(u"<"));
    EXPECT_TRUE(L.TestOf(u"<>"));
    EXPECT_FALSE(L.TestOf(u"1"));
    EXPECT_TRUE(L.TestOf(u"SU", 0));
    EXPECT_FALSE(L.TestOf(u"SU", -4));
    EXPECT_FALSE(L.TestOf(u"SU", 2));
}

TEST_F(FunctionListTest, AnswersNeutralValuesForUnregisteredIds)
{
    EXPECT_EQ(L.GetParameterCountByID(4), 2);
    EXPECT_EQ(L.GetParameterCountByID(3), 1);
    EXPECT_EQ(L.GetParameterCountByID(28), -1);
    EXPECT_EQ(L.GetParameterCountByID(25), 0);
    EXPECT_EQ(L.GetParameterCountByID(0), 0);
    EXPECT_EQ(L.GetPriorityByID(RootOperatorID), 1);
    EXPECT_EQ(L.GetAddressByID(RootOperatorID), nullptr);
    EXPECT_EQ(L.GetCategoryByID(80), -1);
    EXPECT_EQ(L.GetNameByID(-1), QString());
}

TEST(FunctionListRegistration, RefusesDuplicatesButKeepsTheirId)
{
    TFunctionList List;
    EXPECT_EQ(List.AddFunction(QString(), Dummy, 0, 0), -1);
    EXPECT_EQ(List.AddFunction("F", nullptr, 0, 0), -1);
    List.AddFunction("F", Dummy, 0, 0);
    EXPECT_THROW(List.AddFunction("f", Dummy, -4, 0), EFormulaError);
    List.AddFunction("G", Dummy, 1, 0);
    EXPECT_EQ(List.GetNameByID(3), "G");
    EXPECT_EQ(List.Count(), 2);
    EXPECT_FALSE(List.TestOf(u"F", -4));
}

}
