#include "KeySequence.h"
#include "grid/model/GridError.h"

using namespace GridKey;

namespace {

// What a number field of the data layer does with a text it cannot take.
class ENotANumber : public EGridError {
public:
    ENotANumber()
        : EGridError(QStringLiteral("Значение не является числом"))
    {
    }
};

}

TEST(GridEdit, HandlerChainTakesTheFirstThatHandles)
{
    TKeyGrid F;
    THead* Col = F.G.Cols().GetHead(1);
    QString Order;
    Col->OnGetEditText = [&](TPersistent*, qint32, qint32, TCellStates, THead*, THead*, QString& V,
                             bool& Handled) {
        Order += u'c';
        V = QStringLiteral("from head");
        Handled = true;
    };
    Col->OnSetEditText = [&](TPersistent*, qint32, qint32, TCellStates, THead*, THead*,
                             const QString&, bool& Handled) {
        Order += u'C';
        Handled = true;
    };
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("from head"));
    F.W.GetText = [&](qint32, qint32, TCellStates, QString& V) {
        Order += u'w';
        V = QStringLiteral("from window");
        return true;
    };
    F.W.SetText = [&](qint32, qint32, TCellStates, const QString&) {
        Order += u'W';
        return true;
    };
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("from window"));
    EXPECT_TRUE(F.G.SetEditText(1, 1, TCellStates(), Col, nullptr, nullptr, QStringLiteral("v")));
    EXPECT_EQ(Order, QStringLiteral("cwW")) << "the window's handler wins, the head's is not asked";
    EXPECT_EQ(F.G.Cells().FindCell(1, 1), nullptr) << "a handled text makes no cell object";
    Col->OnGetEditText = nullptr;
    Col->OnSetEditText = nullptr;
}

TEST(GridEdit, EditorLoadsTheValueForEditingAndWritesOnlyAChange)
{
    TKeyGrid F;
    int Writes = 0;
    QString Stored = QStringLiteral("2.123456");
    F.W.GetText = [&](qint32, qint32, TCellStates S, QString& V) {
        V = S.Contains(csEditor) ? Stored : QStringLiteral("2.1235");
        return true;
    };
    F.W.SetText = [&](qint32, qint32, TCellStates, const QString& V) {
        ++Writes;
        Stored = V;
        return true;
    };
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Press(vkReturn) }, "open");
    EXPECT_EQ(F.G.Editor().Text(), QStringLiteral("2.123456"));
    F.Run({ Press(vkReturn) }, "close unchanged");
    EXPECT_EQ(Writes, 0) << "an unchanged text is not written back";
    EXPECT_EQ(Stored, QStringLiteral("2.123456"));
    F.Run({ Press(vkF2), Press(vkBack), Press(vkReturn) }, "edit");
    EXPECT_EQ(Writes, 1);
    EXPECT_EQ(Stored, QStringLiteral("2.12345"));
}

TEST(GridEdit, RefusedValueKeepsTheEditorOpenWithTheTypedText)
{
    TKeyGrid F;
    F.G.SetCellValue(1, 1, QStringLiteral("10"));
    F.G.UndoList()->Clear();
    F.W.SetText = [](qint32, qint32, TCellStates, const QString& V) -> bool {
        bool Ok = false;
        V.toDouble(&Ok);
        if (!Ok)
            throw ENotANumber();
        return false;
    };
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Type("abc") }, "type letters");
    int Key = vkReturn;
    EXPECT_THROW(F.G.KeyDown(Key, {}), ENotANumber);
    EXPECT_TRUE(F.G.EditorMode());
    EXPECT_EQ(F.G.Editor().Text(), QStringLiteral("abc"));
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("10"));
    Key = vkDown;
    EXPECT_THROW(F.G.KeyDown(Key, {}), ENotANumber) << "an exit key writes as Enter does";
    EXPECT_EQ(F.G.Current(), (TGridCell { 1, 1 })) << "the refused edit does not move";
    QString Fault;
    EXPECT_TRUE(F.G.CheckConsistency(&Fault)) << Fault.toStdString();
    F.Run({ Press(vkBack), Press(vkBack), Press(vkBack), Type("12"), Press(vkReturn) }, "fix");
    EXPECT_FALSE(F.G.EditorMode());
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("12"));
    F.Run({ Press(vkZ, { ssCtrl }) }, "undo");
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("10"));
}

TEST(GridEdit, HandlerThatClosesTheEditorWritesOnce)
{
    TKeyGrid F;
    int Writes = 0;
    F.W.SetText = [&](qint32, qint32, TCellStates, const QString&) {
        ++Writes;
        F.G.HideEditor();
        return true;
    };
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Type("v"), Press(vkReturn) }, "write");
    EXPECT_EQ(Writes, 1);
    EXPECT_FALSE(F.G.EditorMode());
}

TEST(GridEdit, SetCellValueRecordsTheWrittenCellAndComparesCase)
{
    TKeyGrid F;
    F.G.SetCellValue(2, 4, QStringLiteral("abc"));
    F.G.SetCellValue(2, 4, QStringLiteral("ABC"));
    ASSERT_EQ(F.G.UndoList()->Count(), 2) << "a change of case is a change";
    EXPECT_EQ(F.G.UndoList()->Context(), QStringLiteral("ввод 'ABC' в ячейку B4"));
    F.G.UndoList()->Undo();
    EXPECT_EQ(F.Text(2, 4), QStringLiteral("abc"));
    EXPECT_EQ(F.Text(4, 2), QString()) << "not the transposed cell";
}

