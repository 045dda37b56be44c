#include "grid/control/PainterCanvas.h"

#include "grid/control/ButtonImages.h"
#include "grid/control/TextLayout.h"
#include "grid/model/TextFlags.h"
#include "platform/misc/SystemColors.h"

#include <QGlyphRun>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>

namespace {

QRect DeviceRect(QPaintDevice* D) { return QRect(0, 0, D->width(), D->height()); }

} // namespace

TPainterCanvas::TPainterCanvas(QPaintDevice* Device, const QPalette& Palette)
    : fDevice(Device)
    , fImage(Device->devType() == QInternal::Image ? static_cast<QImage*>(Device) : nullptr)
    , fPainter(std::make_unique<QPainter>(Device))
    , fPalette(Palette)
    , fClip(DeviceRect(Device))
{
    // Raster operations exist only on raster targets; a printer or picture
    // device paints xor and not-xor strokes as plain copies, which shows
    // the feedback lines instead of inverting under them.
    fRasterOps = fPainter->paintEngine()
        && fPainter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    fFont = ToQFont(fGridFont);
    fPainter->setFont(fFont);
}

TPainterCanvas::~TPainterCanvas() { fPainter->end(); }

QColor TPainterCanvas::ToQColor(TColor Color) const
{
    if (IsSystemColor(Color)) {
        const quint8 I = SystemColorIndex(Color);
        if (I >= fSystemColors.size())
            return TSystemColors::SystemColor(I, fPalette);
        if (!fSystemKnown[I]) {
            fSystemColors[I] = TSystemColors::SystemColor(I, fPalette).rgb();
            fSystemKnown[I] = true;
        }
        return QColor::fromRgb(fSystemColors[I]);
    }
    return QColor(int(Color & 0xFF), int((Color >> 8) & 0xFF), int((Color >> 16) & 0xFF));
}

TColor TPainterCanvas::ResolveColor(TColor Color) const
{
    if (!IsSystemColor(Color))
        return Color;
    const QColor C = ToQColor(Color);
    return RGBColor(quint8(C.red()), quint8(C.green()), quint8(C.blue()));
}

QFont TPainterCanvas::ToQFont(const TGridFont& F)
{
    QFont Font(F.Name());
    // A negative height is the character height, a positive one the cell
    // height with the internal leading; both are near enough to Qt's pixel
    // size for a grid cell.
    Font.setPixelSize(std::max(1, std::abs(F.Height())));
    Font.setBold(F.Style().Contains(fsBold));
    Font.setItalic(F.Style().Contains(fsItalic));
    Font.setUnderline(F.Style().Contains(fsUnderline));
    Font.setStrikeOut(F.Style().Contains(fsStrikeOut));
    if (F.Pitch() == fpFixed)
        Font.setFixedPitch(true);
    return Font;
}

void TPainterCanvas::SetFont(const TGridFont& Font)
{
    fFontColor = ToQColor(Font.Color());
    if (Font == fGridFont && fGlyphs)
        return;
    fGridFont = Font;
    fFont = ToQFont(Font);
    fPainter->setFont(fFont);
    fGlyphs = nullptr;
    fAverageCharWidth = -1;
}

void TPainterCanvas::SetFontColor(TColor Color) { fFontColor = ToQColor(Color); }

const TFontGlyphs& TPainterCanvas::Glyphs()
{
    if (!fGlyphs)
        fGlyphs = &TFontGlyphs::For(fFont, fDevice);
    return *fGlyphs;
}

void TPainterCanvas::SetMode(int Mode)
{
    if (Mode == fMode)
        return;
    fMode = Mode;
    fPainter->setCompositionMode(QPainter::CompositionMode(Mode));
}

int TPainterCanvas::AverageCharWidth()
{
    if (fAverageCharWidth < 0)
        fAverageCharWidth = Glyphs().Metrics().averageCharWidth();
    return fAverageCharWidth;
}

QSize TPainterCanvas::TextExtent(const TGridFont& Font, const QString& Text, quint32 Flags)
{
    const TGridFont Saved = fGridFont;
    const QColor SavedColor = fFontColor;
    SetFont(Font);
    QRect R(0, 0, 1 << 20, 1 << 20);
    DrawText(Text, R, (Flags & ~quint32(TextFlags::tfWordBreak)) | CanvasText::tfCalcRect);
    SetFont(Saved);
    fFontColor = SavedColor;
    return R.size();
}

std::vector<int> TPainterCanvas::CharEdges(const TGridFont& Font, const QString& Line, quint32 Flags)
{
    const TGridFont Saved = fGridFont;
    const QColor SavedColor = fFontColor;
    SetFont(Font);
    std::vector<int> E = LineCharEdges(Glyphs(), Line, Flags & CanvasText::tfExpandTabs, AverageCharWidth());
    SetFont(Saved);
    fFontColor = SavedColor;
    return E;
}

