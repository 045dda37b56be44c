#include "TestApplication.h"
#include "grid/GridObject.h"
#include "grid/control/GridControl.h"
#include "grid/control/PainterCanvas.h"
#include "grid/DropList.h"
#include "grid/model/TextFlags.h"

#include <QImage>
#include <QLocale>
#include <QTime>

#include <gtest/gtest.h>

namespace {

QColor Rgb(TColor C) { return QColor(int(C & 0xFF), int((C >> 8) & 0xFF), int((C >> 16) & 0xFF)); }

TColor Xnor(TColor C, TColor H) { return ~(H ^ C) & 0xFFFFFF; }

// A grid set up as the journal's: one-pixel gaps, silver fixed gaps.
struct TPaintFixture {
    struct TApp {
        TApp() { TestApplication(); }
    } App;
    TGridControl Control;
    TGridObject& G = Control.Grid();
    TPaintFixture(int Cols = 6, int Rows = 60)
    {
        TestApplication();
        QLocale::setDefault(QLocale::c());
        Control.resize(500, 300);
        G.SetColCount(Cols);
        G.SetRowCount(Rows);
        G.SetSpaceWidth(1);
        G.SetSpaceHeight(1);
        G.SetGridColor(TGridObject::gcFixedSpace, RGBColor(192, 192, 192));
        G.SetGridColor(TGridObject::gcEditSpace, RGBColor(224, 224, 224));
    }
    const QImage& Paint()
    {
        G.InvalidateGrid();
        Control.PaintPending();
        return Control.DrawBitmap();
    }
    TColor Resolve(TColor C) { return Control.Canvas()->ResolveColor(C); }
    QRect Body(qint32 C, qint32 R) { return G.GetTextRect(C, R).adjusted(-3, -2, 3, 2); }
    // The cell's text rectangle as the grid would paint Text in it alone.
    QImage Expected(qint32 C, qint32 R, const QString& Text)
    {
        TDrawCellInfo Info;
        G.GetCellInfo(C, R, G.CellState(C, R), Info);
        QImage I = Control.DrawBitmap().copy();
        TPainterCanvas Canvas(&I, Control.palette());
        // A raised fixed cell keeps a pixel of its border inside the body.
        const QRect Text_ = G.IsFixed(C, R) && G.Ctl3D() ? G.GetTextRect(C, R).adjusted(1, 1, -1, -1)
                                                         : G.GetTextRect(C, R);
        Canvas.SetBrush(Canvas.ResolveColor(Info.BackColor), true);
        Canvas.FillRect(Text_);
        Canvas.SetFont(Info.Font());
        Canvas.SetBrush(0, false);
        QRect Box = Text_;
        Canvas.DrawText(Text, Box, Info.Flags);
        return I;
    }
    bool SameIn(const QImage& A, const QImage& B, const QRect& R)
    {
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            for (int X = R.left(); X <= R.right(); ++X)
                if (A.pixel(X, Y) != B.pixel(X, Y))
                    return false;
        return true;
    }
    QRect Ink(const QImage& I, const QRect& R, QColor Back)
    {
        QRect Box;
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            for (int X = R.left(); X <= R.right(); ++X)
                if (I.pixelColor(X, Y) != Back)
                    Box = Box.united(QRect(X, Y, 1, 1));
        return Box;
    }
};

}

TEST(GridPaint, RowNumbersRightAlignedInTheFixedColumnsHeadFont)
{
    TPaintFixture F;
    THead* Head = F.G.Cols().GetHead(0);
    TGridFont Font = Head->Font();
    Font.SetColor(RGBColor(255, 0, 0));
    Head->SetFont(Font);
    Head->SetAlignment({ afRight, afSingleLine, afNoPrefix });
    const QImage& I = F.Paint();
    const QRect Text = F.G.GetTextRect(0, 3);
    const QRect Ink = F.Ink(I, Text, Rgb(F.Resolve(Head->BackColor())));
    ASSERT_FALSE(Ink.isEmpty());
    EXPECT_GE(Ink.right(), Text.right() - 2) << "right-aligned";
    EXPECT_GT(Ink.left(), Text.center().x()) << "a single digit stays at the right";
    bool Red = false;
    for (int Y = Ink.top(); Y <= Ink.bottom(); ++Y)
        for (int X = Ink.left(); X <= Ink.right(); ++X)
            Red = Red || (I.pixelColor(X, Y).red() > 200 && I.pixelColor(X, Y).green() < 100);
    EXPECT_TRUE(Red) << "drawn in the head's font";
    EXPECT_TRUE(F.SameIn(I, F.Expected(0, 3, QStringLiteral("3")), Text));
    // The gap beside the fixed column takes the fixed gap colour.
    const QRect Body = F.Body(0, 3);
    EXPECT_EQ(I.pixelColor(Body.right() + 1, Body.center().y()), QColor(192, 192, 192));
}

