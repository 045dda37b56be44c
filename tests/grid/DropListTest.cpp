#include "grid/DropList.h"
#include "TestGridWindow.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "text/WideStringsCollection.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// A grid whose column 2 offers the list; cell (2, 3) is the one opened.
struct TDropFixture {
    TTestGridWindow W;
    TGridObject G { &W };
    TCustomDropList L;
    const TGridCell At { 2, 3 };
    TDropFixture(std::initializer_list<const char*> Items = {})
    {
        G.SetColCount(6);
        G.SetRowCount(10);
        for (const char* Item : Items)
            L.List().Add(QString::fromUtf8(Item));
        G.Cols().GetHead(At.Col)->SetDropList(&L);
        G.FocusCell(At.Col, At.Row, false, true);
    }
    QString Text() { return G.GetCellText(At.Col, At.Row, TCellStates()); }
    int UndoCount() const { return G.UndoList()->Count(); }
    qint32 Checked()
    {
        return L.GetChecked(
            &G, At.Col, At.Row, TCellStates(), nullptr, nullptr, nullptr, QString());
    }
    void Check(const std::string& Why)
    {
        QString Fault;
        EXPECT_TRUE(G.CheckConsistency(&Fault)) << Why << ": " << Fault.toStdString();
        EXPECT_FALSE(G.DropListOpen()) << Why << ": a cycling list closes at once";
    }
};

}

