#include "TestGridWindow.h"
#include "grid/GridObject.h"
#include "grid/GridStream.h"
#include "grid/model/TextFlags.h"

#include <gtest/gtest.h>

#include <random>

namespace {

void BuildSample(TGridObject& G)
{
    G.SetColCount(12);
    G.SetRowCount(40);
    G.SetFixedCols(2);
    G.SetDefaultRowHeight(23);
    G.SetHighlight(true);
    G.SetGridColor(TGridObject::gcEditHighlight, 0x00AA00);
    G.SetCellExitKeys({ gcekLeft });
    G.SetEnableCalculation(false);
    THead* Col = G.Cols().GetHead(3);
    Col->SetSize(0);
    Col->SetAnchorSize(0);
    Col->WideStrings().SetWideText(QString::fromUtf8("Дата\r\nанализа"));
    Col->SetName("Date");
    Col->SetVisible(false);
    THead* Row = G.Rows().GetHead(7);
    Row->SetBackColor(0x123456);
    Row->SetTag(-9);
    TCell* Cell = G.Cells().GetCell(4, 7);
    Cell->SetContent("=1+2");
    Cell->SetCellFormat(cfmtNumeric);
    Cell->SetPrecision(7);
    Cell->SetReadOnly(true);
    TGridFont F;
    F.SetName("Mono");
    F.SetStyle({ fsBold, fsItalic });
    Cell->SetFont(F);
    Cell->SetAlignment(FlagsToAlignment(0x25));
    G.Cells().GetCell(11, 39)->SetContent("last");
    G.Cells().GetCell(2, 1);
}

}

TEST(GridStream, SavedGridLoadsEqual)
{
    TTestGridWindow W;
    TGridObject A(&W);
    BuildSample(A);
    const QByteArray Saved = TGridStream::Save(A);

    TTestGridWindow W2;
    TGridObject B(&W2);
    QString Error;
    ASSERT_TRUE(TGridStream::Load(B, Saved, &Error)) << Error.toStdString();
    QString Fault;
    EXPECT_TRUE(B.CheckConsistency(&Fault)) << Fault.toStdString();
    EXPECT_EQ(TGridStream::Save(B), Saved);
    EXPECT_EQ(B.ColCount(), 12);
    EXPECT_EQ(B.FixedCols(), 2);
    EXPECT_FALSE(B.EnableCalculation());
    EXPECT_EQ(B.Cols().FindItem("date"), B.Cols().FindHead(3));
    EXPECT_EQ(B.Cols().FindHead(3)->Title().Get(1), QString::fromUtf8("анализа"));
    TCell* Cell = B.Cells().FindCell(4, 7);
    ASSERT_NE(Cell, nullptr);
    EXPECT_EQ(Cell->Content(), QString("=1+2"));
    EXPECT_EQ(Cell->Precision(), 7);
    EXPECT_EQ(Cell->Font().Style(), (TFontStyles { fsBold, fsItalic }));
    EXPECT_EQ(Cell->ChangedOrders(), A.Cells().FindCell(4, 7)->ChangedOrders());
    EXPECT_EQ(Cell->RowHead(), B.Rows().FindHead(7));
    // The counters continue above every stamp read, so later changes win.
    B.Cols().FindHead(4)->SetBackColor(1);
    TDrawCellInfo Info;
    B.GetCellFormat(4, 7, Info);
    EXPECT_EQ(Info.BackColor, 1u);
}

TEST(GridStream, TruncatedStreamIsRefusedAndGridUntouched)
{
    TTestGridWindow W;
    TGridObject A(&W);
    BuildSample(A);
    const QByteArray Saved = TGridStream::Save(A);
    TGridObject B(&W);
    B.Cells().GetCell(1, 1)->SetContent("keep");
    const QByteArray Before = TGridStream::Save(B);
    for (qsizetype N = 0; N < Saved.size(); ++N) {
        QString Error;
        ASSERT_FALSE(TGridStream::Load(B, Saved.left(N), &Error)) << N;
        EXPECT_FALSE(Error.isEmpty()) << N;
    }
    EXPECT_EQ(TGridStream::Save(B), Before);
    QString Error;
    EXPECT_FALSE(TGridStream::Load(B, Saved + "x", &Error));
    EXPECT_EQ(Error, QString("data after the grid"));
}

TEST(GridStream, GarbageNeverBreaksTheGrid)
{
    TTestGridWindow W;
    TGridObject A(&W);
    BuildSample(A);
    const QByteArray Saved = TGridStream::Save(A);
    std::mt19937 Random(11);
    int Accepted = 0;
    for (int Round = 0; Round < 3000; ++Round) {
        QByteArray Bad = Saved;
        for (int K = 0; K < 1 + Round % 4; ++K)
            Bad[qsizetype(Random() % quint32(Bad.size()))] = char(Random());
        TGridObject B(&W);
        if (TGridStream::Load(B, Bad)) {
            ++Accepted;
            QString Fault;
            ASSERT_TRUE(B.CheckConsistency(&Fault)) << Round << ": " << Fault.toStdString();
        }
    }
    // Flipped bytes in colours, texts and sizes are still valid grids.
    EXPECT_GT(Accepted, 0);
    TGridObject B(&W);
    for (const QByteArray& Bad : { QByteArray(), QByteArray("VGRD"), QByteArray("XXXX\x01\x00", 6),
             QByteArray(1000, '\xFF') })
        EXPECT_FALSE(TGridStream::Load(B, Bad));
}