void TPainterCanvas::ApplyMode(TPenMode Mode)
{
    if (!fRasterOps || Mode == pmCopy) {
        SetMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    SetMode(Mode == pmXor ? QPainter::RasterOp_SourceXorDestination
                                               : QPainter::RasterOp_NotSourceXorDestination);
}

void TPainterCanvas::SetPen(TColor Color, TPenStyle Style, int Width, TPenMode Mode)
{
    fPenColor = ToQColor(Color);
    fPenStyle = Style;
    fPenWidth = std::max(1, Width);
    fPenMode = Mode;
}

void TPainterCanvas::SetBrush(TColor Color, bool Solid)
{
    fBrushColor = ToQColor(Color);
    fBrushSolid = Solid;
}

void TPainterCanvas::FillRect(const QRect& R)
{
    if (R.isEmpty())
        return;
    SetMode(QPainter::CompositionMode_Source);
    fPainter->fillRect(R, fBrushColor);
}

void TPainterCanvas::FrameRect(const QRect& R)
{
    if (R.isEmpty())
        return;
    SetMode(QPainter::CompositionMode_Source);
    fPainter->fillRect(QRect(R.left(), R.top(), R.width(), 1), fBrushColor);
    fPainter->fillRect(QRect(R.left(), R.bottom(), R.width(), 1), fBrushColor);
    fPainter->fillRect(QRect(R.left(), R.top(), 1, R.height()), fBrushColor);
    fPainter->fillRect(QRect(R.right(), R.top(), 1, R.height()), fBrushColor);
}

void TPainterCanvas::DrawFocusRect(const QRect& R)
{
    if (R.isEmpty())
        return;
    // Every other pixel inverted, so that drawing it twice takes it away.
    ApplyMode(pmXor);
    const QColor White = fRasterOps ? QColor(Qt::white) : QColor(Qt::black);
    for (int X = R.left(); X <= R.right(); X += 2) {
        fPainter->fillRect(QRect(X, R.top(), 1, 1), White);
        if (R.bottom() != R.top())
            fPainter->fillRect(QRect(X + ((R.height() + 1) & 1), R.bottom(), 1, 1), White);
    }
    for (int Y = R.top() + 2; Y < R.bottom(); Y += 2) {
        fPainter->fillRect(QRect(R.left(), Y, 1, 1), White);
        if (R.right() != R.left())
            fPainter->fillRect(QRect(R.right(), Y + ((R.width() + 1) & 1), 1, 1), White);
    }
    ApplyMode(pmCopy);
}

void TPainterCanvas::Rectangle(const QRect& R)
{
    if (R.isEmpty())
        return;
    if (fBrushSolid) {
        SetMode(QPainter::CompositionMode_Source);
        fPainter->fillRect(R, fBrushColor);
    }
    ApplyMode(fPenMode);
    fPainter->fillRect(QRect(R.left(), R.top(), R.width(), fPenWidth), fPenColor);
    fPainter->fillRect(QRect(R.left(), R.bottom() - fPenWidth + 1, R.width(), fPenWidth), fPenColor);
    fPainter->fillRect(QRect(R.left(), R.top() + fPenWidth, fPenWidth, R.height() - 2 * fPenWidth), fPenColor);
    fPainter->fillRect(QRect(R.right() - fPenWidth + 1, R.top() + fPenWidth, fPenWidth, R.height() - 2 * fPenWidth), fPenColor);
    ApplyMode(pmCopy);
}

void TPainterCanvas::MoveTo(int X, int Y) { fPenPos = QPoint(X, Y); }

void TPainterCanvas::LineTo(int X, int Y)
{
    const QPoint To(X, Y);
    ApplyMode(fPenMode);
    // Axis-parallel lines, nearly all the grid draws, are filled rectangles:
    // exact pixels and no anti-aliasing; like the platform's, the end point
    // itself is left out.
    if ((To.x() == fPenPos.x() || To.y() == fPenPos.y()) && fPenStyle == psSolid) {
        const QRect R = QRect(fPenPos, To).normalized();
        QRect Line = To.x() == fPenPos.x()
            ? QRect(R.left() - (fPenWidth - 1) / 2, R.top(), fPenWidth, R.height() - 1)
            : QRect(R.left(), R.top() - (fPenWidth - 1) / 2, R.width() - 1, fPenWidth);
        if (To.y() < fPenPos.y())
            Line.translate(0, 1);
        if (To.x() < fPenPos.x())
            Line.translate(1, 0);
        fPainter->fillRect(Line, fPenColor);
    } else {
        QPen Pen(fPenColor, fPenWidth, fPenStyle == psDot ? Qt::DotLine : Qt::SolidLine);
        fPainter->setPen(Pen);
        fPainter->drawLine(fPenPos, To);
    }
    ApplyMode(pmCopy);
    fPenPos = To;
}

void TPainterCanvas::Polyline(std::span<const QPoint> Points)
{
    if (Points.empty())
        return;
    MoveTo(Points[0].x(), Points[0].y());
    for (size_t I = 1; I < Points.size(); ++I)
        LineTo(Points[I].x(), Points[I].y());
}

void TPainterCanvas::Polygon(std::span<const QPoint> Points)
{
    if (Points.empty())
        return;
    ApplyMode(fPenMode);
    fPainter->setPen(QPen(fPenColor, 1));
    fPainter->setBrush(fBrushSolid ? QBrush(fBrushColor) : QBrush());
    fPainter->drawPolygon(Points.data(), int(Points.size()));
    fPainter->setBrush(QBrush());
    ApplyMode(pmCopy);
}

int TPainterCanvas::DrawText(const QString& Text, QRect& R, quint32 Flags)
{
    // Bit 28 asks for prefix processing; without it prefixes are never
    // processed, the way the grid always draws its cells.
    if (Flags & TextFlags::tfShowPrefix)
        Flags &= ~(TextFlags::tfShowPrefix | TextFlags::tfNoPrefix);
    else
        Flags |= TextFlags::tfNoPrefix;
    const TFontGlyphs& G = Glyphs();
    const QFontMetrics& M = G.Metrics();
    const TTextLayout L = LayoutText(G, Text, R, Flags, AverageCharWidth());
    if (Flags & CanvasText::tfCalcRect) {
        R = L.Bounds;
        return L.Height;
    }
    const bool Clip = !(Flags & CanvasText::tfNoClip) && !R.contains(L.Bounds);
    if (Clip) {
        fPainter->save();
        fPainter->setClipRect(R, fClipped ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    SetMode(QPainter::CompositionMode_SourceOver);
    if (fBrushSolid)
        fPainter->fillRect(L.Bounds.intersected(R), fBrushColor);
    fPainter->setPen(fFontColor);
    const int Ascent = M.ascent();
    QList<quint32> Indexes;
    QList<QPointF> Positions;
    QGlyphRun GlyphRun;
    GlyphRun.setRawFont(G.RawFont());
    for (const TTextRun& Run : L.Runs) {
        if (G.Glyphs(Run.Text, Indexes, Positions)) {
            GlyphRun.setGlyphIndexes(Indexes);
            GlyphRun.setPositions(Positions);
            GlyphRun.setUnderline(fFont.underline());
            GlyphRun.setStrikeOut(fFont.strikeOut());
            fPainter->drawGlyphRun(QPointF(Run.X, Run.Y + Ascent), GlyphRun);
        } else {
            fPainter->drawText(QPoint(Run.X, Run.Y + Ascent), Run.Text);
        }
        if (Run.Underline >= 0 && Run.Underline < Run.Text.size()) {
            const int X = Run.X + G.Width(Run.Text.left(Run.Underline));
            const int W = G.Width(QString(Run.Text.at(Run.Underline)));
            fPainter->fillRect(QRect(X, Run.Y + Ascent + 1, W, 1), fFontColor);
        }
    }
    if (Clip) {
        fPainter->restore();
        fMode = -1;
    }
    return L.Height;
}

void TPainterCanvas::ApplyClip()
{
    if (fClipped)
        fPainter->setClipRegion(fClip);
    else
        fPainter->setClipping(false);
}

void TPainterCanvas::IntersectClip(const QRect& R)
{
    fClip = fClip.intersected(R);
    fClipped = true;
    ApplyClip();
}

void TPainterCanvas::ExcludeClip(const QRect& R)
{
    fClip = fClip.subtracted(R);
    fClipped = true;
    ApplyClip();
}

bool TPainterCanvas::RectVisible(const QRect& R) const { return fClip.intersects(R); }

QRect TPainterCanvas::ClipBox() const { return fClip.boundingRect(); }

void TPainterCanvas::SaveState() { fSaved.push_back({ fClip, fClipped }); }

void TPainterCanvas::RestoreState()
{
    if (fSaved.empty())
        return;
    fClip = fSaved.back().Clip;
    fClipped = fSaved.back().Clipped;
    fSaved.pop_back();
    ApplyClip();
}

bool TPainterCanvas::CopyRect(const QRect& Dest, IGridCanvas& Source, const QRect& SourceRect)
{
    auto* S = dynamic_cast<TPainterCanvas*>(&Source);
    if (!S || !S->fImage)
        return false;
    SetMode(QPainter::CompositionMode_Source);
    fPainter->drawImage(Dest, *S->fImage, SourceRect);
    return true;
}

QSize TPainterCanvas::ImageSize(const QByteArray& Data)
{
    return Data.isEmpty() ? QSize() : DecodedButtonImage(Data).Opaque.size();
}

void TPainterCanvas::DrawImage(const QByteArray& Data, const QRect& Dest, bool Transparent)
{
    if (Data.isEmpty() || Dest.isEmpty())
        return;
    const TButtonImage& I = DecodedButtonImage(Data);
    if (I.Opaque.isNull())
        return;
    SetMode(Transparent ? QPainter::CompositionMode_SourceOver : QPainter::CompositionMode_Source);
    fPainter->drawImage(Dest, Transparent ? I.Transparent : I.Opaque);
}

bool TPainterCanvas::DrawThemeBackground(const QRect& R)
{
    // The style paints item views on the palette's base brush, which a
    // theme may give a texture or gradient.
    SetMode(QPainter::CompositionMode_SourceOver);
    fPainter->fillRect(R, fPalette.brush(QPalette::Active, QPalette::Base));
    return true;
}
