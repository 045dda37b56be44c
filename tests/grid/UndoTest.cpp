#include "TestGridWindow.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"

#include <gtest/gtest.h>

namespace {

struct TUndoFixture {
    TTestGridWindow W;
    TGridObject G { &W };
    TUndoFixture()
    {
        G.SetColCount(10);
        G.SetRowCount(2000);
    }
    QString Text(qint32 C, qint32 R) { return G.GetCellText(C, R, TCellStates()); }
};

}

TEST(Undo, KeepsTheNewest1024EditsAndUndoesThemInTurn)
{
    TUndoFixture F;
    for (int I = 0; I < 1025; ++I)
        F.G.SetCellValue(1, 1 + I, QStringLiteral("v%1").arg(I));
    TUndoList& U = *F.G.UndoList();
    EXPECT_EQ(U.Count(), 1024);
    EXPECT_EQ(U.Context(), QStringLiteral("ввод 'v1024' в ячейку A1025"));
    U.Undo();
    EXPECT_EQ(F.Text(1, 1025), QString());
    EXPECT_EQ(U.Count(), 1023) << "an undo must not record itself";
    while (U.Count() > 0)
        U.Undo();
    // The oldest edit was pushed out and stays.
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("v0"));
    EXPECT_EQ(F.Text(1, 2), QString());
}

TEST(Undo, ContextShortensLongTexts)
{
    TUndoFixture F;
    F.G.SetCellValue(2, 3, QString(40, u'x'));
    EXPECT_EQ(F.G.UndoList()->Context(),
        QStringLiteral("ввод '") + QString(27, u'x') + QStringLiteral("...' в ячейку B3"));
    F.G.SetCellValue(2, 3, QString(30, u'y'));
    EXPECT_EQ(F.G.UndoList()->Context(),
        QStringLiteral("ввод '") + QString(30, u'y') + QStringLiteral("' в ячейку B3"));
    // Writing the same text again changes nothing and records nothing.
    F.G.SetCellValue(2, 3, QString(30, u'y'));
    EXPECT_EQ(F.G.UndoList()->Count(), 2);
}

TEST(Undo, PasteOfABlockIsOneStepWithItsLook)
{
    TUndoFixture F;
    F.G.SetCellValue(1, 1, QStringLiteral("old"));
    TCell* Cell = F.G.Cells().FindCell(1, 1);
    ASSERT_NE(Cell, nullptr);
    Cell->SetBackColor(RGBColor(10, 20, 30));
    Cell->SetAlignment({ afRight });
    const int Before = F.G.UndoList()->Count();
    F.G.PasteTexts(1, 1, { { "a", "b" }, { "c", "d" } });
    EXPECT_EQ(F.Text(2, 2), QStringLiteral("d"));
    ASSERT_EQ(F.G.UndoList()->Count(), Before + 1);
    EXPECT_EQ(F.G.UndoList()->Context(), QStringLiteral("вставку в A1:B2"));
    Cell->SetBackColor(clWhite);
    Cell->SetAlignment({ afLeft });
    F.W.Invalidated.clear();
    F.G.UndoList()->Undo();
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("old"));
    EXPECT_EQ(F.Text(2, 1), QString());
    EXPECT_EQ(F.Text(1, 2), QString());
    EXPECT_EQ(F.Text(2, 2), QString());
    EXPECT_EQ(Cell->BackColor(), RGBColor(10, 20, 30));
    EXPECT_TRUE(Cell->Alignment().Contains(afRight));
    EXPECT_EQ(F.G.UndoList()->Count(), Before);
    const QRect Block = F.G.RegionToRect({ 1, 1, 2, 2 });
    bool Repainted = false;
    for (const QRect& R : F.W.Invalidated)
        Repainted = Repainted || R.contains(Block);
    EXPECT_TRUE(Repainted);
}

TEST(Undo, PasteUndoRestoresTextsNotTheirDisplay)
{
    // A number shown with two decimals must come back with all of them.
    TUndoFixture F;
    F.G.SetCellValue(1, 1, QStringLiteral("3.14159"));
    TCell* Cell = F.G.Cells().FindCell(1, 1);
    Cell->SetCellFormat(cfmtNumeric);
    Cell->SetPrecision(2);
    F.G.PasteTexts(1, 1, { { "abc" } });
    F.G.UndoList()->Undo();
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("3.14159"));
}

TEST(Undo, PasteThatWroteNothingLeavesNoRecord)
{
    TUndoFixture F;
    F.G.PasteTexts(20, 1, { { "x" } });
    EXPECT_EQ(F.G.UndoList()->Count(), 0) << "outside the grid";
    F.G.SetReadOnly(true);
    F.G.PasteTexts(1, 1, { { "x", "y" } });
    EXPECT_EQ(F.G.UndoList()->Count(), 0) << "read-only grid";
    EXPECT_EQ(F.Text(1, 1), QString());
}

TEST(Undo, MemoryBoundDropsTheOldestRecords)
{
    TUndoFixture F;
    // Blocks of 10,000 cells of 500 characters: a few of them fill the
    // bound.
    std::vector<std::vector<QString>> Block(2000, std::vector<QString>(5, QString(500, u'z')));
    F.G.SetCellValue(1, 1, QStringLiteral("first"));
    for (int I = 0; I < 4; ++I)
        F.G.PasteTexts(1, 1, Block);
    TUndoList& U = *F.G.UndoList();
    EXPECT_LE(U.MemorySize(), TUndoList::MemoryLimit);
    EXPECT_GE(U.Count(), 2);
    EXPECT_LT(U.Count(), 5);
    EXPECT_EQ(dynamic_cast<TUndoEdit*>(U.Items(0)), nullptr) << "the oldest record went first";
}

TEST(Undo, RecordNeedsItsGridAndEditsInsideTheEditorComeBackThere)
{
    EXPECT_THROW(TUndoEdit(nullptr, 1, 1), EInvalidArgument);
    TUndoFixture F;
    F.G.SetCellValue(1, 1, QStringLiteral("cell"));
    F.G.ShowEditor();
    F.G.UndoList()->AddItem(std::make_unique<TUndoEdit>(&F.G, 1, 1));
    F.G.EditorText().SetWideText(QStringLiteral("typed"));
    F.G.UndoList()->Undo();
    EXPECT_TRUE(F.G.EditorMode());
    EXPECT_EQ(F.G.EditorText().GetWideText(), QStringLiteral("cell"));
}

TEST(Undo, ClearedCellObjectComesBack)
{
    TUndoFixture F;
    auto Cleared = std::make_unique<TCell>(&F.G);
    Cleared->SetCoord(TGridCell { 2, 3 });
    Cleared->SetText(QStringLiteral("gone"));
    Cleared->SetBackColor(RGBColor(1, 2, 3));
    F.G.UndoList()->AddItem(std::make_unique<TUndoCell>(&F.G, std::move(Cleared)));
    EXPECT_EQ(F.G.UndoList()->Context(), QStringLiteral("Очистить содержимое B3"));
    F.G.UndoList()->Undo();
    const TCell* Back = F.G.Cells().FindCell(2, 3);
    ASSERT_NE(Back, nullptr);
    EXPECT_EQ(Back->GetText(), QStringLiteral("gone"));
    EXPECT_EQ(Back->BackColor(), RGBColor(1, 2, 3));
    EXPECT_TRUE(F.G.EnableCalculation()) << "calculation is switched on again";
    QString Fault;
    EXPECT_TRUE(F.G.CheckConsistency(&Fault)) << Fault.toStdString();
}