TEST(GridPaint, ValuesAreShownByTheirFormat)
{
    TPaintFixture F;
    F.G.SetCellValue(2, 2, QStringLiteral("3.14159"));
    F.G.SetCellValue(2, 3, QStringLiteral("abc"));
    F.G.SetCellValue(2, 4, QStringLiteral("45000.5"));
    for (qint32 R : { 2, 3 }) {
        TCell* Cell = F.G.Cells().FindCell(2, R);
        Cell->SetCellFormat(cfmtNumeric);
        Cell->SetPrecision(2);
    }
    F.G.Cells().FindCell(2, 4)->SetCellFormat(cfmtTime);
    TDrawCellInfo Info;
    F.G.GetCellInfo(2, 2, TCellStates(), Info);
    EXPECT_EQ(Info.WideText(), QStringLiteral("3.14"));
    EXPECT_EQ(Info.FullText, QStringLiteral("3.14159")) << "the text before formatting";
    F.G.GetCellInfo(2, 4, TCellStates(), Info);
    EXPECT_EQ(Info.WideText(), QLocale().toString(QTime(12, 0), QLocale::ShortFormat));
    const QImage& I = F.Paint();
    EXPECT_TRUE(F.SameIn(I, F.Expected(2, 2, QStringLiteral("3.14")), F.G.GetTextRect(2, 2)));
    EXPECT_TRUE(F.SameIn(I, F.Expected(2, 3, QStringLiteral("abc")), F.G.GetTextRect(2, 3)));
    EXPECT_FALSE(F.SameIn(I, F.Expected(2, 2, QStringLiteral("3.14159")), F.G.GetTextRect(2, 2)));
}

TEST(GridPaint, EditorColourFollowsWhetherTheCellCanBeWritten)
{
    for (bool ReadOnly : { false, true }) {
        TPaintFixture F;
        F.G.SetGridColor(TGridObject::gcEditor, RGBColor(200, 255, 200));
        F.G.SetGridColor(TGridObject::gcFixedCell, RGBColor(230, 200, 180));
        F.G.SetReadOnly(ReadOnly);
        F.G.FocusCell(2, 2, false, true);
        F.G.ShowEditor();
        const QImage& I = F.Paint();
        const QRect Body = F.Body(2, 2);
        EXPECT_EQ(I.pixelColor(Body.left() + 1, Body.bottom() - 1),
            ReadOnly ? QColor(230, 200, 180) : QColor(200, 255, 200))
            << (ReadOnly ? "read-only" : "writable");
    }
}

TEST(GridPaint, SingleRegionSelectionGetsItsFrameAndFillHandle)
{
    TPaintFixture F;
    F.G.SetSelectionFrame(true);
    F.G.FocusCell(2, 2, false, true);
    F.G.ExtendSelection(3, 4);
    const QImage& I = F.Paint();
    const TColor Frame = Xnor(RGBColor(224, 224, 224), F.Resolve(F.G.clEditHighlight()));
    const TColor Black = F.Control.HasFocus() ? 0 : F.Resolve(F.G.clEditHighlight());
    const TColor Mixed = Xnor(clWhite, F.Resolve(F.G.clEditHighlight()));
    // Across the left edge: the neighbour's last pixel and the region's
    // first one are inverted against the contrast colour, the gap between
    // them takes the frame colour.
    const QRect First = F.Body(2, 3);
    const int Y = First.center().y();
    EXPECT_EQ(I.pixelColor(First.left() - 1, Y), Rgb(Frame)) << "left gap";
    EXPECT_EQ(I.pixelColor(First.left() - 2, Y), Rgb(Xnor(clWhite, Black))) << "outside the edge";
    EXPECT_EQ(I.pixelColor(First.left(), Y), Rgb(Xnor(Mixed, Black))) << "inside the edge";
    const QRect Top = F.Body(3, 2);
    EXPECT_EQ(I.pixelColor(Top.center().x(), Top.top() - 1), Rgb(Frame)) << "top gap";
    EXPECT_EQ(I.pixelColor(Top.center().x(), Top.top() - 2), Rgb(Xnor(clWhite, Black)))
        << "above the top edge";
    const QRect Corner = F.Body(3, 4);
    EXPECT_EQ(I.pixelColor(Corner.right() + 1, Corner.bottom() + 1), Rgb(Frame)) << "fill handle";
    // A cell outside the region keeps its gap colour.
    const QRect Outside = F.Body(2, 6);
    EXPECT_EQ(I.pixelColor(Outside.center().x(), Outside.top() - 1), QColor(224, 224, 224));
    // Inside: selected cells are mixed with the highlight, the focused one
    // keeps its own colour.
    EXPECT_EQ(I.pixelColor(F.Body(3, 3).center()), Rgb(Xnor(clWhite, F.Resolve(F.G.clEditHighlight()))));
    EXPECT_EQ(I.pixelColor(F.Body(2, 2).center()), QColor(Qt::white));
}

