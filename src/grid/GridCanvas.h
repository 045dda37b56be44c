#pragma once

#include "grid/model/GridColor.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <span>
#include <vector>

class TGridFont;

enum TPenStyle { psSolid, psDot };
// Copy paints the pen colour; xor and not-xor combine it with what is there,
// so that a second stroke takes the first one away.
enum TPenMode { pmCopy, pmXor, pmNotXor };

// Text flags the canvas understands beyond those of TextFlags.h.
namespace CanvasText {
constexpr quint32 tfExpandTabs = 0x40;
constexpr quint32 tfNoClip = 0x100;
constexpr quint32 tfCalcRect = 0x400;
constexpr quint32 tfEndEllipsis = 0x8000;
constexpr quint32 tfHidePrefix = 0x100000;
} // namespace CanvasText

// The drawing surface the grid measures and paints on; the window layer
// implements it over its real canvas. Rectangles are Qt's inclusive ones.
class IGridCanvas {
public:
    virtual ~IGridCanvas() = default;
    // The size of Text drawn with Font and the given text flags; a text with
    // line breaks measures as its widest line and all lines' height.
    virtual QSize TextExtent(const TGridFont& Font, const QString& Text, quint32 Flags) = 0;

    // Colours are resolved once here, so that the painter can mix system
    // colours as RGB values.
    virtual TColor ResolveColor(TColor Color) const { return Color; }

    virtual void SetFont(const TGridFont&) { }
    virtual void SetFontColor(TColor) { }
    virtual void SetPen(TColor, TPenStyle = psSolid, int = 1, TPenMode = pmCopy) { }
    // A clear brush leaves the background of text and shapes as it is.
    virtual void SetBrush(TColor, bool = true) { }

    virtual void FillRect(const QRect&) { }
    virtual void FrameRect(const QRect&) { }
    virtual void DrawFocusRect(const QRect&) { }
    virtual void Rectangle(const QRect&) { }
    virtual void MoveTo(int, int) { }
    virtual void LineTo(int, int) { }
    virtual void Polyline(std::span<const QPoint>) { }
    virtual void Polygon(std::span<const QPoint>) { }

    virtual int AverageCharWidth() { return 7; }
    // Draws Text into Rect with the given flags and returns the height of the
    // text; with tfCalcRect nothing is drawn and Rect becomes the text's box.
    virtual int DrawText(const QString&, QRect&, quint32) { return 0; }
    // The pen position after each character of Line drawn on one line with
    // Font: element k is the width of the first k characters, the last one
    // the line's width. Tabs expand as DrawText expands them with the same
    // flags, so that a caret placed by these figures stands where the text
    // is drawn.
    virtual std::vector<int> CharEdges(const TGridFont& Font, const QString& Line, quint32 Flags);

    virtual void IntersectClip(const QRect&) { }
    virtual void ExcludeClip(const QRect&) { }
    virtual bool RectVisible(const QRect&) const { return true; }
    // The bounding box of the clip region; an unclipped canvas answers its
    // whole surface.
    virtual QRect ClipBox() const { return QRect(); }
    virtual void SaveState() { }
    virtual void RestoreState() { }

    // Pictures come as the encoded bytes the drop list keeps, so that the
    // grid never needs an image class; bytes that cannot be decoded have an
    // empty size and draw nothing.
    virtual QSize ImageSize(const QByteArray&) { return QSize(); }
    // Draws the picture scaled into Dest. Transparent lets what is already
    // there show through the picture's see-through parts; an opaque picture
    // is quicker to draw and covers Dest.
    virtual void DrawImage(const QByteArray&, const QRect&, bool) { }

    // Fills R with the platform theme's background for item views; false
    // when the canvas has no theme to draw, and the caller fills R itself.
    virtual bool DrawThemeBackground(const QRect&) { return false; }

    // Copies SourceRect of Source to DestRect; false when Source is of a kind
    // this canvas cannot read.
    virtual bool CopyRect(const QRect&, IGridCanvas&, const QRect&) { return false; }
};
