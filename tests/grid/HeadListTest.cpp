#include "FakeGridHost.h"
#include "grid/model/GridError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

// Heads with the given numbers; each head's Tag remembers its first number.
void Fill(THeadList& L, std::initializer_list<qint64> Numbers)
{
    for (qint64 N : Numbers) {
        THead* H = L.Add();
        H->SetTag(qint32(N));
        H->SetCell(N);
    }
}

std::vector<qint64> Numbers(const THeadList& L)
{
    std::vector<qint64> R;
    for (int I = 0; I < L.Count(); ++I)
        R.push_back(L.Items(I)->Cell());
    return R;
}

qint64 NumberOfTag(const THeadList& L, qint32 Tag)
{
    for (int I = 0; I < L.Count(); ++I)
        if (L.Items(I)->Tag() == Tag)
            return L.Items(I)->Cell();
    return -2;
}

void ExpectConsistent(const TCellObjectList& L, const char* Case)
{
    QString Fault;
    EXPECT_TRUE(L.CheckConsistency(&Fault)) << Case << ": " << Fault.toStdString();
}

}

TEST(HeadList, SettingNumberSortsAndBumpsCollisions)
{
    struct {
        const char* Name;
        std::initializer_list<qint64> Start;
        int Moved; // tag of the head that is renumbered
        qint64 Number;
        std::vector<qint64> Expected; // numbers by tag order of Start
    } Cases[] = {
        { "insert before run", { 1, 3, 4, 6, 8 }, 8, 3, { 1, 4, 5, 6, 3 } },
        { "four heads, bump from the second", { 1, 3, 4, 6 }, 1, 3, { 3, 4, 5, 6 } },
        { "to the end", { 0, 1, 2 }, 0, 9, { 9, 1, 2 } },
        { "no collision", { 0, 5 }, 5, 2, { 0, 2 } },
        { "same number", { 0, 5 }, 5, 5, { 0, 5 } },
    };
    for (const auto& C : Cases) {
        TFakeGridHost G;
        Fill(G.Cols, C.Start);
        ExpectConsistent(G.Cols, C.Name);
        for (int I = 0; I < G.Cols.Count(); ++I)
            if (G.Cols.Items(I)->Tag() == C.Moved) {
                G.Cols.Items(I)->SetCell(C.Number);
                break;
            }
        ExpectConsistent(G.Cols, C.Name);
        std::vector<qint64> Got;
        for (qint64 Tag : C.Start)
            Got.push_back(NumberOfTag(G.Cols, qint32(Tag)));
        EXPECT_EQ(Got, C.Expected) << C.Name;
    }
}

TEST(HeadList, FindGuardsAndSearches)
{
    TFakeGridHost G;
    int Index = 42;
    EXPECT_FALSE(G.Cols.Find(3, Index));
    EXPECT_EQ(Index, 42);
    Fill(G.Cols, { 2, 4, 6 });
    EXPECT_TRUE(G.Cols.Find(4, Index));
    EXPECT_EQ(Index, 1);
    EXPECT_FALSE(G.Cols.Find(5, Index));
    EXPECT_EQ(Index, 2);
    EXPECT_FALSE(G.Cols.Find(9, Index));
    EXPECT_EQ(Index, 3);
    Index = 42;
    EXPECT_FALSE(G.Cols.Find(1, 0, 4, Index));
    EXPECT_FALSE(G.Cols.Find(0, 3, 4, Index));
    EXPECT_FALSE(G.Cols.Find(-1, 2, 4, Index));
    EXPECT_EQ(Index, 42);
    EXPECT_EQ(G.Cols.CompareKey(4, 1), 0);
    EXPECT_EQ(G.Cols.CompareKey(4, 3), -1);
    EXPECT_EQ(G.Cols.CompareItems(0, 2), -1);
    EXPECT_EQ(G.Cols.CompareItems(2, 0), 1);
}

TEST(HeadList, GetHeadCreatesOnce)
{
    TFakeGridHost G;
    G.Cols.SetDefHeadSize(77);
    Fill(G.Cols, { 1, 9 });
    THead* H = G.Cols.GetHead(7);
    ASSERT_NE(H, nullptr);
    EXPECT_EQ(H->Size(), 77);
    EXPECT_EQ(H->BackColor(), G.EditColor);
    EXPECT_EQ(H->Cell(), 7);
    EXPECT_EQ(G.Cols.Count(), 3);
    EXPECT_EQ(G.Cols.GetHead(7), H);
    EXPECT_EQ(G.Cols.Count(), 3);
    EXPECT_EQ(Numbers(G.Cols), (std::vector<qint64> { 1, 7, 9 }));
    ExpectConsistent(G.Cols, "get head");
}

