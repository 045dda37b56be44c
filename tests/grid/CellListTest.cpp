#include "FakeGridHost.h"
#include "grid/model/GridTrace.h"
#include "grid/model/Range.h"
#include "grid/model/TextFlags.h"

#include <gtest/gtest.h>

#include <random>

namespace {

void ExpectConsistent(const TCellObjectList& L, const std::string& Case)
{
    QString Fault;
    EXPECT_TRUE(L.CheckConsistency(&Fault)) << Case << ": " << Fault.toStdString();
}

}

TEST(CellList, CellsArePlacedByPosition)
{
    TFakeGridHost G({ 1, 1, 9, 99 });
    std::mt19937 Random(5);
    std::vector<TGridCell> Placed;
    for (int I = 0; I < 300; ++I) {
        const TGridCell C { qint32(1 + Random() % 9), qint32(1 + Random() % 99) };
        TCell* Cell = G.Cells.GetCell(C.Col, C.Row);
        ASSERT_NE(Cell, nullptr);
        EXPECT_EQ(Cell->Coord(), C);
        EXPECT_EQ(Cell->Cell(), qint64(C.Row) * 10 + C.Col);
        EXPECT_EQ(Cell->Name(), QString("%1.%2").arg(C.Col).arg(C.Row));
        Placed.push_back(C);
        if (I % 37 == 0)
            ExpectConsistent(G.Cells, "insert " + std::to_string(I));
    }
    ExpectConsistent(G.Cells, "all");
    for (const TGridCell& C : Placed) {
        TCell* Found = G.Cells.FindCell(C.Col, C.Row);
        ASSERT_NE(Found, nullptr);
        EXPECT_EQ(Found->Coord(), C);
        EXPECT_EQ(G.Cells.GetCell(C.Col, C.Row), Found);
    }
    EXPECT_EQ(G.Cells.FindCell(0, 5), nullptr);
    ExpectConsistent(G.Cols, "cols");
    ExpectConsistent(G.Rows, "rows");
}

TEST(CellList, RefusesPositionsOutsideDataArea)
{
    TFakeGridHost G({ 1, 1, 4, 4 });
    for (TGridCell C : { TGridCell { 0, 1 }, TGridCell { 1, 0 }, TGridCell { 5, 1 },
             TGridCell { 1, 5 }, TGridCell { -1, -1 } }) {
        EXPECT_EQ(G.Cells.Add(C.Col, C.Row), nullptr) << C.Col << "," << C.Row;
        EXPECT_EQ(G.Cells.GetCell(C.Col, C.Row), nullptr);
    }
    EXPECT_EQ(G.Cells.Count(), 0);
    THead* FixedCol = G.Cols.GetHead(0);
    THead* Col = G.Cols.GetHead(2);
    THead* Row = G.Rows.GetHead(2);
    EXPECT_EQ(G.Cells.Add(FixedCol, Row), nullptr);
    EXPECT_EQ(G.Cells.Add(Row, Col), nullptr);
    EXPECT_EQ(G.Cells.Add(nullptr, Row), nullptr);
    TFakeGridHost Other({ 1, 1, 4, 4 });
    EXPECT_EQ(G.Cells.Add(Other.Cols.GetHead(2), Row), nullptr);
    TCell* C = G.Cells.Add(Col, Row);
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(G.Cells.Add(Col, Row), C);
    EXPECT_EQ(C->ColHead(), Col);
    EXPECT_EQ(G.Cells.Count(), 1);
}

TEST(CellList, NewCellTakesCurrentFormat)
{
    TFakeGridHost G;
    THead* Row = G.Rows.GetHead(3);
    Row->SetBackColor(0x123456);
    Row->SetAlignment(FlagsToAlignment(0x1));
    TCell* C = G.Cells.GetCell(2, 3);
    EXPECT_EQ(C->BackColor(), 0x123456u);
    EXPECT_EQ(C->TextFlags(), 0x5u);
    EXPECT_EQ(C->Content(), QString());
}

