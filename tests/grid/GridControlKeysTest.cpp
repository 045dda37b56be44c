#include "TestApplication.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "grid/control/GridContextMenu.h"
#include "grid/control/GridControl.h"
#include "grid/control/InplaceEdit.h"
#include "grid/DropList.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

struct TControlFixture {
    TControlFixture()
    {
        TestApplication();
        C.resize(400, 300);
        C.Grid().SetColCount(6);
        C.Grid().SetRowCount(6);
    }
    TGridControl C;
    QString Text(qint32 Col, qint32 Row) { return C.Grid().GetCellText(Col, Row, TCellStates()); }
    void Key(int K, Qt::KeyboardModifiers M = Qt::NoModifier, const QString& T = QString(),
        quint32 Native = 0)
    {
        QKeyEvent Down(QEvent::KeyPress, K, M, 0, Native, 0, T);
        QApplication::sendEvent(&C, &Down);
        QKeyEvent Up(QEvent::KeyRelease, K, M, 0, Native, 0, T);
        QApplication::sendEvent(&C, &Up);
    }
};

}

TEST(GridControlKeys, CyrillicTypesThroughKeyTextsAndInputMethodCommits)
{
    TControlFixture F;
    F.Key(0x0416, Qt::NoModifier, QStringLiteral("ж"));
    F.Key(0x0410, Qt::ShiftModifier, QStringLiteral("А"));
    ASSERT_TRUE(F.C.Grid().EditorMode());
    EXPECT_EQ(F.C.Grid().Editor().Text(), QStringLiteral("жА"));
    F.Key(Qt::Key_Return);
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("жА"));

    // A dead key and its letter arrive as one commit of the input method.
    F.C.Grid().FocusCell(2, 1, true, true);
    QInputMethodEvent Commit;
    Commit.setCommitString(QStringLiteral("ёлка"));
    QApplication::sendEvent(&F.C, &Commit);
    ASSERT_TRUE(F.C.Grid().EditorMode());
    EXPECT_EQ(F.C.Grid().Editor().Text(), QStringLiteral("ёлка"));
    EXPECT_EQ(F.C.Grid().EditCell(), (TGridCell { 2, 1 }));
    F.Key(Qt::Key_Down);
    EXPECT_EQ(F.Text(2, 1), QStringLiteral("ёлка")) << "typing opened it, so Down leaves";
    EXPECT_EQ(F.C.Grid().Current(), (TGridCell { 2, 2 }));
}

TEST(GridControlKeys, CommandLettersKeepTheirPlaceOnACyrillicLayout)
{
    TControlFixture F;
    // Ctrl with the key of A on a Cyrillic layout: the letter is Ф, the
    // key's native code still names A.
    F.Key(0x0424, Qt::ControlModifier, QStringLiteral("\x01"), 'a');
    EXPECT_EQ(F.C.Grid().Selection().Last()->Coord(), F.C.Grid().Area());
    EXPECT_FALSE(F.C.Grid().EditorMode()) << "the control character types nothing";
}

TEST(GridControlKeys, ApplicationHandlerDecidesFirstAndMenuStrokesStillWork)
{
    TControlFixture F;
    F.C.OnKeyDown = [](int Key, Qt::KeyboardModifiers) { return Key == Qt::Key_Return; };
    F.Key(Qt::Key_Return);
    EXPECT_FALSE(F.C.Grid().EditorMode()) << "the handler took Enter";
    F.C.Grid().SetCellValue(1, 1, QStringLiteral("x"));
    F.C.ContextMenu().fmClear->trigger();
    EXPECT_EQ(F.Text(1, 1), QString());
    F.C.ContextMenu().fmSelectAll->trigger();
    EXPECT_EQ(F.C.Grid().Selection().Last()->Coord(), F.C.Grid().Area());
    F.C.PrepareContextMenu();
    EXPECT_EQ(F.C.ContextMenu().fmUndo->text(), QStringLiteral("Отменить Очистить содержимое A1"));
}