TEST(HeadList, MoveHeadsMovesBlocks)
{
    const std::initializer_list<qint64> Ten = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
    struct {
        const char* Name;
        std::initializer_list<qint64> Start;
        qint32 From, To, Count;
        std::vector<qint64> Expected; // new numbers of the heads, in the order of Start
    } Cases[] = {
        { "forward", Ten, 2, 7, 3, { 0, 1, 5, 6, 7, 2, 3, 4, 8, 9 } },
        { "backward", Ten, 5, 2, 3, { 0, 1, 5, 6, 7, 2, 3, 4, 8, 9 } },
        { "inside block", Ten, 2, 3, 3, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 } },
        { "zero count", Ten, 2, 7, 0, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 } },
        { "single forward", Ten, 0, 9, 1, { 9, 0, 1, 2, 3, 4, 5, 6, 7, 8 } },
        { "single backward", Ten, 9, 0, 1, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 0 } },
        { "empty slots before every head", { 5, 6, 7, 8, 9 }, 1, 3, 1, { 5, 6, 7, 8, 9 } },
        { "empty slots after every head", { 0, 1, 2, 3, 4 }, 9, 6, 2, { 0, 1, 2, 3, 4 } },
        { "empty slots between heads", { 0, 10 }, 2, 5, 2, { 0, 10 } },
        { "empty block forward onto heads", { 5, 6, 7 }, 1, 6, 2, { 3, 4, 7 } },
        { "empty block backward onto heads", { 0, 1, 2 }, 8, 1, 2, { 0, 3, 4 } },
        { "unnumbered head stays in front", { -1, 3, 4 }, 3, 0, 2, { -1, 0, 1 } },
    };
    for (const auto& C : Cases) {
        TFakeGridHost G;
        Fill(G.Cols, C.Start);
        G.Cols.MoveHeads(C.From, C.To, C.Count);
        ExpectConsistent(G.Cols, C.Name);
        std::vector<qint64> Got;
        for (qint64 Tag : C.Start)
            Got.push_back(NumberOfTag(G.Cols, qint32(Tag)));
        EXPECT_EQ(Got, C.Expected) << C.Name;
    }
}

// The move as a list of numbered slots: the block is taken out and put back behind the
// slot To (forwards) or in front of it (backwards); a slot's new number is its new place.
TEST(HeadList, MoveHeadsRenumbersAsTheSlotsMove)
{
    std::mt19937 Random(5);
    for (int Round = 0; Round < 2000; ++Round) {
        const qint32 From = qint32(Random() % 40);
        const qint32 To = qint32(Random() % 40);
        const qint32 N = qint32(Random() % 8);
        std::vector<qint64> Start;
        for (qint64 Number = 0; Number < 48; ++Number)
            if (Random() % 4 == 0)
                Start.push_back(Number);

        std::vector<qint64> Slots(64);
        std::iota(Slots.begin(), Slots.end(), 0);
        const bool Moves = N > 0 && From != To && !(From < To && From + N > To);
        if (Moves) {
            std::vector<qint64> Block(Slots.begin() + From, Slots.begin() + From + N);
            Slots.erase(Slots.begin() + From, Slots.begin() + From + N);
            const qint32 At = From < To ? To - N + 1 : To;
            Slots.insert(Slots.begin() + At, Block.begin(), Block.end());
        }
        std::vector<qint64> Expected;
        for (qint64 Number : Start)
            Expected.push_back(std::find(Slots.begin(), Slots.end(), Number) - Slots.begin());

        TFakeGridHost G;
        for (qint64 Number : Start) {
            THead* H = G.Cols.Add();
            H->SetTag(qint32(Number));
            H->SetCell(Number);
        }
        G.Cols.MoveHeads(From, To, N);
        const std::string Case = "heads " + std::to_string(Start.size()) + ", MoveHeads("
            + std::to_string(From) + ", " + std::to_string(To) + ", " + std::to_string(N) + ")";
        ExpectConsistent(G.Cols, Case.c_str());
        std::vector<qint64> Got;
        for (qint64 Number : Start)
            Got.push_back(NumberOfTag(G.Cols, qint32(Number)));
        ASSERT_EQ(Got, Expected) << Case;
    }
}

TEST(HeadList, MoveHeadsTreatsMissingHeadsAsEmptySlots)
{
    TFakeGridHost G;
    Fill(G.Cols, { 1, 4, 6 });
    // Numbers 1 and 2 move to 4 and 5; 3 and 4 close the gap as 1 and 2.
    G.Cols.MoveHeads(1, 5, 2);
    ExpectConsistent(G.Cols, "sparse");
    EXPECT_EQ(NumberOfTag(G.Cols, 1), 4);
    EXPECT_EQ(NumberOfTag(G.Cols, 4), 2);
    EXPECT_EQ(NumberOfTag(G.Cols, 6), 6);
}