TEST(CellList, EffectiveFormatFollowsLatestStamp)
{
    // Each step sets the colour on one source; the expected colour is the
    // one the merge then shows for cell (2, 2).
    struct {
        const char* Name;
        std::vector<std::pair<char, TColor>> Steps; // 'c' column head, 'r' row head, 'x' cell
        TColor Expected;
    } Cases[] = {
        { "row head set after cell", { { 'x', 1 }, { 'r', 2 } }, 2 },
        { "cell set after row head", { { 'r', 2 }, { 'x', 1 } }, 1 },
        { "column head last", { { 'r', 2 }, { 'x', 1 }, { 'c', 3 } }, 3 },
        { "row then column head", { { 'c', 3 }, { 'r', 2 } }, 2 },
    };
    for (const auto& C : Cases) {
        TFakeGridHost G;
        TCell* Cell = G.Cells.GetCell(2, 2);
        for (auto [Who, Color] : C.Steps) {
            if (Who == 'c')
                Cell->ColHead()->SetBackColor(Color);
            else if (Who == 'r')
                Cell->RowHead()->SetBackColor(Color);
            else
                Cell->SetBackColor(Color);
        }
        TDrawCellInfo Info;
        G.GetCellFormat(2, 2, Info);
        EXPECT_EQ(Info.BackColor, C.Expected) << C.Name;
        EXPECT_EQ(Info.CellColor, C.Expected) << C.Name;
        EXPECT_EQ(Info.Cell, Cell) << C.Name;
    }
}

TEST(CellList, AHeadMadeForACellDoesNotOutrankFormatsSetBefore)
{
    // Column 2 is coloured while row 5 has no head; a cell elsewhere in row 5 then makes
    // that head with its defaults, which are no change of the user's.
    TFakeGridHost G;
    G.Cells.GetCell(2, 2)->ColHead()->SetBackColor(3);
    G.Cells.GetCell(4, 5);
    TDrawCellInfo Info;
    G.GetCellFormat(2, 5, Info);
    EXPECT_EQ(Info.BackColor, 3u);
    EXPECT_EQ(G.Cells.GetCell(2, 5)->BackColor(), 3u) << "a new cell takes the column's colour";
}

TEST(CellList, EffectiveFormatTiesAndDefaults)
{
    TFakeGridHost G;
    G.Loading = true; // no stamps while loading: every source ties
    TCell* Cell = G.Cells.GetCell(2, 2);
    Cell->SetBackColor(1);
    Cell->RowHead()->SetBackColor(2);
    Cell->ColHead()->SetBackColor(3);
    TFormatDefaults D;
    D.FixedCellColor = 0xABCDEF;
    D.EditCellColor = 0x444444;
    TDrawCellInfo Info;
    MergeCellFormat(D, 2, 2, {}, Cell->ColHead(), Cell->RowHead(), Cell, Info);
    EXPECT_EQ(Info.BackColor, 1u) << "ties favour the cell";
    MergeCellFormat(D, 2, 2, {}, Cell->ColHead(), Cell->RowHead(), nullptr, Info);
    EXPECT_EQ(Info.BackColor, 3u) << "without a cell, ties favour the column head";
    MergeCellFormat(D, 2, 2, {}, nullptr, nullptr, nullptr, Info);
    EXPECT_EQ(Info.BackColor, 0x444444u);
    EXPECT_EQ(Info.Flags, 0x820u);
    MergeCellFormat(D, 0, 0, { csFixed }, Cell->ColHead(), Cell->RowHead(), nullptr, Info);
    EXPECT_EQ(Info.BackColor, 0xABCDEFu);
    EXPECT_EQ(Info.Flags, 0x800u);
    MergeCellFormat(D, 0, 3, { csFixed }, nullptr, nullptr, nullptr, Info);
    EXPECT_EQ(Info.Flags, 0x29u);
    MergeCellFormat(D, 2, 2, { csEditor, csReadOnly }, nullptr, nullptr, nullptr, Info);
    EXPECT_EQ(Info.BackColor, 0xABCDEFu);
    EXPECT_EQ(Info.CellColor, 0x444444u);
}

TEST(CellList, ChangedOrdersRaiseGridCounters)
{
    TFakeGridHost G;
    G.Loading = true;
    TCell* Cell = G.Cells.GetCell(2, 2);
    Cell->LoadChangedOrders({ 5, 0, 9, 1 });
    G.Loading = false;
    EXPECT_EQ(G.Orders, (std::array<qint32, 4> { 5, 0, 9, 1 }));
    Cell->RowHead()->SetBackColor(7);
    EXPECT_EQ(Cell->RowHead()->ChangedOrders()[coColor], 10);
}

