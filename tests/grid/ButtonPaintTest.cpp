#include "TestApplication.h"
#include "grid/DropList.h"
#include "grid/GridObject.h"
#include "grid/control/GridControl.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QByteArray Encode(const QImage& I, const char* Format = "PNG")
{
    QByteArray Data;
    QBuffer B(&Data);
    B.open(QIODevice::WriteOnly);
    I.save(&B, Format);
    return Data;
}

QImage Solid(int W, int H, QColor C, QImage::Format Format = QImage::Format_ARGB32)
{
    QImage I(W, H, Format);
    I.fill(C);
    return I;
}

// Green all round a red middle, without an alpha channel: the green of the
// bottom-left pixel is what a transparent draw keys out.
QImage Keyed()
{
    QImage I = Solid(8, 8, Qt::green, QImage::Format_RGB32);
    QPainter(&I).fillRect(2, 2, 4, 4, Qt::red);
    return I;
}

class ButtonPaint : public ::testing::Test {
public:
    ButtonPaint()
    {
        C.resize(400, 200);
        G().SetColCount(5);
        G().SetRowCount(10);
        G().SetDefaultRowHeight(30);
        G().SetDefaultColWidth(60);
        List.ButtonAlwaysVisible = true;
        G().Cols().GetHead(3)->SetDropList(&List);
    }
    ~ButtonPaint() override { G().Cols().GetHead(3)->SetDropList(nullptr); }

    TGridObject& G() { return C.Grid(); }
    QRect Button()
    {
        TDrawCellInfo Info;
        G().GetCellInfo(3, 3, TCellStates(), Info);
        return G().GetButtonRect(Info, G().GetTextRect(3, 3));
    }
    QImage Paint()
    {
        G().InvalidateGrid();
        C.PaintPending();
        return C.DrawBitmap().copy();
    }

    struct TApp {
        TApp() { TestApplication(); }
    } App;
    TGridControl C;
    TCustomDropList List;
};

} // namespace

TEST_F(ButtonPaint, PicturesAreStretchedCentredCutOrKeyedAndBadBytesDrawNothing)
{
    enum TProbe { Red, Plain };
    const struct {
        const char* Name;
        TButtonViewStyle Style;
        QByteArray Image;
        bool Stretch;
        TProbe Centre, InnerCorner, Outside;
    } Cases[] = {
        { "stretched over the button", bvsImage, Encode(Solid(2, 2, Qt::red)), true, Red, Red,
            Plain },
        { "centred at its own size", bvsImage, Encode(Solid(2, 2, Qt::red)), false, Red, Plain,
            Plain },
        { "a larger one cut to the button", bvsImage, Encode(Solid(80, 80, Qt::red)), false, Red,
            Red, Plain },
        { "a speed button shows it too", bvsSpeedButton, Encode(Solid(2, 2, Qt::red)), true, Red,
            Red, Plain },
        { "the key colour of a bitmap shows the face", bvsImage, Encode(Keyed(), "BMP"), true, Red,
            Plain, Plain },
        { "bytes that are no picture", bvsImage, QByteArray("not a picture at all"), true, Plain,
            Plain, Plain },
        { "a cut-off picture file", bvsImage, Encode(Solid(4, 4, Qt::red)).left(20), false, Plain,
            Plain, Plain },
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        List.ButtonViewStyle = Case.Style;
        List.SetStretchImage(Case.Stretch);
        List.SetButtonImage(QByteArray());
        const QRect B = Button();
        ASSERT_GE(B.height(), 10);
        const QImage Without = Paint();
        List.SetButtonImage(Case.Image);
        const QImage With = Paint();
        const QPoint Probes[]
            = { B.center(), B.topLeft() + QPoint(1, 1), QPoint(B.left() - 1, B.center().y()) };
        const TProbe Expected[] = { Case.Centre, Case.InnerCorner, Case.Outside };
        for (int K = 0; K < 3; ++K) {
            const QPoint P = Probes[K];
            if (Expected[K] == Red)
                EXPECT_EQ(With.pixelColor(P), QColor(Qt::red)) << "probe " << K;
            else
                EXPECT_EQ(With.pixelColor(P), Without.pixelColor(P)) << "probe " << K;
        }
    }
}

TEST_F(ButtonPaint, HeldButtonIsWhiteWithABlackOutlineAndItsGlyphMoves)
{
    List.ButtonViewStyle = bvsEllipsis;
    const QRect B = Button();
    const QPoint C0 = B.center();
    // Between the middle dot and the right one; the pushed-in dots move
    // onto it.
    const QPoint Gap(C0.x() + 1, C0.y() + 2);
    const QImage Up = Paint();
    EXPECT_NE(Up.pixelColor(B.topLeft()), QColor(Qt::black));
    EXPECT_NE(Up.pixelColor(Gap), QColor(Qt::black));
    G().MouseMove({}, C0.x(), C0.y());
    G().MouseDown(C0.x(), C0.y(), { ssLeft });
    ASSERT_TRUE(G().ButtonDown());
    const QImage Down = Paint();
    EXPECT_EQ(Down.pixelColor(B.topLeft()), QColor(Qt::black)) << "outline";
    EXPECT_EQ(Down.pixelColor(B.topLeft() + QPoint(1, 1)), QColor(Qt::white)) << "face";
    EXPECT_EQ(Down.pixelColor(Gap), QColor(Qt::black)) << "dots shifted";

    // A disabled button does not go down.
    G().MouseUp(mbLeft, {}, C0.x(), C0.y());
    List.ButtonEnabled = false;
    G().MouseMove({}, C0.x(), C0.y());
    G().MouseDown(C0.x(), C0.y(), { ssLeft });
    const QImage Disabled = Paint();
    EXPECT_NE(Disabled.pixelColor(B.topLeft()), QColor(Qt::black));
    G().MouseUp(mbLeft, {}, C0.x(), C0.y());
}