TEST(GridControlKeys, SpaceOnADropListCellOpensNoEditor)
{
    TControlFixture F;
    TCustomDropList List;
    List.ButtonViewStyle = bvsList;
    F.C.Grid().Cols().GetHead(1)->SetDropList(&List);
    F.Key(Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_FALSE(F.C.Grid().EditorMode());
    EXPECT_EQ(F.C.Grid().UndoList()->Count(), 0);
    F.C.Grid().FocusCell(2, 1, true, true);
    F.Key(Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_TRUE(F.C.Grid().EditorMode()) << "a plain cell takes the space as text";
    F.C.Grid().CancelEditor();
    F.C.Grid().Cols().GetHead(1)->SetDropList(nullptr);
}

TEST(GridControlKeys, TabPastTheLastCellMovesTheFocusOn)
{
    TestApplication();
    QWidget Form;
    auto* Layout = new QVBoxLayout(&Form);
    auto* C = new TGridControl(&Form);
    auto* Next = new QLineEdit(&Form);
    Layout->addWidget(C);
    Layout->addWidget(Next);
    C->setFocusPolicy(Qt::StrongFocus);
    C->Grid().SetColCount(3);
    C->Grid().SetRowCount(3);
    Form.show();
    Form.activateWindow();
    C->setFocus();
    QApplication::processEvents();
    C->Grid().FocusCell(1, 2, true, true);
    QKeyEvent Tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(C, &Tab);
    EXPECT_EQ(C->Grid().Current(), (TGridCell { 2, 2 })) << "the grid keeps Tab inside";
    QKeyEvent Last(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, 0, 0, 0, QStringLiteral("\t"));
    QApplication::sendEvent(C, &Last);
    EXPECT_EQ(C->Grid().Current(), (TGridCell { 2, 2 }));
    EXPECT_TRUE(C->Grid().TabStop());
    if (C->hasFocus() || Next->hasFocus()) {
        EXPECT_TRUE(Next->hasFocus()) << "the focus went on to the next control";
    }
    C->Grid().FocusCell(1, 1, true, true);
    EXPECT_FALSE(C->Grid().EditorMode()) << "no tab character was typed";
}

TEST(GridControlKeys, SeparateEditorTakesTheTextAndGivesEnterToTheGrid)
{
    TControlFixture F;
    F.C.Grid().SetInternalEditor(false);
    F.C.Grid().SetCellValue(1, 1, QStringLiteral("old"));
    F.Key(Qt::Key_F2);
    ASSERT_TRUE(F.C.Grid().EditorMode());
    TInplaceEdit* E = F.C.InplaceEditor();
    ASSERT_NE(E, nullptr);
    EXPECT_FALSE(E->isHidden());
    EXPECT_EQ(E->WideText(), QStringLiteral("old"));
    E->SetWideText(QStringLiteral("new"));
    QKeyEvent Enter(
        QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, 0, 0, 0, QStringLiteral("\r"));
    QApplication::sendEvent(E, &Enter);
    EXPECT_FALSE(F.C.Grid().EditorMode());
    EXPECT_EQ(F.Text(1, 1), QStringLiteral("new")) << "no line break before the commit";
    EXPECT_TRUE(E->isHidden());
}

TEST(GridControlKeys, EditorPaintsItsTextAndSelection)
{
    TControlFixture F;
    F.C.Grid().SetCellValue(1, 1, QStringLiteral("WWWW"));
    F.Key(Qt::Key_F2);
    F.C.PaintPending();
    const QRect R = F.C.Grid().EditorRect();
    ASSERT_FALSE(R.isEmpty());
    auto Count = [&](auto Test) {
        int N = 0;
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            for (int X = R.left(); X <= R.right(); ++X)
                N += Test(F.C.DrawBitmap().pixel(X, Y));
        return N;
    };
    const int Dark = Count([](QRgb P) { return qGray(P) < 96; });
    EXPECT_GT(Dark, 10) << "the text is drawn";
    const QRgb Highlight = F.C.palette().color(QPalette::Highlight).rgb();
    EXPECT_EQ(Count([&](QRgb P) { return (P & 0xFFFFFF) == (Highlight & 0xFFFFFF); }), 0);
    F.Key(Qt::Key_A, Qt::ControlModifier);
    F.C.PaintPending();
    EXPECT_GT(Count([&](QRgb P) { return (P & 0xFFFFFF) == (Highlight & 0xFFFFFF); }), 20)
        << "the selection is highlighted";
}
