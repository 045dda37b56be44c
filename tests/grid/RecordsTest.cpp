#include "grid/model/DrawCellInfo.h"
#include "grid/model/TextFlags.h"

#include <gtest/gtest.h>

TEST(TextFlags, AlignmentAndFlagsConvert)
{
    struct {
        quint32 Flags;
        TTextAlignment Alignment;
        quint32 Back;
    } Cases[] = {
        { 0x0, { afTop, afLeft }, 0x0 },
        { 0x1, { afHCenter, afVHCenter }, 0x5 },
        { 0x800, { afTop, afLeft, afNoPrefix }, 0x800 },
        { 0x29, { afHCenter, afBottom, afSingleLine, afVHCenter }, 0x2D },
        { 0x8, { afTop, afBottom }, 0x8 },
        { 0x30000000, { afTop, afLeft, afShowPrefix, afNoPrint }, 0x30000000 },
        { 0x300000, { afTop, afLeft, afHidePrefix, afPrefixOnly }, 0x300000 },
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(FlagsToAlignment(C.Flags).Bits(), C.Alignment.Bits()) << std::hex << C.Flags;
        EXPECT_EQ(AlignmentToTextFlags(C.Alignment), C.Back) << std::hex << C.Flags;
    }
}

TEST(DrawCellInfo, CopiesAllButRequestFlags)
{
    TDrawCellInfo A;
    A.BackColor = 1;
    A.Flags = 0x820;
    A.Margin = TTextMargin { 1, 2, 3, 4 };
    A.Font().SetColor(7);
    A.WideStrings.SetWideText("x\ny");
    A.FullText = "full";
    A.CellColor = 2;
    A.State = { csFocused };
    A.SetPosition(3, 4);
    A.CellFormat = cfmtDate;
    A.Precision = 5;
    A.EditorLock = true;
    A.IsValue = true;
    int Dummy;
    A.Cell = reinterpret_cast<TCellObject*>(&Dummy);

    TDrawCellInfo B;
    B.Assign(A);
    EXPECT_TRUE(B.SameFormat(&A));
    EXPECT_EQ(B.WideText(), QString("x\r\ny"));
    EXPECT_EQ(B.FullText, A.FullText);
    EXPECT_EQ(B.CellColor, 2u);
    EXPECT_EQ(B.State, A.State);
    EXPECT_EQ(B.Col(), 3);
    EXPECT_EQ(B.Row(), 4);
    EXPECT_EQ(B.Cell, A.Cell);
    EXPECT_EQ(B.CellFormat, cfmtDate);
    EXPECT_EQ(B.Precision, 5);
    EXPECT_FALSE(B.EditorLock);
    EXPECT_FALSE(B.IsValue);

    TDrawFormatInfo F;
    F.Assign(A);
    EXPECT_TRUE(F.SameFormat(&A));
    TDrawCellInfo C;
    C.Assign(F);
    EXPECT_EQ(C.Col(), 0);
    EXPECT_TRUE(C.WideStrings.Count() == 0);
}

TEST(DrawCellInfo, SameFormatComparesEveryAttribute)
{
    TDrawFormatInfo A;
    EXPECT_FALSE(A.SameFormat(nullptr));
    struct {
        const char* Name;
        std::function<void(TDrawFormatInfo&)> Change;
    } Cases[] = {
        { "font colour", [](TDrawFormatInfo& F) { F.Font().SetColor(5); } },
        { "font size", [](TDrawFormatInfo& F) { F.Font().SetSize(20); } },
        { "font style", [](TDrawFormatInfo& F) { F.Font().SetStyle({ fsBold }); } },
        { "margin", [](TDrawFormatInfo& F) { F.Margin = TTextMargin {}; } },
        { "flags", [](TDrawFormatInfo& F) { F.Flags = 1; } },
        { "colour", [](TDrawFormatInfo& F) { F.BackColor = 1; } },
    };
    for (const auto& C : Cases) {
        TDrawFormatInfo B;
        EXPECT_TRUE(B.SameFormat(&A)) << C.Name;
        C.Change(B);
        EXPECT_FALSE(B.SameFormat(&A)) << C.Name;
    }
}
