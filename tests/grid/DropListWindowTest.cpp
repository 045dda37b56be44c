#include "grid/control/DropListWindow.h"
#include "TestApplication.h"
#include "grid/DropList.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "grid/control/GridControl.h"

#include <QTest>

#include <stdexcept>

#include <gtest/gtest.h>

namespace {

// A shown grid control whose column 2 offers a list of three items.
struct TPopupFixture {
    struct TApp {
        TApp() { TestApplication(); }
    } App;
    TGridControl Control;
    TGridObject& G = Control.Grid();
    TCustomDropList L;
    const TGridCell At { 2, 3 };
    TPopupFixture()
    {
        Control.resize(500, 300);
        G.SetColCount(6);
        G.SetRowCount(20);
        L.ButtonViewStyle = bvsList;
        L.ViewportStyle = vsList;
        for (const char* Item : { "Кровь", "Моча", "Желудок" })
            L.List().Add(QString::fromUtf8(Item));
        G.Cols().GetHead(At.Col)->SetDropList(&L);
        G.FocusCell(At.Col, At.Row, false, true);
        Control.show();
    }
    QString Text() { return G.GetCellText(At.Col, At.Row, TCellStates()); }
    TDropListWindow* Popup() { return Control.findChild<TDropListWindow*>(); }
    void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

}

TEST(DropListWindow, ShowsTheItemsUnderTheCellAndTakesTheChoice)
{
    TPopupFixture F;
    F.G.SetCellValue(F.At.Col, F.At.Row, QStringLiteral("моча"));
    const int Undos = F.G.UndoList()->Count();
    F.G.DropDown(F.At);
    TDropListWindow* P = F.Popup();
    ASSERT_NE(P, nullptr);
    ASSERT_TRUE(P->isVisible());
    EXPECT_TRUE(F.G.DropListOpen());
    EXPECT_EQ(P->count(), 3);
    EXPECT_EQ(P->currentRow(), 1) << "the cell's item, letter case ignored";
    const QRect TextRect = F.G.GetTextRect(F.At.Col, F.At.Row);
    EXPECT_EQ(P->geometry().topLeft(),
        F.Control.mapToGlobal(QPoint(TextRect.left(), TextRect.bottom() + 1)));
    EXPECT_GE(P->width(), TextRect.width());

    QTest::keyClick(P, Qt::Key_Down);
    QTest::keyClick(P, Qt::Key_Return);
    F.Settle();
    EXPECT_EQ(F.Text(), QStringLiteral("Желудок"));
    EXPECT_EQ(F.G.UndoList()->Count(), Undos + 1);
    EXPECT_FALSE(F.G.DropListOpen());
    EXPECT_EQ(F.Popup(), nullptr) << "the window goes with its opening";
}

TEST(DropListWindow, EscapeClickAndClosingFromTheGrid)
{
    const struct {
        const char* Name;
        std::function<void(TPopupFixture&, TDropListWindow&)> Act;
        const char* Written;
    } Cases[] = {
        { "Escape cancels",
            [](TPopupFixture&, TDropListWindow& P) {
                QTest::keyClick(&P, Qt::Key_Down);
                QTest::keyClick(&P, Qt::Key_Escape);
            },
            "" },
        { "a click chooses",
            [](TPopupFixture&, TDropListWindow& P) {
                const QRect Item = P.visualItemRect(P.item(2));
                QTest::mouseClick(P.viewport(), Qt::LeftButton, {}, Item.center());
            },
            "Желудок" },
        { "the grid closes the list",
            [](TPopupFixture& F, TDropListWindow&) { F.G.DropDown(F.At); }, "" },
        { "hiding cancels", [](TPopupFixture&, TDropListWindow& P) { P.hide(); }, "" },
    };
    for (const auto& Case : Cases) {
        TPopupFixture F;
        F.G.SetHideSelection(true);
        F.G.DropDown(F.At);
        TDropListWindow* P = F.Popup();
        ASSERT_NE(P, nullptr) << Case.Name;
        Case.Act(F, *P);
        F.Settle();
        EXPECT_EQ(F.Text(), QString::fromUtf8(Case.Written)) << Case.Name;
        EXPECT_FALSE(F.G.DropListOpen()) << Case.Name;
        EXPECT_TRUE(F.G.HideSelection()) << Case.Name;
        EXPECT_EQ(F.Popup(), nullptr) << Case.Name;
    }
}

TEST(DropListWindow, CheckBoxShowsItsMarkForTheSecondItem)
{
    TPopupFixture F;
    F.L.ButtonViewStyle = bvsCheck;
    F.L.ViewportStyle = vsNone;
    F.L.ButtonAlwaysVisible = true;
    F.L.List().Clear();
    F.L.List().Add(QStringLiteral("нет"));
    F.L.List().Add(QStringLiteral("да"));
    auto MarkPixels = [&] {
        F.G.InvalidateGrid();
        F.Control.PaintPending();
        TDrawCellInfo Info;
        F.G.GetCellInfo(F.At.Col, F.At.Row, F.G.CellState(F.At.Col, F.At.Row), Info);
        const QRect Button = F.G.GetButtonRect(Info, F.G.GetTextRect(F.At.Col, F.At.Row));
        const QImage& I = F.Control.DrawBitmap();
        int Black = 0;
        // Inside the box, away from its outline.
        for (int Y = Button.top() + 4; Y <= Button.bottom() - 4; ++Y)
            for (int X = Button.left() + 4; X <= Button.right() - 4; ++X)
                Black += I.pixelColor(X, Y) == QColor(Qt::black);
        return Black;
    };
    EXPECT_EQ(MarkPixels(), 0);
    F.G.DropDown(F.At);
    ASSERT_EQ(F.Text(), QStringLiteral("да"));
    EXPECT_GT(MarkPixels(), 3);
    F.G.DropDown(F.At);
    ASSERT_EQ(F.Text(), QStringLiteral("нет"));
    EXPECT_EQ(MarkPixels(), 0);
}

TEST(DropListWindow, WithoutTheInternalViewNothingShowsAndNothingStaysOpen)
{
    TPopupFixture F;
    F.L.InternalView = false;
    F.G.DropDown(F.At);
    EXPECT_EQ(F.Popup(), nullptr);
    EXPECT_FALSE(F.G.DropListOpen());
}

TEST(DropListWindow, AFailingHandlerStaysInsideTheWindow)
{
    TPopupFixture F;
    F.L.OnClick = [](TCustomDropList&) { throw std::runtime_error("broken"); };
    F.G.DropDown(F.At);
    TDropListWindow* P = F.Popup();
    ASSERT_NE(P, nullptr);
    QTest::keyClick(P, Qt::Key_Return);
    F.Settle();
    EXPECT_FALSE(F.G.DropListOpen());
    EXPECT_EQ(F.Popup(), nullptr);
}