TEST(GridPaint, HiddenSelectionWithoutFocusDrawsNothingOfIt)
{
    TPaintFixture F;
    F.G.SetHideSelection(true);
    F.G.FocusCell(2, 2, false, true);
    F.G.ExtendSelection(3, 3);
    ASSERT_FALSE(F.Control.hasFocus());
    const QImage& I = F.Paint();
    for (const TGridCell C : { TGridCell { 2, 2 }, TGridCell { 3, 3 } }) {
        const QRect Body = F.Body(C.Col, C.Row);
        EXPECT_TRUE(F.Ink(I, Body, QColor(Qt::white)).isEmpty()) << C.Col << "," << C.Row;
    }
    F.G.SetHideSelection(false);
    const QImage& Shown = F.Paint();
    EXPECT_FALSE(F.Ink(Shown, F.Body(2, 2), QColor(Qt::white)).isEmpty()) << "the focus frame";
    EXPECT_NE(Shown.pixelColor(F.Body(3, 3).center()), QColor(Qt::white));
}

TEST(GridPaint, DrawPagesOntoAnotherCanvas)
{
    TPaintFixture F;
    F.G.SetTopRow(5);
    QImage Page(400, 200, QImage::Format_RGB32);
    Page.fill(Qt::black);
    TGridCell Last;
    {
        TPainterCanvas Canvas(&Page, F.Control.palette());
        F.G.Draw(Canvas, Page.rect(), { 1, 40 }, Last);
    }
    EXPECT_EQ(F.G.LeftCol(), 1);
    EXPECT_EQ(F.G.TopRow(), 5);
    // Rows take 21 pixels with their gap: the fixed row and eight rows fit
    // whole in 200, the ninth is cut and starts the next page.
    EXPECT_EQ(Last.Row, 48);
    EXPECT_EQ(Last.Col, 4) << "column 4 is cut at 400 pixels";
    // Every column fits on a wide page: paging down keeps the column.
    QImage Wide(800, 200, QImage::Format_RGB32);
    {
        TPainterCanvas Canvas(&Wide, F.Control.palette());
        F.G.Draw(Canvas, Wide.rect(), { 1, 40 }, Last);
    }
    EXPECT_EQ(Last.Col, 1);
    // The page shows row 40 first, numbered as such.
    TDrawCellInfo Info;
    F.G.GetCellInfo(0, 40, TCellStates { csFixed }, Info);
    EXPECT_EQ(Info.WideText(), QStringLiteral("40"));
}

TEST(GridPaint, ScrollingOneRowPaintsOnlyTheUncoveredStrip)
{
    TPaintFixture F(6, 100000);
    F.G.AdjustWidth(0);
    F.G.FocusCell(2, 3, false, true);
    F.Paint();
    F.G.SetTopRow(F.G.TopRow() + 1);
    // The uncovered row, and the new top row, whose top gap borders the
    // fixed rows now.
    qint64 Area = 0;
    for (const QRect& R : F.Control.PendingRegion())
        Area += qint64(R.width()) * R.height();
    EXPECT_LE(Area, 2 * (F.G.DefaultRowHeight() + 2) * F.Control.width()) << "strips, not the view";
    F.Control.PaintPending();
    const QImage Scrolled = F.Control.DrawBitmap().copy();
    const QImage& Full = F.Paint();
    EXPECT_TRUE(F.SameIn(Scrolled, Full, F.G.GetClientRect())) << "the strip joins the picture";
}

