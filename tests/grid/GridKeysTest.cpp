#include "KeySequence.h"
#include "grid/DropList.h"

#include <functional>

using namespace GridKey;

namespace {

const TShiftState Shift { ssShift };
const TShiftState Ctrl { ssCtrl };
const TShiftState Alt { ssAlt };

struct TKeyCase {
    const char* Name;
    QString Before; // the text of B2, the starting cell
    std::vector<TKeyStep> Steps;
    TGridCell Current;
    bool Editing;
    QString Editor; // the editor's text while it is open
    QString After; // B2's stored text at the end
    TCharPos Caret { -1, -1 };
};

}

TEST(GridKeys, SequencesMoveWriteAndKeepTheCaret)
{
    const TKeyCase Cases[] = {
        { "typing then Down writes and moves", "old", { Type("abc"), Press(vkDown) }, { 2, 3 },
            false, "", "abc" },
        { "Left in the same editor moves the caret", "", { Type("abc"), Press(vkLeft) }, { 2, 2 },
            true, "abc", "", { 0, 2 } },
        { "typed after the caret moved", "", { Type("abc"), Press(vkLeft), Type("X") }, { 2, 2 },
            true, "abXc", "" },
        { "F2 keeps the exit keys for the caret", "hello",
            { Press(vkF2), Press(vkUp), Press(vkLeft), Press(vkDown), Press(vkLeft) }, { 2, 2 },
            true, "hello", "hello", { 0, 3 } },
        { "Enter opens, Enter writes", "x", { Press(vkReturn), Type("y"), Press(vkReturn) },
            { 2, 2 }, false, "", "xy" },
        { "Escape leaves the value", "old", { Type("new"), Press(vkEscape) }, { 2, 2 }, false, "",
            "old" },
        { "Backspace empties the editor", "old", { Press(vkBack), Type("n"), Press(vkReturn) },
            { 2, 2 }, false, "", "n" },
        { "Alt+Enter breaks the line", "", { Type("a"), Press(vkReturn, Alt), Type("b") }, { 2, 2 },
            true, "a\r\nb", "", { 1, 1 } },
        { "Up moves between lines at the same column", "ab\r\ncd", { Press(vkF2), Press(vkUp) },
            { 2, 2 }, true, "ab\r\ncd", "ab\r\ncd", { 0, 2 } },
        { "Shift+Home selects to the line start and typing replaces it", "",
            { Type("abc"), Press(vkHome, Shift), Type("z") }, { 2, 2 }, true, "z", "" },
        { "Ctrl+A in the editor keeps a formula's sign", "=1+2",
            { Press(vkF2), Press(vkA, Ctrl), Type("5") }, { 2, 2 }, true, "=5", "=1+2" },
        { "Tab with the editor open writes and moves", "", { Type("t"), Press(vkTab) }, { 3, 2 },
            false, "", "t" },
        { "Right, Down, Shift+Tab", "", { Press(vkRight), Press(vkDown), Press(vkTab, Shift) },
            { 2, 3 }, false, "", "" },
        { "Home and End go to the row's ends", "", { Press(vkEnd) }, { 5, 2 }, false, "", "" },
        { "Ctrl+End goes to the last cell", "", { Press(vkEnd, Ctrl) }, { 5, 5 }, false, "", "" },
        { "Ctrl+Home goes to the first cell", "", { Press(vkHome, Ctrl) }, { 1, 1 }, false, "",
            "" },
        { "Delete clears", "gone", { Press(vkDelete) }, { 2, 2 }, false, "", "" },
        { "Ctrl+Z takes a typed entry back in one step", "old",
            { Type("hello"), Press(vkReturn), Press(vkZ, Ctrl) }, { 2, 2 }, false, "", "old" },
        { "Ctrl+Z after Backspace brings the old text back", "old",
            { Press(vkBack), Type("n"), Press(vkReturn), Press(vkZ, Ctrl) }, { 2, 2 }, false, "",
            "old" },
        { "Ctrl+Z in the editor restores its text", "old", { Type("abc"), Press(vkZ, Ctrl) },
            { 2, 2 }, true, "old", "old" },
        { "Ctrl+Z after a clear", "gone", { Press(vkDelete), Press(vkZ, Ctrl) }, { 2, 2 }, false,
            "", "gone" },
    };
    for (const TKeyCase& C : Cases) {
        TKeyGrid F;
        if (!C.Before.isEmpty())
            F.G.SetCellValue(2, 2, C.Before);
        F.G.UndoList()->Clear();
        F.G.FocusCell(2, 2, true, true);
        F.Run(C.Steps, C.Name);
        EXPECT_EQ(F.G.Current(), C.Current) << C.Name;
        EXPECT_EQ(F.G.EditorMode(), C.Editing) << C.Name;
        if (C.Editing) {
            EXPECT_EQ(F.G.Editor().Text(), C.Editor) << C.Name;
        }
        EXPECT_EQ(F.Text(2, 2), C.After) << C.Name;
        if (C.Caret.Line >= 0) {
            EXPECT_EQ(F.G.Editor().CaretPos(), C.Caret) << C.Name;
        }
    }
}