TEST(WideStringsCollection, IndexOfIgnoresLetterCase)
{
    TWideStringsCollection C;
    C.Add(QStringLiteral("abc"));
    C.Add(QStringLiteral("Да"));
    C.Add(QStringLiteral("first\r\nsecond"));
    C.Add(QStringLiteral("abc"));
    const struct {
        QString Value;
        int Index;
    } Cases[] = {
        { QStringLiteral("ABC"), 0 },
        { QStringLiteral("да"), 1 },
        { QStringLiteral("ДА"), 1 },
        { QStringLiteral("FIRST\r\nSecond"), 2 },
        { QStringLiteral("first"), -1 },
        { QString(), -1 },
        { QStringLiteral("abcd"), -1 },
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(C.IndexOf(Case.Value), Case.Index) << Case.Value.toStdString();
    EXPECT_EQ(TWideStringsCollection().IndexOf(QString()), -1);
}

TEST(WideStringsCollection, ReportsEveryChangeAndCopiesItems)
{
    TWideStringsCollection C;
    int Updates = 0;
    C.OnUpdate = [&](TWideStringsCollection& Sender) {
        EXPECT_EQ(&Sender, &C);
        ++Updates;
    };
    TWideStringsCollectionItem& Item = C.Add();
    EXPECT_EQ(Updates, 1);
    EXPECT_EQ(Item.DisplayName(), QStringLiteral("TWideStringsCollectionItem"));
    Item.SetWideText(QStringLiteral("one\r\ntwo"));
    Item.SetData(7);
    EXPECT_EQ(Updates, 3);
    EXPECT_EQ(Item.DisplayName(), QStringLiteral("one"));
    C.Delete(5);
    EXPECT_EQ(Updates, 3) << "an index outside the list changes nothing";

    TWideStringsCollection Source;
    Source.Add(QStringLiteral("a"), 1);
    Source.Add(QStringLiteral("b"), 2);
    C.Assign(Source);
    EXPECT_EQ(Updates, 4) << "a copy is announced once";
    ASSERT_EQ(C.Count(), 2);
    EXPECT_EQ(C.Items(1).WideText(), QStringLiteral("b"));
    EXPECT_EQ(C.Items(1).Data(), 2);

    TWideStringsCollectionItem Copy;
    Copy.Assign(Source.Items(0));
    EXPECT_EQ(Copy.WideText(), QStringLiteral("a"));
    EXPECT_EQ(Copy.Data(), 1);
    TWideText Lines;
    Lines.Assign(C.Items(0));
    EXPECT_EQ(Lines.GetWideText(), QStringLiteral("a"));
}

TEST(DropList, OpeningCyclesAndWritesTheNextItem)
{
    const struct {
        const char* Name;
        TButtonViewStyle Style;
        std::initializer_list<const char*> Items;
        const char* Start;
        qint32 DataField;
        std::vector<const char*> Written;
    } Cases[] = {
        { "check box from a text matching neither", bvsCheck, { "off", "on" }, "?", -1,
            { "on", "off", "on" } },
        { "three items from the second", bvsList, { "a", "b", "c" }, "b", -1, { "c", "a", "b" } },
        { "letter case of the cell ignored", bvsList, { "Да", "Нет" }, "да", -1, { "Нет", "Да" } },
        { "the index is written and read back", bvsList, { "a", "b", "c" }, "", 0,
            { "0", "1", "2", "0" } },
        { "a check box writing its index toggles", bvsCheck, { "off", "on" }, "", 0,
            { "1", "0", "1" } },
        { "one check item wraps onto itself", bvsCheck, { "off" }, "", -1, { "off", "off" } },
    };
    for (const auto& Case : Cases) {
        TDropFixture F(Case.Items);
        F.L.ButtonViewStyle = Case.Style;
        F.L.DataField = Case.DataField;
        F.G.SetCellValue(F.At.Col, F.At.Row, QString::fromUtf8(Case.Start));
        for (size_t Step = 0; Step < Case.Written.size(); ++Step) {
            const std::string Why = std::string(Case.Name) + ", step " + std::to_string(Step);
            F.G.DropDown(F.At);
            EXPECT_EQ(F.Text(), QString::fromUtf8(Case.Written[Step])) << Why;
            EXPECT_EQ(F.L.Data(), 0) << Why << ": items carry Data 0";
            F.Check(Why);
        }
    }
}

TEST(DropList, CheckMarkFollowsTheSecondItem)
{
    TDropFixture F({ "off", "on" });
    F.L.ButtonViewStyle = bvsCheck;
    EXPECT_EQ(
        F.L.GetChecked(nullptr, 2, 3, TCellStates(), nullptr, nullptr, nullptr, QString()), -1)
        << "without a grid";
    EXPECT_EQ(F.Checked(), -1);
    F.G.DropDown(F.At);
    EXPECT_GT(F.Checked(), 0);
    F.G.DropDown(F.At);
    EXPECT_EQ(F.Checked(), 0);
    F.L.OnGetButtonState = [](TGridObject*, qint32, qint32, TCellStates, THead*, THead*, TCell*,
                               const QString&) { return 1; };
    EXPECT_EQ(F.Checked(), 1) << "the application's answer wins";
    EXPECT_EQ(F.L.ItemIndex(), 1);
}

TEST(DropList, DataFieldMinusTwoNeverWritesTheCell)
{
    TDropFixture F({ "a", "b" });
    F.L.List().Items(0).SetData(10);
    F.L.List().Items(1).SetData(20);
    F.L.DataField = -2;
    F.G.SetCellValue(F.At.Col, F.At.Row, QStringLiteral("keep"));
    F.G.DropDown(F.At);
    EXPECT_EQ(F.L.ItemIndex(), 0);
    EXPECT_EQ(F.L.Data(), 10);
    EXPECT_EQ(F.Text(), QStringLiteral("keep"));
    // Such a list leaves the writing to the application, whose text then
    // says where the next opening starts.
    F.G.SetCellValue(F.At.Col, F.At.Row, QStringLiteral("A"));
    const int Undos = F.UndoCount();
    F.G.DropDown(F.At);
    EXPECT_EQ(F.L.ItemIndex(), 1);
    EXPECT_EQ(F.L.Data(), 20);
    EXPECT_EQ(F.Text(), QStringLiteral("A"));
    // A viewer that accepts does not write either.
    F.L.ViewportStyle = vsEllipsis;
    F.L.OnDropDown = [](TCustomDropList& L) { L.SetCellText(QStringLiteral("dialog")); };
    F.G.DropDown(F.At);
    EXPECT_EQ(F.Text(), QStringLiteral("A"));
    EXPECT_EQ(F.UndoCount(), Undos);
}

TEST(DropList, ChosenValueByDataFieldAndIndex)
{
    TDropFixture F({ "a", "b" });
    F.L.Initialize(&F.G, 2, 3, TCellStates(), nullptr, nullptr, nullptr, QStringLiteral("typed"));
    const struct {
        qint32 DataField;
        TViewportStyle Viewport;
        qint32 ItemIndex;
        std::optional<QString> Value;
    } Cases[] = {
        { -1, vsNone, 1, QStringLiteral("b") },
        { -1, vsNone, -1, QStringLiteral("typed") },
        { -1, vsNone, 7, QStringLiteral("typed") },
        { -1, vsEllipsis, 1, QStringLiteral("typed") },
        { 0, vsNone, 1, QStringLiteral("1") },
        { 3, vsList, 1, QString() },
        { -2, vsList, 1, std::nullopt },
    };
    for (const auto& Case : Cases) {
        F.L.DataField = Case.DataField;
        F.L.ViewportStyle = Case.Viewport;
        F.L.SetItemIndex(Case.ItemIndex);
        EXPECT_EQ(F.L.ChosenValue(), Case.Value)
            << "DataField " << Case.DataField << ", index " << Case.ItemIndex;
    }
    F.L.SetItemIndex(7);
    EXPECT_EQ(F.L.Data(), DropListNoData);
    EXPECT_EQ(DropListNoData, -2147483647);
}

TEST(DropList, HandledGetListReplacesTheDesignedItems)
{
    TDropFixture F({ "designed" });
    int Calls = 0;
    F.L.OnGetList = [&](TCustomDropList& Sender, qint32 ACol, qint32 ARow, TCellStates, THead*,
                        THead*, TWideStringsCollection& AList, bool& Handled) {
        EXPECT_EQ(&Sender, &F.L);
        EXPECT_EQ(ACol, 2);
        EXPECT_EQ(ARow, 3);
        ++Calls;
        AList.Add(QStringLiteral("x"));
        AList.Add(QStringLiteral("y"));
        Handled = true;
    };
    F.G.DropDown(F.At);
    F.G.DropDown(F.At);
    EXPECT_EQ(Calls, 2);
    EXPECT_EQ(F.Text(), QStringLiteral("y"));
    EXPECT_EQ(F.L.WorkList().Count(), 2) << "each opening fills the list afresh";
    EXPECT_EQ(F.L.List().Count(), 1);

    F.L.OnGetList = [](TCustomDropList&, qint32, qint32, TCellStates, THead*, THead*,
                        TWideStringsCollection& AList, bool&) { AList.Add(QStringLiteral("x")); };
    F.G.DropDown(F.At);
    EXPECT_EQ(F.Text(), QStringLiteral("designed")) << "not handled: the designed items";

    F.L.OnGetList = [](TCustomDropList&, qint32, qint32, TCellStates, THead*, THead*,
                        TWideStringsCollection&, bool&) { throw std::runtime_error("broken"); };
    F.G.DropDown(F.At);
    EXPECT_EQ(F.Text(), QStringLiteral("designed")) << "a failing handler counts as not handled";
}

TEST(DropList, EllipsisWritesOnlyWhatTheDialogLeft)
{
    TDropFixture F;
    F.L.ButtonViewStyle = bvsEllipsis;
    F.L.ViewportStyle = vsEllipsis;
    F.G.SetCellValue(F.At.Col, F.At.Row, QStringLiteral("old"));
    QString Answer;
    int Closed = 0;
    F.L.OnDropDown = [&](TCustomDropList& L) {
        EXPECT_EQ(L.CellText(), QStringLiteral("old"));
        EXPECT_TRUE(F.G.DropListOpen());
        L.SetCellText(Answer);
    };
    F.L.OnCloseUp = [&](TCustomDropList&) { ++Closed; };
    const int Undos = F.UndoCount();
    F.G.DropDown(F.At);
    EXPECT_EQ(F.Text(), QStringLiteral("old"));
    EXPECT_EQ(F.UndoCount(), Undos);
    Answer = QStringLiteral("new");
    F.G.DropDown(F.At);
    EXPECT_EQ(F.Text(), QStringLiteral("new"));
    EXPECT_EQ(Closed, 2);
    EXPECT_FALSE(F.G.DropListOpen());
}

TEST(DropList, AChoiceIsOneUndoStep)
{
    TDropFixture F({ "a", "b" });
    F.G.SetCellValue(F.At.Col, F.At.Row, QStringLiteral("a"));
    const int Undos = F.UndoCount();
    F.G.DropDown(F.At);
    ASSERT_EQ(F.Text(), QStringLiteral("b"));
    EXPECT_EQ(F.UndoCount(), Undos + 1);
    F.G.UndoList()->Undo();
    EXPECT_EQ(F.Text(), QStringLiteral("a"));

    F.G.Cols().GetHead(F.At.Col)->SetReadOnly(true);
    F.G.DropDown(F.At);
    EXPECT_EQ(F.Text(), QStringLiteral("a")) << "a read-only column takes no choice";
    EXPECT_EQ(F.UndoCount(), Undos);
}

TEST(DropList, ChoiceGoesIntoTheOpenEditor)
{
    TDropFixture F({ "a", "b" });
    F.L.OpenEditor = true;
    F.G.SetCellValue(F.At.Col, F.At.Row, QStringLiteral("a"));
    F.G.DropDown(F.At);
    ASSERT_TRUE(F.G.EditorMode()) << "the list opened the editor";
    EXPECT_EQ(F.G.EditorText().GetWideText(), QStringLiteral("b"));
    EXPECT_EQ(F.Text(), QStringLiteral("a")) << "the cell waits for the editor to close";
    EXPECT_FALSE(F.G.DropListOpen());

    // While editing, the list starts from the editor's text.
    F.G.EditorText().SetWideText(QStringLiteral("B"));
    F.G.DropDown(F.At);
    EXPECT_EQ(F.G.EditorText().GetWideText(), QStringLiteral("a"));

    F.L.CloseEditor = true;
    F.G.DropDown(F.At);
    EXPECT_FALSE(F.G.EditorMode()) << "closing the list closed the editor";
}

TEST(DropList, OpenListKeepsTheSelectionShownUntilItCloses)
{
    TDropFixture F({ "a", "b" });
    F.L.ViewportStyle = vsList;
    int Shown = 0;
    F.L.OnDropDown = [&](TCustomDropList&) { ++Shown; };
    F.G.SetHideSelection(true);
    F.G.DropDown({ 3, 3 });
    EXPECT_FALSE(F.G.DropListOpen()) << "a cell without a list opens nothing";
    F.G.DropDown(F.At);
    EXPECT_EQ(Shown, 1);
    ASSERT_TRUE(F.G.DropListOpen());
    EXPECT_EQ(F.G.OpenCell(), F.At);
    EXPECT_EQ(F.G.DropList(), &F.L);
    EXPECT_FALSE(F.G.HideSelection());
    F.G.DropDown(F.At);
    EXPECT_FALSE(F.G.DropListOpen()) << "opening again closes";
    EXPECT_TRUE(F.G.HideSelection());
    EXPECT_EQ(F.G.OpenCell(), (TGridCell { -1, -1 }));

    // The application's viewer takes a choice later.
    F.G.DropDown(F.At);
    F.L.SetItemIndex(1);
    F.L.CloseUp(true);
    EXPECT_EQ(F.Text(), QStringLiteral("b"));
    EXPECT_FALSE(F.G.DropListOpen());
}

TEST(DropList, ListWithoutAnyViewerDoesNotStayOpen)
{
    TDropFixture F({ "a" });
    F.L.ViewportStyle = vsList;
    F.G.DropDown(F.At);
    EXPECT_FALSE(F.G.DropListOpen());
    EXPECT_EQ(F.Text(), QString());
}

TEST(DropList, ListButtonCaptionDoesNotOpen)
{
    TDropFixture F({ "a" });
    F.L.ButtonViewStyle = bvsListButton;
    F.L.SetCaptionBorder(true);
    F.L.ViewportStyle = vsList;
    F.L.OnDropDown = [](TCustomDropList&) {};
    const QRect Button = [&] {
        TDrawCellInfo Info;
        F.G.GetCellInfo(F.At.Col, F.At.Row, TCellStates(), Info);
        return F.G.GetButtonRect(Info, F.G.GetTextRect(F.At.Col, F.At.Row));
    }();
    ASSERT_FALSE(Button.isEmpty());
    const QPoint Caption(Button.left() + 2, Button.center().y());
    const QPoint Arrow(Button.right() - 3, Button.center().y());
    F.G.DropDown(F.At, &Caption);
    EXPECT_FALSE(F.G.DropListOpen()) << "the caption of the current cell";
    F.G.DropDown(F.At, &Arrow);
    EXPECT_TRUE(F.G.DropListOpen()) << "the arrow strip";
    F.G.CloseUp();
    F.G.DropDown(F.At);
    EXPECT_TRUE(F.G.DropListOpen()) << "a key opens whatever the pointer";
}

TEST(DropList, AFailingHandlerLeavesNoListOpen)
{
    TDropFixture F({ "a" });
    F.L.ViewportStyle = vsList;
    F.L.OnDropDown = [](TCustomDropList&) { throw std::runtime_error("broken"); };
    EXPECT_THROW(F.G.DropDown(F.At), std::runtime_error);
    EXPECT_FALSE(F.G.DropListOpen());
}

TEST(DropList, ListAndGridMayGoAwayInEitherOrder)
{
    TTestGridWindow W;
    auto G = std::make_unique<TGridObject>(&W);
    auto L = std::make_unique<TCustomDropList>();
    L->ViewportStyle = vsList;
    L->OnDropDown = [](TCustomDropList&) {};
    G->Cols().GetHead(1)->SetDropList(L.get());
    G->DropDown({ 1, 1 });
    ASSERT_TRUE(G->DropListOpen());
    EXPECT_EQ(L->GridObject(), G.get());
    G.reset();
    EXPECT_EQ(L->GridObject(), nullptr);
    L->SetButtonFlat(true);
    L->CloseUp(true);

    G = std::make_unique<TGridObject>(&W);
    G->Cols().GetHead(1)->SetDropList(L.get());
    G->DropDown({ 1, 1 });
    ASSERT_TRUE(G->DropListOpen());
    G->Cols().GetHead(1)->SetDropList(nullptr);
    L.reset();
    EXPECT_FALSE(G->DropListOpen());
    EXPECT_EQ(G->DropList(), nullptr);
}

TEST(DropList, AttachedViewerShowsAndAListOpensInOneGridAtATime)
{
    struct TViewer : IDropListViewer {
        int Shown = 0;
        int Hidden = 0;
        void ShowList(TCustomDropList&) override { ++Shown; }
        void HideList(TCustomDropList&) override { ++Hidden; }
    };
    TDropFixture F({ "a", "b" });
    TTestGridWindow W2;
    TGridObject G2 { &W2 };
    G2.Cols().GetHead(1)->SetDropList(&F.L);
    F.L.ViewportStyle = vsList;
    {
        TViewer V;
        F.L.SetViewer(&V);
        F.G.DropDown(F.At);
        EXPECT_EQ(V.Shown, 1);
        ASSERT_TRUE(F.G.DropListOpen());
        G2.DropDown({ 1, 1 });
        EXPECT_FALSE(F.G.DropListOpen()) << "the first grid let the list go";
        EXPECT_TRUE(G2.DropListOpen());
        EXPECT_EQ(V.Hidden, 1);
        EXPECT_EQ(F.L.GridObject(), &G2);
    }
    EXPECT_EQ(F.L.Viewer(), nullptr) << "a viewer going away detaches itself";
    G2.CloseUp();
    EXPECT_FALSE(G2.DropListOpen());
}
