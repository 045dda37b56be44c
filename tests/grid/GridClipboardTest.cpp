#include "grid/GridClipboard.h"
#include "TestGridWindow.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "text/MyClipboard.h"

#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TMemoryClipboard : IPlatformClipboard {
    std::unique_ptr<QMimeData> Held;
    const QMimeData* Data() const override { return Held.get(); }
    void SetData(QMimeData* D) override { Held.reset(D); }
};

struct TClipboardGrid {
    TTestGridWindow W;
    TGridObject G { &W };
    TMemoryClipboard Platform;
    TMyClipboard Clip { &Platform };
    TClipboardGrid()
    {
        G.SetColCount(6);
        G.SetRowCount(6);
    }
    QString Text(qint32 C, qint32 R) { return G.GetCellText(C, R, TCellStates()); }
    void Select(const TGridRegion& R)
    {
        G.Selection().Clear();
        G.Selection().Add(R);
    }
    void PutHtml(const QByteArray& Html)
    {
        TClipboardBracket B(Clip);
        Clip.Clear();
        Clip.SetAsHTML(Html);
    }
};

}

TEST(GridClipboard, CopiesTheSelectionInBothForms)
{
    TClipboardGrid F;
    F.G.SetCellValue(1, 1, QStringLiteral("a"));
    F.G.SetCellValue(2, 1, QStringLiteral("b<"));
    F.G.SetCellValue(1, 2, QStringLiteral("c"));
    F.G.SetCellValue(2, 2, QStringLiteral("d"));
    F.Select({ 1, 1, 2, 2 });
    CopySelectionToClipboard(F.G, F.Clip);
    EXPECT_EQ(F.Clip.AsWideText(), QStringLiteral("a\tb<\r\nc\td\r\n"));
    const QByteArray Html = F.Clip.AsHTML();
    EXPECT_TRUE(Html.startsWith("Version:0.9\r\nStartHTML:0048\r\n"));
    EXPECT_TRUE(Html.contains(">\r\nb&lt;</td>")) << Html.constData();
    EXPECT_EQ(Html.count("<td style=\"font-family:"), 4);
}

TEST(GridClipboard, CellsOutsideEveryRegionAreCopiedEmpty)
{
    TClipboardGrid F;
    for (qint32 C = 1; C <= 3; ++C)
        F.G.SetCellValue(C, 1, QString(QChar(u'a' + C)));
    F.G.Selection().Clear();
    F.G.Selection().Add(TGridRegion { 1, 1, 1, 1 });
    F.G.Selection().Add(TGridRegion { 3, 1, 3, 1 });
    CopySelectionToClipboard(F.G, F.Clip);
    EXPECT_EQ(F.Clip.AsWideText(), QStringLiteral("b\t\td\r\n"));
    EXPECT_TRUE(F.Clip.AsHTML().contains("<td>\r\n</td>"));
}

TEST(GridClipboard, PastesAsOneUndoStepAndEmptyCellsKeepTheirText)
{
    TClipboardGrid F;
    F.G.SetCellValue(3, 2, QStringLiteral("kept"));
    F.G.UndoList()->Clear();
    F.Select({ 2, 2, 2, 2 });
    F.PutHtml("<table><tr><td>x</td><td></td><td colspan=2>y</td></tr>"
              "<tr><td>Иванов &amp; Ко</td></tr></table>");
    PasteIntoSelection(F.G, F.Clip, false);
    EXPECT_EQ(F.Text(2, 2), QStringLiteral("x"));
    EXPECT_EQ(F.Text(3, 2), QStringLiteral("kept"));
    EXPECT_EQ(F.Text(4, 2), QStringLiteral("y"));
    EXPECT_EQ(F.Text(2, 3), QStringLiteral("Иванов & Ко"));
    ASSERT_EQ(F.G.UndoList()->Count(), 1);
    EXPECT_TRUE(F.G.EnableCalculation()) << "restored after the paste";
    F.G.UndoList()->Undo();
    EXPECT_EQ(F.Text(2, 2), QString());
    EXPECT_EQ(F.Text(3, 2), QStringLiteral("kept"));
    EXPECT_EQ(F.Text(2, 3), QString());
}

TEST(GridClipboard, PastesTextWhenTheHtmlHasNoTableAndStopsAtTheGridsEdge)
{
    TClipboardGrid F;
    F.Select({ 4, 4, 5, 5 });
    {
        TClipboardBracket B(F.Clip);
        F.Clip.Clear();
        F.Clip.SetAsHTML("<p>no table</p>");
        F.Clip.SetAsWideText(QStringLiteral("a\tb\tc\r\nd\r\ne\r\nf"));
    }
    PasteIntoSelection(F.G, F.Clip, false);
    EXPECT_EQ(F.Text(4, 4), QStringLiteral("a"));
    EXPECT_EQ(F.Text(5, 4), QStringLiteral("b"));
    EXPECT_EQ(F.Text(4, 5), QStringLiteral("d"));
    EXPECT_EQ(F.G.Cells().FindCell(4, 6), nullptr);
}

TEST(GridClipboard, NothingIsPastedIntoAReadOnlyGridOrWithoutASelection)
{
    TClipboardGrid F;
    F.PutHtml("<td>x</td>");
    F.G.Selection().Clear();
    PasteIntoSelection(F.G, F.Clip, false);
    F.Select({ 1, 1, 1, 1 });
    F.G.SetReadOnly(true);
    PasteIntoSelection(F.G, F.Clip, false);
    EXPECT_EQ(F.G.UndoList()->Count(), 0);
    F.G.SetReadOnly(false);
    F.PutHtml("<p>nothing</p>");
    PasteIntoSelection(F.G, F.Clip, false);
    EXPECT_EQ(F.G.UndoList()->Count(), 0) << "a paste that wrote nothing leaves no record";
    EXPECT_EQ(F.Text(1, 1), QString());
}

TEST(GridClipboard, CopyThenPasteElsewhereGivesTheSameTexts)
{
    TClipboardGrid F;
    F.G.SetCellValue(1, 1, QStringLiteral("две\r\nстроки"));
    F.G.SetCellValue(2, 1, QStringLiteral("a<b>&c"));
    F.Select({ 1, 1, 2, 1 });
    CopySelectionToClipboard(F.G, F.Clip);
    F.Select({ 3, 4, 3, 4 });
    PasteIntoSelection(F.G, F.Clip, true);
    EXPECT_EQ(F.Text(3, 4), QStringLiteral("две\r\nстроки"));
    EXPECT_EQ(F.Text(4, 4), QStringLiteral("a<b>&c"));
}

TEST(GridClipboard, InsideTheGridsPasteBracketItOnlyWrites)
{
    TClipboardGrid F;
    F.Select({ 1, 1, 1, 1 });
    F.PutHtml("<td>x<td>y");
    TEditStates Pasting = F.G.EditState();
    Pasting.Include(esPasteRegion);
    F.G.SetEditState(Pasting);
    PasteIntoSelection(F.G, F.Clip, false);
    EXPECT_EQ(F.Text(2, 1), QStringLiteral("y"));
    EXPECT_EQ(F.G.UndoList()->Count(), 0) << "the bracket's record is the grid's";
    EXPECT_TRUE(F.G.EditState().Contains(esPasteRegion));
}
