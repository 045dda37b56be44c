// Painting of the built-in editor: its box over the cell and its
// neighbours, the text with the selection, and the caret.
#include "grid/GridCanvas.h"
#include "grid/GridEditorLayout.h"
#include "grid/GridWindow.h"
#include "grid/model/TextFlags.h"

#include <algorithm>

namespace {

constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);

}

void TGridObject::DrawEditor(IGridCanvas& Canvas)
{
    if (!IsInternalEditorOpen())
        return;
    TEditorLayout L = LayoutEditor();
    const QRect Client = GetClientRect();
    const QRect Scrollable(QPoint(Client.left() + GetFixedWidth(), Client.top() + GetFixedHeight()),
        Client.bottomRight());
    if (!L.Rect.intersects(Scrollable))
        return;
    Canvas.SaveState();
    Canvas.IntersectClip(Scrollable);
    Canvas.IntersectClip(L.Rect);
    Canvas.SetBrush(Canvas.ResolveColor(L.Cell->BackColor), true);
    Canvas.FillRect(L.Rect);
    if (L.HasButton && !L.ButtonRect.isEmpty()) {
        DrawCellButton(Canvas, *L.Cell, L.ButtonRect);
        Canvas.ExcludeClip(L.ButtonRect);
    }
    const TColor FontColor = Canvas.ResolveColor(L.Cell->Font().Color());
    const TColor Highlight = Canvas.ResolveColor(clHighlight);
    const TColor HighlightText = Canvas.ResolveColor(clHighlightText);
    Canvas.SetFont(L.Cell->Font());
    const TCharPos First = fEditor.SelectionFirst();
    const TCharPos Last = fEditor.SelectionLast();
    const bool Selected = fEditor.HasSelection();
    const QRect Paint = Canvas.ClipBox().isEmpty() ? L.Rect : Canvas.ClipBox();
    for (int I = 0; I < fEditor.LineCount(); ++I) {
        const int X = L.Lefts[size_t(I)] + fTextOrigin.x();
        const int Y = L.Tops[size_t(I)] + fTextOrigin.y();
        if (Y > Paint.bottom() || Y + L.LineHeight < Paint.top())
            continue;
        const QString& Line = fEditor.Line(I);
        const std::vector<int>& E = L.Edges[size_t(I)];
        QRect Box(X, Y, std::max(1, L.LineWidth(I)) + 1, L.LineHeight);
        Canvas.SetFontColor(FontColor);
        Canvas.SetBrush(0, false);
        Canvas.DrawText(Line, Box, L.LineFlags);
        if (!Selected || I < First.Line || I > Last.Line)
            continue;
        const qint32 From = I == First.Line ? First.Char : 0;
        const qint32 To = I == Last.Line ? Last.Char : qint32(Line.size());
        // A selected line break shows as a little box after the line.
        const int Tail = I < Last.Line ? 4 : 0;
        const QRect Mark(
            X + E[size_t(From)], Y, E[size_t(To)] - E[size_t(From)] + Tail, L.LineHeight);
        if (Mark.width() <= 0)
            continue;
        Canvas.SetBrush(Highlight, true);
        Canvas.FillRect(Mark);
        QRect Part(Mark.left(), Y, Mark.width() + 1, L.LineHeight);
        Canvas.SetFontColor(HighlightText);
        Canvas.SetBrush(0, false);
        Canvas.DrawText(Line.mid(From, To - From), Part, L.LineFlags);
    }
    // The caret shows only in the window that takes the keys.
    if (fGridControl && fGridControl->HasFocus()) {
        const QPoint P = CharToPixel(L, fEditor.CaretPos()) + fTextOrigin;
        Canvas.SetBrush(FontColor, true);
        Canvas.FillRect(QRect(P.x(), P.y(), 1, L.LineHeight));
    }
    Canvas.RestoreState();
}