TEST(CellList, SelectedCellsByNumberFollowRegion)
{
    TFakeGridHost G;
    TCell* A = G.Cells.GetCell(2, 2);
    TCell* B = G.Cells.GetCell(3, 2);
    TRange R(&G);
    TRegion* Region = R.Add({ 2, 2, 3, 3 });
    EXPECT_EQ(Region->Cells(0), A);
    EXPECT_EQ(Region->Cells(1), B);
    EXPECT_EQ(Region->Cells(2), nullptr);
    EXPECT_EQ(Region->Cells(4), nullptr);
    EXPECT_EQ(Region->Count(), 4);
    EXPECT_EQ(R.Items(0)->Color(), RGBColor(0x80, 0, 0));
}

TEST(CellList, EditTextChain)
{
    TFakeGridHost G;
    TCell* Cell = G.Cells.GetCell(2, 2);
    Cell->SetContent("abc");
    EXPECT_TRUE(Cell->Loaded());
    QString Value;
    EXPECT_TRUE(Cell->GetEditText(2, 2, {}, nullptr, nullptr, Value));
    EXPECT_EQ(Value, QString("abc"));
    Cell->OnGetEditText = [](TPersistent*, qint32, qint32, TCellStates, THead*, THead*,
                              QString& V, bool& Handled) {
        V = "x";
        Handled = true;
        throw std::runtime_error("boom");
    };
    QString Traced;
    SetGridTraceSink([&](const QString& Text, int) { Traced = Text; });
    Value.clear();
    EXPECT_TRUE(Cell->GetEditText(2, 2, {}, nullptr, nullptr, Value));
    SetGridTraceSink({});
    EXPECT_EQ(Traced, QString("TCell.GetEditText: boom"));
    EXPECT_EQ(Value, QString("x"));
    EXPECT_TRUE(Cell->SetEditText(2, 2, {}, nullptr, nullptr, "new"));
    EXPECT_EQ(Cell->Content(), QString("new"));
}

TEST(CellList, SearchKeysFollowCellsAcrossBlocks)
{
    // Enough cells for many storage blocks. Moving a cell changes its region
    // first and its number afterwards; deleting empties blocks; moving rows
    // re-sorts the list. Every cell must stay findable by its position.
    TFakeGridHost G({ 1, 1, 40, 9999 });
    std::mt19937 Random(13);
    auto RandomCell = [&] {
        return TGridCell { qint32(1 + Random() % 40), qint32(1 + Random() % 9999) };
    };
    auto Check = [&](const std::string& Step) {
        ExpectConsistent(G.Cells, Step);
        for (int I = 0; I < G.Cells.Count(); ++I) {
            TCell* C = G.Cells.Items(I);
            ASSERT_EQ(G.Cells.FindCell(C->FirstCol(), C->FirstRow()), C) << Step;
        }
    };
    for (int I = 0; I < 3000; ++I)
        G.Cells.GetCell(RandomCell().Col, RandomCell().Row);
    Check("created");
    for (int Round = 0; Round < 40; ++Round) {
        TCell* Moved = G.Cells.Items(int(Random() % uint32_t(G.Cells.Count())));
        TGridCell To = RandomCell();
        while (G.Cells.FindCell(To.Col, To.Row))
            To = RandomCell();
        Moved->SetCoord(To);
        EXPECT_EQ(Moved->Cell(), qint64(To.Row) * 41 + To.Col);
        Check("moved " + std::to_string(Round));
    }
    for (int I = 0; I < 600; ++I)
        G.Cells.Delete(1000);
    Check("deleted");
    G.Rows.MoveHeads(10, 5000, 7);
    Check("rows moved");
}

TEST(CellList, NewCellWhenNumbersNoLongerFollowPositions)
{
    // A narrower grid leaves the old cells with the numbers of the wider one.
    TFakeGridHost G({ 1, 1, 9, 99 });
    TCell* Old = G.Cells.GetCell(7, 1); // 17
    G.Cells.GetCell(1, 2); // 21
    G.fArea = { 1, 1, 4, 99 };
    // Five columns give (2, 3) the number 17, which is taken: the new cell
    // stays unnumbered and gets no heads.
    TCell* Taken = G.Cells.GetCell(2, 3);
    EXPECT_EQ(Taken->Cell(), -1);
    EXPECT_EQ(Taken->RowHead(), nullptr);
    EXPECT_EQ(Old->Cell(), 17);
    // (4, 3) comes after both old cells by position but gets 19, so it goes
    // between them by number.
    TCell* Free = G.Cells.GetCell(4, 3);
    EXPECT_EQ(Free->Cell(), 19);
    EXPECT_EQ(Free->Index(), 2);
    QString Fault;
    EXPECT_TRUE(G.Cells.TCellObjectList::CheckConsistency(&Fault)) << Fault.toStdString();
}
