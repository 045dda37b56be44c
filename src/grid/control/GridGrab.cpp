#include "grid/control/GridGrab.h"

#include "grid/control/PainterCanvas.h"

TGridGrab::TGridGrab(QWidget* Parent)
    : QWidget(Parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void TGridGrab::paintEvent(QPaintEvent*)
{
    TPainterCanvas C(this, palette());
    C.SetBrush(SystemColor(0), true);
    C.FillRect(rect());
    const QRect R = rect().adjusted(1, 1, -1, -1);
    // Three ridges, each a grey line with a white one beside it.
    const int Right = R.right() + 1, Bottom = R.bottom() + 1;
    for (int D : { 4, 8, 12 }) {
        C.SetPen(clGray, psSolid, 2, pmCopy);
        C.MoveTo(Right - D, Bottom);
        C.LineTo(Right, Bottom - D);
    }
    for (int D : { 5, 9, 13 }) {
        C.SetPen(clWhite, psSolid, 1, pmCopy);
        C.MoveTo(Right - D, Bottom);
        C.LineTo(Right, Bottom - D);
    }
}