TEST(GridPaint, DropListButtonsAndHints)
{
    TPaintFixture F;
    TCustomDropList List;
    List.ButtonViewStyle = bvsList;
    List.ButtonAlwaysVisible = true;
    F.G.Cols().GetHead(3)->SetDropList(&List);
    TDrawCellInfo Info;
    F.G.GetCellInfo(3, 5, TCellStates(), Info);
    const QRect Button = F.G.GetButtonRect(Info, F.G.GetTextRect(3, 5));
    ASSERT_EQ(Button.width(), 14);
    const QImage& I = F.Paint();
    EXPECT_EQ(I.pixelColor(Button.center()), QColor(Qt::black)) << "the list triangle";
    F.G.Cols().GetHead(3)->SetDropList(nullptr);

    F.G.SetCellValue(2, 2, QString(60, u'w'));
    F.G.SetCellValue(2, 3, QStringLiteral("w"));
    IGridCanvas& C = *F.Control.Canvas();
    EXPECT_EQ(F.G.HintText(C, 2, 2), QString(60, u'w'));
    EXPECT_EQ(F.G.HintText(C, 2, 3), QString()) << "fits";
    EXPECT_EQ(F.G.HintText(C, 2, F.G.RowCount()), QString()) << "below the last row";
    EXPECT_EQ(F.G.HintText(C, 0, 2), QString()) << "fixed";
    // Outside the grid no record is made, and none is left over.
    F.G.GetCellInfo(2, 2, TCellStates(), Info);
    EXPECT_FALSE(F.G.GetCellInfo(2, F.G.RowCount(), TCellStates(), Info));
    EXPECT_EQ(Info.FullText, QString());
}

TEST(GridPaint, DataCellsTakeTheirColumnHeadsFont)
{
    TPaintFixture F;
    F.Control.OnGetEditText = [](TPersistent*, qint32, qint32, TCellStates, THead*, THead*,
                                  QString& Value, bool& Handled) {
        Value = QStringLiteral("WWW");
        Handled = true;
    };
    THead* Head = F.G.Cols().GetHead(2);
    TGridFont Font = Head->Font();
    Font.SetStyle({ fsBold });
    Font.SetColor(RGBColor(0, 0, 255));
    Head->SetFont(Font);
    TDrawCellInfo Info;
    F.G.GetCellInfo(2, 4, TCellStates(), Info);
    EXPECT_TRUE(Info.Font().Style().Contains(fsBold));
    EXPECT_EQ(Info.Font().Color(), RGBColor(0, 0, 255));
    const QImage& I = F.Paint();
    const QRect Ink = F.Ink(I, F.G.GetTextRect(2, 4), QColor(Qt::white));
    ASSERT_FALSE(Ink.isEmpty());
    bool Blue = false;
    for (int Y = Ink.top(); Y <= Ink.bottom(); ++Y)
        for (int X = Ink.left(); X <= Ink.right(); ++X)
            Blue = Blue || (I.pixelColor(X, Y).blue() > 200 && I.pixelColor(X, Y).red() < 100);
    EXPECT_TRUE(Blue);
    // Bold is wider than regular.
    const QRect Regular = F.Ink(I, F.G.GetTextRect(3, 4), QColor(Qt::white));
    EXPECT_GT(Ink.width(), Regular.width());
}

TEST(GridPaint, ThemedGridShowsThePaletteBeyondItsCellsOnItsOwnWindowOnly)
{
    TPaintFixture F(2, 3);
    QPalette P = F.Control.palette();
    P.setColor(QPalette::Base, QColor(10, 200, 30));
    F.Control.setPalette(P);
    const QPoint Beyond(F.Control.width() - 5, F.Control.height() - 5);
    const struct {
        const char* Name;
        bool Theme;
        bool OwnWindow;
        QColor Expected;
    } Cases[] = {
        { "plain", false, true, Rgb(F.Resolve(F.G.clFixedCell())) },
        { "themed", true, true, QColor(10, 200, 30) },
        { "themed, drawn on a page", true, false, Rgb(F.Resolve(F.G.clFixedCell())) },
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        F.G.SetUseTheme(Case.Theme);
        if (Case.OwnWindow) {
            EXPECT_EQ(F.Paint().pixelColor(Beyond), Case.Expected);
            continue;
        }
        QImage Page(F.Control.size(), QImage::Format_RGB32);
        TPainterCanvas Canvas(&Page, P);
        TGridCell Last;
        F.G.Draw(Canvas, Page.rect(), TGridCell { 1, 1 }, Last);
        EXPECT_EQ(Page.pixelColor(Beyond), Case.Expected);
    }
}