TEST(GridKeys, ShiftExtendsFromTheAnchorAndTabDoesNot)
{
    TKeyGrid F;
    F.G.FocusCell(2, 2, true, true);
    F.Run({ Press(vkRight, Shift), Press(vkDown, Shift), Press(vkDown, Shift) }, "extend");
    EXPECT_EQ(F.G.Current(), (TGridCell { 2, 2 }));
    EXPECT_EQ(F.G.Anchor(), (TGridCell { 3, 4 }));
    ASSERT_TRUE(F.G.Selection().IsSingleRegion());
    EXPECT_EQ(F.G.Selection().Last()->Coord().Normalized(), (TGridRegion { 2, 2, 3, 4 }));
    F.Run({ Press(vkTab, Shift) }, "Shift+Tab");
    EXPECT_EQ(F.G.Current(), (TGridCell { 1, 2 })) << "Tab moves back and never extends";
    EXPECT_EQ(F.G.Selection().Last()->Coord().Normalized(), (TGridRegion { 1, 2, 1, 2 }));
}

TEST(GridKeys, TabWrapsOrHandsTheFocusOverAtTheLastCell)
{
    for (const bool TabStop : { false, true }) {
        for (const bool Editing : { false, true }) {
            const std::string Name
                = std::string(TabStop ? "tab stop" : "no tab stop") + (Editing ? ", editing" : "");
            TKeyGrid F;
            F.W.TabStop = TabStop;
            F.G.FocusCell(5, 5, true, true);
            std::vector<TKeyStep> Steps;
            if (Editing)
                Steps.push_back(Type("z"));
            Steps.push_back(Press(vkTab));
            const bool Consumed = F.Run(Steps, Name);
            EXPECT_EQ(Consumed, !TabStop) << Name;
            EXPECT_TRUE(F.G.TabStop()) << Name;
            EXPECT_FALSE(F.G.EditorMode()) << Name << ": Tab writes the entry";
            EXPECT_EQ(F.Text(5, 5), Editing ? QStringLiteral("z") : QString()) << Name;
            EXPECT_EQ(F.G.Current(), (TabStop ? TGridCell { 5, 5 } : TGridCell { 1, 1 })) << Name;
        }
    }
}

TEST(GridKeys, NothingIsRecordedOrWrittenWhereNoEditorCanWrite)
{
    struct {
        const char* Name;
        std::function<void(TKeyGrid&)> Setup;
        bool Opens;
    } Cases[] = {
        { "read-only column head over a writable cell",
            [](TKeyGrid& F) { F.G.Cols().GetHead(2)->SetReadOnly(true); }, true },
        { "read-only cell", [](TKeyGrid& F) { F.G.Cells().GetCell(2, 2)->SetReadOnly(true); },
            true },
        { "row select", [](TKeyGrid& F) { F.G.SetRowSelect(true); }, false },
        { "editor lock", [](TKeyGrid& F) { F.G.SetEditorLock(true); }, false },
    };
    for (const auto& C : Cases) {
        TKeyGrid F;
        F.G.SetCellValue(2, 2, QStringLiteral("keep"));
        F.G.UndoList()->Clear();
        C.Setup(F);
        F.G.FocusCell(2, 2, true, true);
        F.Run({ Type("x") }, C.Name);
        EXPECT_EQ(F.G.EditorMode(), C.Opens) << C.Name;
        if (C.Opens) {
            EXPECT_EQ(F.G.Editor().Text(), QStringLiteral("keep")) << C.Name;
        }
        // Clearing follows the rules of writing: a cell that cannot be
        // written cannot be cleared either.
        if (C.Opens)
            F.Run({ Press(vkBack), Press(vkReturn), Press(vkDelete), Press(vkX, Ctrl) }, C.Name);
        else
            F.Run({ Press(vkBack), Press(vkReturn) }, C.Name);
        EXPECT_EQ(F.Text(2, 2), QStringLiteral("keep")) << C.Name;
        EXPECT_EQ(F.G.UndoList()->Count(), 0) << C.Name;
    }
}

