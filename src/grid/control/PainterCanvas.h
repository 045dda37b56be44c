#pragma once

#include "grid/GridCanvas.h"
#include "grid/model/GridFont.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPalette>
#include <QPoint>
#include <QRegion>

#include <array>
#include <memory>
#include <vector>

class QImage;
class TFontGlyphs;
class QPainter;
class QPaintDevice;

// The grid's canvas over a QPainter. System colours come from the palette it
// is given (the widget's); fonts are made once per distinct grid font.
class TPainterCanvas : public IGridCanvas {
public:
    // Paints on Device, which must outlive the canvas.
    explicit TPainterCanvas(QPaintDevice* Device, const QPalette& Palette = QPalette());
    ~TPainterCanvas() override;
    TPainterCanvas(const TPainterCanvas&) = delete;
    TPainterCanvas& operator=(const TPainterCanvas&) = delete;

    QPainter& Painter() { return *fPainter; }
    // The image painted on, when the device is one; CopyRect reads it.
    const QImage* Image() const { return fImage; }
    QColor ToQColor(TColor Color) const;
    static QFont ToQFont(const TGridFont& Font);

    QSize TextExtent(const TGridFont& Font, const QString& Text, quint32 Flags) override;
    TColor ResolveColor(TColor Color) const override;
    void SetFont(const TGridFont& Font) override;
    void SetFontColor(TColor Color) override;
    void SetPen(TColor Color, TPenStyle Style, int Width, TPenMode Mode) override;
    void SetBrush(TColor Color, bool Solid) override;
    void FillRect(const QRect& R) override;
    void FrameRect(const QRect& R) override;
    void DrawFocusRect(const QRect& R) override;
    void Rectangle(const QRect& R) override;
    void MoveTo(int X, int Y) override;
    void LineTo(int X, int Y) override;
    void Polyline(std::span<const QPoint> Points) override;
    void Polygon(std::span<const QPoint> Points) override;
    int AverageCharWidth() override;
    int DrawText(const QString& Text, QRect& R, quint32 Flags) override;
    std::vector<int> CharEdges(const TGridFont& Font, const QString& Line, quint32 Flags) override;
    void IntersectClip(const QRect& R) override;
    void ExcludeClip(const QRect& R) override;
    bool RectVisible(const QRect& R) const override;
    QRect ClipBox() const override;
    void SaveState() override;
    void RestoreState() override;
    QSize ImageSize(const QByteArray& Data) override;
    void DrawImage(const QByteArray& Data, const QRect& Dest, bool Transparent) override;
    bool DrawThemeBackground(const QRect& R) override;
    bool CopyRect(const QRect& Dest, IGridCanvas& Source, const QRect& SourceRect) override;

private:
    void ApplyMode(TPenMode Mode);
    void ApplyClip();
    const TFontGlyphs& Glyphs();
    void SetMode(int Mode);

    QPaintDevice* fDevice;
    const QImage* fImage = nullptr;
    std::unique_ptr<QPainter> fPainter;
    QPalette fPalette;
    bool fRasterOps = false;
    TGridFont fGridFont;
    QFont fFont;
    const TFontGlyphs* fGlyphs = nullptr;
    int fMode = -1;
    // Resolved once per canvas: painting asks for the same few colours for
    // every cell.
    mutable std::array<QRgb, 32> fSystemColors {};
    mutable std::array<bool, 32> fSystemKnown {};
    int fAverageCharWidth = -1;
    QColor fFontColor = Qt::black;
    QColor fPenColor = Qt::black;
    TPenStyle fPenStyle = psSolid;
    int fPenWidth = 1;
    TPenMode fPenMode = pmCopy;
    QColor fBrushColor = Qt::white;
    bool fBrushSolid = true;
    QPoint fPenPos;
    QRegion fClip;
    bool fClipped = false;
    struct TSaved {
        QRegion Clip;
        bool Clipped;
    };
    std::vector<TSaved> fSaved;
};
