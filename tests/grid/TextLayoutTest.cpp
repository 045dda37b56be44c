#include "TestApplication.h"
#include "grid/control/PainterCanvas.h"
#include "grid/control/TextLayout.h"
#include "grid/model/TextFlags.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// The box of the dark pixels of an image painted white.
QRect InkBox(const QImage& I)
{
    QRect Box;
    for (int Y = 0; Y < I.height(); ++Y)
        for (int X = 0; X < I.width(); ++X)
            if (qGray(I.pixel(X, Y)) < 128)
                Box = Box.united(QRect(X, Y, 1, 1));
    return Box;
}

}

TEST(TextLayout, FlagsPlaceTheText)
{
    TestApplication();
    QImage Probe(1, 1, QImage::Format_RGB32);
    const QFont Font = TPainterCanvas::ToQFont(TGridFont());
    const TFontGlyphs G(Font, &Probe);
    const QFontMetrics& M = G.Metrics();
    const QRect R(10, 10, 200, 100);
    const int W = G.Width(QStringLiteral("ab"));
    const int H = M.height();
    struct {
        const char* Name;
        QString Text;
        quint32 Flags;
        QPoint TopLeft;
        int Runs;
    } Cases[] = {
        { "left top", "ab", 0x20, { 10, 10 }, 1 },
        { "centred", "ab", 0x21, { 10 + (200 - W) / 2, 10 }, 1 },
        { "right", "ab", 0x22, { 210 - W, 10 }, 1 },
        { "vertical centre", "ab", 0x24, { 10, 10 + (100 - H) / 2 }, 1 },
        { "bottom", "ab", 0x28, { 10, 110 - H }, 1 },
        { "single line joins lines", "a\nb", 0x20, { 10, 10 }, 1 },
        { "lines", "a\r\nb", 0x0, { 10, 10 }, 2 },
        { "prefix removed", "&ab", 0x20, { 10, 10 }, 1 },
        { "tab stops", "a\tb", 0x60, { 10, 10 }, 2 },
    };
    for (const auto& C : Cases) {
        const TTextLayout L = LayoutText(G, C.Text, R, C.Flags, M.averageCharWidth());
        ASSERT_EQ(int(L.Runs.size()), C.Runs) << C.Name;
        EXPECT_EQ(QPoint(L.Runs[0].X, L.Runs[0].Y), C.TopLeft) << C.Name;
    }
    const TTextLayout Prefixed = LayoutText(G, QStringLiteral("&&a&bc"), R, 0x20, 7);
    EXPECT_EQ(Prefixed.Runs[0].Text, QStringLiteral("&abc"));
    EXPECT_EQ(Prefixed.Runs[0].Underline, 2);
    const TTextLayout Tabbed = LayoutText(G, QStringLiteral("a\tb"), R, 0x60, 7);
    EXPECT_EQ(Tabbed.Runs[1].X, 10 + 56);
    const TTextLayout Broken = LayoutText(G, QStringLiteral("one two three"), QRect(0, 0, G.Width(QStringLiteral("one two")) + 1, 100), 0x10, 7);
    ASSERT_EQ(Broken.Runs.size(), 2u);
    EXPECT_EQ(Broken.Runs[0].Text, QStringLiteral("one two"));
    EXPECT_EQ(Broken.Runs[1].Y, H);
    const TTextLayout Elided = LayoutText(G, QString(50, u'w'), QRect(0, 0, 60, 20), 0x8020, 7);
    EXPECT_LE(Elided.Runs[0].Width, 60);
    EXPECT_TRUE(Elided.Runs[0].Text.endsWith(QChar(0x2026)));
}

TEST(TextLayout, WhatIsMeasuredIsWhatIsDrawn)
{
    TestApplication();
    for (quint32 Flags : { 0x20u, 0x22u, 0x25u, 0x10u, 0x0u }) {
        QImage I(300, 120, QImage::Format_RGB32);
        I.fill(Qt::white);
        QRect Measured(20, 20, 260, 80);
        {
            TPainterCanvas C(&I);
            C.SetFont(TGridFont());
            C.SetFontColor(clBlack);
            C.SetBrush(clWhite, false);
            QRect Calc = Measured;
            C.DrawText(QStringLiteral("Hg Wy\nXq"), Calc, Flags | 0x400);
            QRect Draw = Measured;
            C.DrawText(QStringLiteral("Hg Wy\nXq"), Draw, Flags);
            Measured = Calc;
        }
        const QRect Ink = InkBox(I);
        ASSERT_FALSE(Ink.isEmpty()) << Flags;
        // The measured box keeps the rectangle's left edge, as the platform's
        // does; only left-aligned text is drawn inside it.
        if (!(Flags & 0x3)) {
            EXPECT_TRUE(Measured.adjusted(-1, -1, 1, 1).contains(Ink)) << Flags;
        }
        EXPECT_LE(Ink.height(), Measured.height() + 1) << Flags;
        EXPECT_LE(Ink.width(), Measured.width() + 1) << Flags;
    }
}

TEST(PainterCanvas, PenModesClippingAndCopies)
{
    TestApplication();
    QImage I(40, 40, QImage::Format_RGB32);
    I.fill(QColor(0x10, 0x20, 0x30));
    {
        TPainterCanvas C(&I);
        C.SetPen(RGBColor(0xFF, 0, 0), psSolid, 1, pmXor);
        C.MoveTo(0, 5);
        C.LineTo(10, 5);
        C.SetPen(clBlack, psSolid, 1, pmNotXor);
        C.MoveTo(0, 6);
        C.LineTo(10, 6);
        C.SaveState();
        C.IntersectClip(QRect(20, 20, 10, 10));
        C.ExcludeClip(QRect(20, 20, 5, 5));
        EXPECT_FALSE(C.RectVisible(QRect(0, 0, 5, 5)));
        EXPECT_TRUE(C.RectVisible(QRect(26, 26, 2, 2)));
        C.SetBrush(clWhite, true);
        C.FillRect(I.rect());
        C.RestoreState();
        EXPECT_EQ(C.ClipBox(), I.rect());
    }
    EXPECT_EQ(I.pixelColor(3, 5), QColor(0xEF, 0x20, 0x30)) << "xor";
    EXPECT_EQ(I.pixelColor(3, 6), QColor(0xEF, 0xDF, 0xCF)) << "not-xor with black inverts";
    EXPECT_EQ(I.pixelColor(10, 5), QColor(0x10, 0x20, 0x30)) << "the end point is left out";
    EXPECT_EQ(I.pixelColor(27, 27), QColor(Qt::white));
    EXPECT_EQ(I.pixelColor(22, 22), QColor(0x10, 0x20, 0x30)) << "excluded";
    EXPECT_EQ(I.pixelColor(15, 15), QColor(0x10, 0x20, 0x30)) << "outside the clip";

    QImage Copy(40, 40, QImage::Format_RGB32);
    Copy.fill(Qt::black);
    {
        TPainterCanvas Source(&I);
        TPainterCanvas Target(&Copy);
        EXPECT_TRUE(Target.CopyRect(QRect(0, 0, 10, 10), Source, QRect(25, 25, 10, 10)));
    }
    EXPECT_EQ(Copy.pixelColor(2, 2), QColor(Qt::white));
}