TEST(GridKeys, ClearingTakesOnlyWritableCellsAndUndoesAsOneStep)
{
    TKeyGrid F;
    for (qint32 R = 1; R <= 3; ++R)
        F.G.SetCellValue(1, R, QStringLiteral("v%1").arg(R));
    F.G.SetCellValue(2, 1, QStringLiteral("locked"));
    F.G.Cols().GetHead(2)->SetReadOnly(true);
    F.G.UndoList()->Clear();
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Press(vkDown, Shift), Press(vkDown, Shift), Press(vkRight, Shift), Press(vkDelete) },
        "clear");
    EXPECT_EQ(F.Text(1, 2), QString());
    EXPECT_EQ(F.Text(2, 1), QStringLiteral("locked")) << "the column head is read-only";
    EXPECT_EQ(F.G.UndoList()->Count(), 1);
    EXPECT_EQ(F.G.Cells().FindCell(1, 2), nullptr) << "the cleared cell left the grid";
    F.Run({ Press(vkZ, Ctrl) }, "undo");
    for (qint32 R = 1; R <= 3; ++R)
        EXPECT_EQ(F.Text(1, R), QStringLiteral("v%1").arg(R));
}

TEST(GridKeys, UndoingAClearAfterAPasteLeavesOneCell)
{
    TKeyGrid F;
    F.G.SetCellValue(1, 1, QStringLiteral("5"));
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Press(vkDelete) }, "clear");
    F.G.PasteTexts(1, 1, { { QStringLiteral("7") } });
    F.Run({ Press(vkZ, Ctrl), Press(vkZ, Ctrl) }, "undo twice");
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("5"));
    int Count = 0;
    for (int I = 0; I < F.G.Cells().Count(); ++I)
        Count += F.G.Cells().Items(I)->RegionCoord().FirstCol == 1
            && F.G.Cells().Items(I)->RegionCoord().FirstRow == 1;
    EXPECT_EQ(Count, 1);
}

TEST(GridKeys, ClearedCellsWithoutUndoLeaveTheGridAtOnce)
{
    TKeyGrid F;
    F.G.SetUndoEnabled(false);
    F.G.SetCellValue(3, 3, QStringLiteral("x"));
    F.G.FocusCell(3, 3, true, true);
    F.Run({ Press(vkDelete) }, "clear without undo");
    EXPECT_EQ(F.G.Cells().Count(), 0);
    EXPECT_EQ(F.G.UndoList()->Count(), 0);
}

TEST(GridKeys, OneSessionIsOneRecordHoweverLongTheText)
{
    TKeyGrid F;
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Type(QString(2000, u'q')) }, "long typing");
    EXPECT_EQ(F.G.UndoList()->Count(), 1);
    EXPECT_LT(F.G.UndoList()->MemorySize(), 1000);
    F.Run({ Press(vkReturn) }, "write");
    EXPECT_EQ(F.Text(1, 1), QString(2000, u'q'));
    EXPECT_EQ(F.G.UndoList()->Count(), 1);
}

TEST(GridKeys, SpaceOnADropListCellTypesNothing)
{
    TKeyGrid F;
    TCustomDropList List;
    List.ButtonViewStyle = bvsList;
    F.G.Cols().GetHead(2)->SetDropList(&List);
    F.G.FocusCell(2, 2, true, true);
    int Key = vkSpace;
    EXPECT_TRUE(F.G.KeyDown(Key, {})) << "the list takes the space";
    F.G.FocusCell(3, 2, true, true);
    Key = vkSpace;
    EXPECT_FALSE(F.G.KeyDown(Key, {})) << "a plain cell lets it type";
    F.G.Cols().GetHead(2)->SetDropList(nullptr);
}

TEST(GridKeys, PageDownOnAMillionRowsMovesByAPage)
{
    TKeyGrid F;
    F.G.SetRowCount(1000001);
    F.G.FocusCell(1, 1, true, true);
    F.Run({ Press(vkNext) }, "page down");
    EXPECT_GT(F.G.Row(), 5);
    EXPECT_EQ(F.G.TopRow(), F.G.Row());
    F.Run({ Press(vkEnd, Ctrl) }, "ctrl end");
    EXPECT_EQ(F.G.Row(), 1000000);
    TGridCell Shown;
    const TGridCell Last = F.G.GetLastVisible(&Shown);
    EXPECT_EQ(Last.Row, 1000000) << "the last row is fully visible";
}