TEST(HeadList, MovingHeadUnderControlKeepsNumbersWithPositions)
{
    for (bool Control : { true, false }) {
        TFakeGridHost G;
        G.Control = Control;
        Fill(G.Cols, { 0, 1, 2, 3 });
        G.Cols.Items(0)->SetIndex(2);
        EXPECT_EQ(G.Cols.Items(2)->Tag(), 0);
        if (Control) {
            ExpectConsistent(G.Cols, "control");
            EXPECT_EQ(Numbers(G.Cols), (std::vector<qint64> { 0, 1, 2, 3 }));
            EXPECT_EQ(NumberOfTag(G.Cols, 0), 2);
            G.Cols.Items(3)->SetIndex(0);
            EXPECT_EQ(G.Cols.Items(0)->Tag(), 3);
            EXPECT_EQ(Numbers(G.Cols), (std::vector<qint64> { 0, 1, 2, 3 }));
        } else {
            EXPECT_EQ(NumberOfTag(G.Cols, 0), 0);
        }
    }
}

TEST(HeadList, NamesAreUniqueIgnoringCase)
{
    TFakeGridHost G;
    Fill(G.Cols, { 0, 1 });
    G.Cols.Items(0)->SetName("Sum");
    G.Cols.Items(0)->SetName("SUM");
    EXPECT_EQ(G.Cols.Items(0)->Name(), QString("Sum"));
    EXPECT_EQ(G.Cols.FindItem("sum"), G.Cols.Items(0));
    EXPECT_EQ(G.Cols.FindItem(""), nullptr);
    try {
        G.Cols.Items(1)->SetName("sUm");
        ADD_FAILURE() << "duplicate accepted";
    } catch (const EGridError& E) {
        EXPECT_EQ(E.Message(), QString("A object named sUm already exists"));
    }
    EXPECT_EQ(G.Cols.Items(1)->Name(), QString());
    G.Cols.Items(1)->SetName("");

    THead* H = G.Cols.Items(1);
    EXPECT_EQ(H->DisplayName(), QString("THead"));
    H->WideStrings().SetWideText("a\r\nb");
    EXPECT_EQ(H->DisplayName(), QString("a b"));
    H->SetName("Total");
    EXPECT_EQ(H->DisplayName(), QString("Total"));
}

TEST(HeadList, DestroyedHeadIsForgottenByCellsAndHistory)
{
    TFakeGridHost G;
    TCell* C = G.Cells.GetCell(2, 3);
    ASSERT_NE(C, nullptr);
    ASSERT_NE(C->ColHead(), nullptr);
    G.Cols.CollapseHistory().push_back(C->ColHead());
    delete C->ColHead();
    EXPECT_EQ(C->ColHead(), nullptr);
    EXPECT_EQ(C->Coord().Col, -1);
    EXPECT_TRUE(G.Cols.CollapseHistory().empty());
}

TEST(HeadList, SearchKeysFollowEveryRenumberingAcrossBlocks)
{
    // Enough heads for many storage blocks, so that splits, emptied blocks and
    // the keys of blocks' last items all come into play. After each step the
    // list's copies of the numbers must match the heads, and every head must
    // be found by its number.
    TFakeGridHost G({ 1, 1, 9, 99999 });
    THeadList& L = G.Rows;
    std::mt19937 Random(11);
    auto Check = [&](const std::string& Step) {
        QString Fault;
        ASSERT_TRUE(L.CheckConsistency(&Fault)) << Step << ": " << Fault.toStdString();
        for (int I = 0; I < L.Count(); ++I) {
            if (L.Items(I)->Cell() >= 0) {
                ASSERT_EQ(L.FindHead(L.Items(I)->Cell()), L.Items(I)) << Step;
            }
        }
    };
    for (int I = 0; I < 3000; ++I)
        L.GetHead(qint64(Random() % 6000));
    Check("created");
    for (int Round = 0; Round < 60; ++Round) {
        const int Count = L.Count();
        const int Pick = int(Random() % uint32_t(Count));
        const std::string Step = "round " + std::to_string(Round);
        switch (Round % 6) {
        case 0: // collisions bump runs of numbers, possibly past a block's end
            L.Items(Pick)->SetCell(L.Items(int(Random() % uint32_t(Count)))->Cell());
            break;
        case 1: // numbers stay with positions while the head moves
            L.Items(Pick)->SetIndex(int(Random() % uint32_t(Count)));
            break;
        case 2:
            L.MoveHeads(
                qint32(Random() % 6000), qint32(Random() % 6000), 1 + qint32(Random() % 40));
            break;
        case 3: // far forward, into the last block
            L.Items(Pick)->SetCell(6000 + Round);
            break;
        case 4: // empties whole blocks
            for (int K = 0; K < 150 && L.Count() > Pick; ++K)
                L.Delete(Pick);
            break;
        default:
            L.Items(Pick)->SetCell(-1);
            L.GetHead(qint64(Random() % 6000));
            break;
        }
        Check(Step);
    }
}
