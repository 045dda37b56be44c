#include "TestApplication.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "grid/control/GridContextMenu.h"
#include "grid/control/GridControl.h"
#include "grid/control/GridCursors.h"
#include "grid/control/ScrollThrottle.h"
#include "text/MyClipboard.h"

#include <QFocusEvent>
#include <QMenu>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

struct TClock {
    qint64 Now = 1000;
    TClock()
    {
        TScrollThrottle::Reset();
        TScrollThrottle::SetClock([this] { return Now; });
    }
    ~TClock() { TScrollThrottle::SetClock({}); }
};

QAction* ByText(QMenu* M, const QString& Text)
{
    for (QAction* A : M->actions())
        if (A->text() == Text)
            return A;
    return nullptr;
}

}

TEST(ScrollThrottle, BurstsOfLargeTracksPassOnlyAtTheEndsAndAfterAPause)
{
    TClock Clock;
    struct {
        qint64 At;
        int Pos;
        bool Passes;
        const char* Why;
    } Steps[] = {
        { 1000, 50, true, "first after a pause" },
        { 1005, 70, false, "within 20 ms, 20 away" },
        { 1010, 75, true, "5 from the last seen" },
        { 1015, 0, true, "the start of the bar" },
        { 1018, 500, true, "the maximum" },
        { 1019, 300, false, "within 20 ms of the last passed" },
        { 1045, 100, true, "after 20 ms" },
    };
    for (const auto& S : Steps) {
        Clock.Now = S.At;
        EXPECT_EQ(TScrollThrottle::Pass(true, S.Pos, 500), S.Passes) << S.Why;
    }
    EXPECT_TRUE(TScrollThrottle::Pass(false, 400, 500)) << "other notifications always pass";
}

TEST(GridControl, ThumbDragEndsWhereTheThumbIsAndTracksWithTheTimer)
{
    TestApplication();
    TClock Clock;
    TGridControl C;
    C.resize(400, 300);
    C.Grid().SetRowCount(100000);
    C.ScrollEvent(1, scTrack, 100);
    EXPECT_EQ(C.TimerInterval(), 99);
    EXPECT_EQ(C.Grid().TopRow(), 1) << "a track waits for the timer";
    C.FireTimer();
    EXPECT_EQ(C.Grid().TopRow(), 101);
    Clock.Now += 5;
    C.ScrollEvent(1, scTrack, 5000);
    C.FireTimer();
    EXPECT_EQ(C.Grid().TopRow(), 101) << "dropped by the throttle";
    C.ScrollEvent(1, scPosition, 5000);
    C.ScrollEvent(1, scEndScroll, 5000);
    EXPECT_EQ(C.Grid().TopRow(), 5001) << "the release takes its own position";
    EXPECT_EQ(C.TimerInterval(), 0);
    EXPECT_EQ(C.VertScrollBar()->value(), 5000);
}

TEST(GridControl, SeparateBarsAndGripFollowWhatNeedsScrolling)
{
    TestApplication();
    TGridControl C;
    C.SetWinScrolling(false);
    C.resize(300, 200);
    C.Grid().SetColCount(20);
    C.Grid().SetRowCount(50);
    C.UpdateScrollBars();
    ASSERT_TRUE(C.HorzScrollBar() && C.VertScrollBar() && C.GridGrab());
    EXPECT_TRUE(C.HorzScrollBar()->isVisibleTo(&C));
    EXPECT_TRUE(C.VertScrollBar()->isVisibleTo(&C));
    EXPECT_TRUE(C.GridGrab()->isVisibleTo(&C));
    C.Grid().SetColCount(2);
    C.UpdateScrollBars();
    EXPECT_FALSE(C.HorzScrollBar()->isVisibleTo(&C));
    EXPECT_FALSE(C.GridGrab()->isVisibleTo(&C));
    EXPECT_EQ(C.VertScrollBar()->height(), 200) << "the only bar runs the full length";
    EXPECT_EQ(C.ClientRect().right(), 299 - C.VertScrollBar()->width());
}

TEST(GridControl, FocusKeepsTheGridsOwnHideSelection)
{
    TestApplication();
    TGridControl C;
    C.Grid().SetHideSelection(true);
    QFocusEvent In(QEvent::FocusIn);
    QApplication::sendEvent(&C, &In);
    EXPECT_TRUE(C.Grid().HideSelection());
    C.SaveHideSelectionForDropDown();
    EXPECT_FALSE(C.Grid().HideSelection());
    QApplication::sendEvent(&C, &In);
    EXPECT_TRUE(C.Grid().HideSelection()) << "restored after the drop list";
}