TEST(GridEdit, CaretMapsPixelsToTheNearestCharacterBoundary)
{
    TKeyGrid F;
    F.G.SetCellValue(1, 1, QStringLiteral("abcdef"));
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Press(vkF2) }, "open");
    const QRect Caret = F.G.CaretRect();
    ASSERT_FALSE(Caret.isEmpty());
    const QRect Text = F.G.EditorRect().adjusted(3, 2, -3, -2);
    EXPECT_EQ(Caret.left(), Text.left() + 6 * 7) << "after six characters of 7 pixels";
    struct {
        int Dx;
        qint32 Char;
    } Points[] = { { -20, 0 }, { 2, 0 }, { 3, 1 }, { 16, 2 }, { 17, 3 }, { 500, 6 } };
    for (const auto& P : Points) {
        F.G.SetCaretAtPoint(Text.left() + P.Dx, Text.top() + 3, false);
        EXPECT_EQ(F.G.Editor().CaretPos().Char, P.Char) << "dx " << P.Dx;
        EXPECT_EQ(F.G.CaretRect().left(), Text.left() + 7 * P.Char) << "dx " << P.Dx;
    }
    F.G.SetCaretAtPoint(Text.left() + 4, Text.top() + 3, true);
    EXPECT_EQ(F.G.Editor().SelectedText(), QStringLiteral("bcdef"));
    F.G.SelectAllEditorText();
    EXPECT_EQ(F.G.Editor().SelectedText(), QStringLiteral("abcdef"));
}

TEST(GridEdit, PointerPlacedCaretKeepsTheArrowsInTheEditor)
{
    TKeyGrid F;
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Type("abc") }, "type");
    EXPECT_TRUE(F.G.StartEditor());
    const QRect Text = F.G.EditorRect().adjusted(3, 2, -3, -2);
    F.G.SetCaretAtPoint(Text.left() + 7, Text.top() + 2, false);
    F.Run({ Press(vkDown), Press(vkRight) }, "arrows");
    EXPECT_TRUE(F.G.EditorMode());
    EXPECT_EQ(F.G.Editor().CaretPos(), (TCharPos { 0, 2 }));
}

TEST(GridEdit, EditorGrowsOverItsNeighboursAndScrollsItsText)
{
    TKeyGrid F;
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Type("x") }, "open");
    const QRect Small = F.G.EditorRect();
    F.Run({ Type(QString(30, u'w')) }, "long");
    const QRect Grown = F.G.EditorRect();
    EXPECT_EQ(Grown.left(), Small.left());
    EXPECT_GE(Grown.width(), 31 * 7) << "the whole text fits";
    F.Run({ Type(QString(60, u'w')) }, "past the window");
    const QRect Caret = F.G.CaretRect();
    EXPECT_LE(Caret.right(), F.W.Client.right()) << "the text origin keeps the caret in view";
    EXPECT_LT(F.G.TextOrigin().x(), 0);
    F.Run({ Press(vkHome, { ssCtrl }) }, "back to the start");
    EXPECT_EQ(F.G.TextOrigin().x(), 0);
    F.Run({ Press(vkEscape) }, "close");
    EXPECT_TRUE(F.G.EditorRect().isEmpty());
    EXPECT_EQ(F.G.UndoList()->Count(), 0) << "a cancelled entry leaves nothing to undo";
}

TEST(GridEdit, MovingAwayWritesTheEditor)
{
    TKeyGrid F;
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Type("w") }, "type");
    F.G.FocusCell(3, 3, true, true);
    EXPECT_FALSE(F.G.EditorMode());
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("w"));
    F.G.SetEditorMode(true);
    EXPECT_EQ(F.G.EditCell(), (TGridCell { 3, 3 }));
    F.G.SetEditorMode(false);
    EXPECT_FALSE(F.G.EditorMode());
}

TEST(GridEdit, CopyAndPasteThroughTheClipboard)
{
    TKeyGrid F;
    F.G.SetCellValue(1, 1, QStringLiteral("a"));
    F.G.SetCellValue(2, 1, QStringLiteral("b"));
    F.G.SetCellValue(1, 2, QStringLiteral("c"));
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Press(vkRight, { ssShift }), Press(vkDown, { ssShift }), Press(vkC, { ssCtrl }) },
        "copy block");
    EXPECT_EQ(TMyClipboard::Instance().AsWideText(), QStringLiteral("a\tb\r\nc\t\r\n"));
    F.G.FocusCell(3, 3, true, true);
    const int Records = F.G.UndoList()->Count();
    F.Run({ Press(vkV, { ssCtrl }) }, "paste block");
    EXPECT_EQ(F.Text(3, 3), QStringLiteral("a"));
    EXPECT_EQ(F.Text(4, 3), QStringLiteral("b"));
    EXPECT_EQ(F.Text(3, 4), QStringLiteral("c"));
    EXPECT_EQ(F.G.UndoList()->Count(), Records + 1) << "a paste is one step";
    F.Run({ Press(vkF2), Press(vkLeft, { ssShift }), Press(vkX, { ssCtrl }) }, "cut in editor");
    EXPECT_EQ(TMyClipboard::Instance().AsWideText(), QStringLiteral("a"));
    EXPECT_EQ(F.G.Editor().Text(), QString());
    F.Run({ Press(vkV, { ssCtrl }), Press(vkV, { ssCtrl }), Press(vkReturn) }, "paste in editor");
    EXPECT_EQ(F.Text(3, 3), QStringLiteral("aa"));
    F.Run({ Press(vkZ, { ssCtrl }) }, "undo the edit");
    EXPECT_EQ(F.Text(3, 3), QStringLiteral("a"));
}