TEST(GridControl, ContextMenuItemsAndTheirEnabling)
{
    TestApplication();
    TGridControl C;
    C.Grid().SetColCount(5);
    C.Grid().SetRowCount(5);
    TGridContextMenu& M = C.ContextMenu();
    QStringList Captions;
    for (QAction* A : M.Menu()->actions())
        Captions << (A->isSeparator() ? QStringLiteral("-") : A->text());
    EXPECT_EQ(Captions,
        (QStringList { "Отменить ", "-", "Вырезать", "Копировать", "Вставить",
            "Специальная вставка ...", "-", "Выделить всё", "-", "Очистить содержимое" }));

    C.PrepareContextMenu();
    EXPECT_EQ(M.fmUndo->text(), QStringLiteral("Нельзя отменить"));
    EXPECT_FALSE(M.fmUndo->isEnabled());
    C.Grid().SetCellValue(1, 1, QStringLiteral("x"));
    C.PrepareContextMenu();
    EXPECT_EQ(M.fmUndo->text(), QStringLiteral("Отменить ") + C.Grid().UndoList()->Context());
    EXPECT_TRUE(M.fmUndo->isEnabled());
    M.fmUndo->trigger();
    EXPECT_EQ(C.Grid().GetCellText(1, 1, TCellStates()), QString());

    ClipboardCopyText(QStringLiteral("x"));
    C.PrepareContextMenu();
    EXPECT_TRUE(M.fmPaste->isEnabled()) << "something to paste";
    C.Grid().SetReadOnly(true);
    C.PrepareContextMenu();
    EXPECT_FALSE(M.fmCut->isVisible());
    EXPECT_FALSE(M.fmClear->isVisible());
    EXPECT_FALSE(M.fmPaste->isEnabled());
    C.Grid().SetUndoEnabled(false);
    C.PrepareContextMenu();
    EXPECT_FALSE(M.fmUndo->isVisible());
}

TEST(GridControl, MenuItemsAreTheGridsKeystrokes)
{
    TestApplication();
    TGridControl C;
    std::vector<std::pair<int, Qt::KeyboardModifiers>> Keys;
    C.OnKeyDown = [&](int Key, Qt::KeyboardModifiers M) {
        Keys.emplace_back(Key, M);
        return true;
    };
    TGridContextMenu& M = C.ContextMenu();
    for (QAction* A : { M.fmCut, M.fmCopy, M.fmPaste, M.fmPasteValues, M.fmPasteFormulae,
             M.fmSelectAll, M.fmClear })
        A->trigger();
    const std::vector<std::pair<int, Qt::KeyboardModifiers>> Expected {
        { 88, Qt::ControlModifier }, { 67, Qt::ControlModifier }, { 86, Qt::ControlModifier },
        { 86, Qt::ControlModifier | Qt::AltModifier }, { 86, Qt::ControlModifier },
        { 65, Qt::ControlModifier }, { Qt::Key_Delete, Qt::NoModifier } };
    EXPECT_EQ(Keys, Expected);
}

TEST(GridControl, UserMenuIsMergedOnceAndClicksTheUsersItem)
{
    TestApplication();
    TGridControl C;
    QMenu User;
    int Clicks = 0;
    QObject::connect(User.addAction(QStringLiteral("Первый")), &QAction::triggered, [&] { ++Clicks; });
    QMenu* Sub = User.addMenu(QStringLiteral("Ещё"));
    QObject::connect(Sub->addAction(QStringLiteral("Второй")), &QAction::triggered, [&] { Clicks += 10; });
    C.SetPopupMenu(&User);
    QMenu* Menu = nullptr;
    for (int Opening = 0; Opening < 2; ++Opening)
        Menu = C.PrepareContextMenu();
    const QList<QAction*> Items = Menu->actions();
    ASSERT_EQ(Items.size(), 13) << "ten own items, a separator and two copies, once";
    EXPECT_TRUE(Items[10]->isSeparator());
    EXPECT_EQ(Items[11]->text(), QStringLiteral("Первый"));
    ASSERT_NE(Items[12]->menu(), nullptr);
    ByText(Menu, QStringLiteral("Первый"))->trigger();
    ByText(Items[12]->menu(), QStringLiteral("Второй"))->trigger();
    EXPECT_EQ(Clicks, 11);
    C.SetPopupMenu(nullptr);
    EXPECT_EQ(C.PrepareContextMenu()->actions().size(), 10);
}

TEST(GridControl, EveryPointerShapeLoads)
{
    TestApplication();
    for (int N = gcrExcelCross; N <= gcrCopyDrag; ++N)
        EXPECT_TRUE(GridCursorLoaded(N)) << N;
    EXPECT_FALSE(GridCursorLoaded(99));
    EXPECT_EQ(GridCursor(99).shape(), Qt::ArrowCursor);
}
