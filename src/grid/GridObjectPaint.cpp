// How a grid paints itself through its canvas: the walk over the visible
// cells, gaps, cell faces, text, buttons, the selection frame and the
// feedback of sizing and moving.
#include "grid/GridCanvas.h"
#include "grid/GridObject.h"
#include "grid/GridWindow.h"
#include "grid/DropList.h"
#include "grid/model/TextFlags.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

TColor Xnor(TColor C, TColor Other) { return ~(Other ^ C) & 0xFFFFFF; }

TColor LightenOrDarken(TColor C, int D)
{
    const int R = C & 0xFF, G = (C >> 8) & 0xFF, B = (C >> 16) & 0xFF;
    const int Luminance = int(std::lround(0.3 * R + 0.6 * G + 0.1 * B));
    const int Change = Luminance > 220 ? -D : D;
    auto Ch = [Change](int V) { return quint8(std::clamp(V + Change, 0, 255)); };
    return RGBColor(Ch(R), Ch(G), Ch(B));
}

QRect Shrunk(const QRect& R, const TTextMargin* M)
{
    if (M)
        return R.adjusted(M->Left, M->Top, -M->Right, -M->Bottom);
    return R.adjusted(3, 2, -3, -2);
}

bool IsLatinLetter(QChar C) { return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z'); }

} // namespace

bool TGridObject::SelectionVisible() const
{
    return fGridControl && (!fHideSelection || fGridControl->HasFocus());
}

void TGridObject::SetHotCell(TGridCell Value)
{
    if (Value == fHotCell)
        return;
    InvalidateCell(fHotCell);
    fHotCell = Value;
    InvalidateCell(fHotCell);
}

void TGridObject::FormatValue(TDrawCellInfo& Info) const
{
    if (Info.CellFormat != cfmtNumeric && Info.CellFormat != cfmtDate
        && Info.CellFormat != cfmtTime)
        return;
    const QString Text = Info.WideText();
    if (Text.isEmpty() || IsLatinLetter(Text[0]))
        return;
    const QLocale Locale;
    bool Ok = false;
    const double V = Locale.toDouble(Text.trimmed(), &Ok);
    if (!Ok || !std::isfinite(V))
        return;
    QString Shown;
    if (Info.CellFormat == cfmtNumeric) {
        QLocale Plain = Locale;
        Plain.setNumberOptions(QLocale::OmitGroupSeparator);
        Shown = Plain.toString(V, 'f', Info.Precision);
    } else {
        // Dates and times are counted in days from 30 December 1899, the
        // fraction being the time of day.
        const double Days = std::floor(V);
        if (std::abs(Days) > 3.0e6)
            return;
        if (Info.CellFormat == cfmtDate) {
            Shown = Locale.toString(QDate(1899, 12, 30).addDays(qint64(Days)), QLocale::ShortFormat);
        } else {
            const qint64 Ms = std::llround((V - Days) * 86400000.0) % 86400000;
            Shown = Locale.toString(QTime(0, 0).addMSecs(int(Ms)), QLocale::ShortFormat);
        }
    }
    Info.SetWideText(Shown);
}

QRect TGridObject::GetTextRect(qint32 ACol, qint32 ARow, const TTextMargin* AMargin) const
{
    QRect R = RegionToRect(TGridRegion::Cell(ACol, ARow));
    R.adjust(SpaceWidth(), SpaceHeight(), -SpaceWidth(), -SpaceHeight());
    if (fSelectionFrame)
        R.adjust(1, 1, -2, -2);
    return Shrunk(R, AMargin);
}

QRect TGridObject::GetButtonRect(const TDrawCellInfo& Info, const QRect& TextRect) const
{
    const TCustomDropList* L = Info.DropList;
    if (!L || L->ButtonViewStyle == bvsNone)
        return QRect();
    const bool Strip = L->ButtonViewStyle <= bvsImage
        || (!L->CaptionBorder() && L->ButtonWidth != 0);
    if (!Strip)
        return TextRect.adjusted(-3, -2, 3, 2);
    const int W = L->ButtonWidth + (fCtl3D ? 1 : 0);
    if (TextRect.width() < W)
        return QRect();
    int Left = TextRect.right() + 1 - W;
    if (L->ButtonAlignment == baLeft)
        Left = TextRect.left();
    else if (L->ButtonAlignment == baCenter)
        Left = TextRect.left() + (TextRect.width() - W) / 2;
    return QRect(Left, TextRect.top() + 1, W, TextRect.height() - 2);
}

void TGridObject::PaintGrid(IGridCanvas& Canvas, const QRect& ARect)
{
    if (!fGridControl && !fClientOverride)
        return;
    const QRect Client = GetClientRect();
    QRect Area = ARect.isEmpty() ? Canvas.ClipBox() : ARect;
    Area = Area.isEmpty() ? Client : Area.intersected(Client);
    if (Area.isEmpty())
        return;
    Canvas.SaveState();
    Canvas.IntersectClip(Area);
    const bool Visible = SelectionVisible();
    fBlack = fGridControl && fGridControl->HasFocus() ? 0 : Canvas.ResolveColor(clEditHighlight());
    const qint32 SW = SpaceWidth();
    const qint32 SH = SpaceHeight();

    // The columns are laid out once; every row reuses them.
    fDrawCols.clear();
    qint64 X = Client.left();
    for (qint32 C = -1;;) {
        C = NextCol(C);
        if (C >= ColCount() || X > Area.right())
            break;
        if (!GetColVisible(C))
            continue;
        const qint32 W = GetColWidth(C);
        fDrawCols.push_back({ C, qint32(X), W, fColHeads->FindHead(C) });
        X += SW + W;
    }
    qint64 Y = Client.top();
    qint32 LastRow = -1;
    for (qint32 R = -1;;) {
        R = NextRow(R);
        if (R >= RowCount() || Y > Area.bottom())
            break;
        if (!GetRowVisible(R))
            continue;
        const TDrawStrip Row { R, qint32(Y), GetRowHeight(R), fRowHeads->FindHead(R) };
        Y += SH + Row.Size;
        LastRow = R;
        if (Row.Pos + Row.Size + 2 * SH <= Area.top())
            continue;
        for (const TDrawStrip& Col : fDrawCols) {
            const QRect Strip(Col.Pos, Row.Pos, Col.Size + 2 * SW, Row.Size + 2 * SH);
            if (!Strip.intersects(Area))
                continue;
            TCellStates State;
            const bool Fixed = IsFixed(Col.Index, R);
            if (Fixed)
                State.Include(csFixed);
            if (!fRowSelect && IsFocused(Col.Index, R)) {
                if (Visible)
                    State.Include(csFocused);
                if (fEditorMode)
                    State.Include(csEditor);
            }
            if (Visible && IsSelected(Col.Index, R))
                State.Include(csSelected);
            BuildCellInfo(Col.Index, R, State, Col.Head, Row.Head,
                Fixed ? nullptr : fCells->FindCell(Col.Index, R), fDrawInfo);
            if (fDrawInfo.DropList
                && (fDrawInfo.DropList->ButtonViewStyle == bvsSpeedButton
                    || fDrawInfo.DropList->ButtonViewStyle == bvsListButton)) {
                State.Exclude(csFocused);
                State.Exclude(csSelected);
            }
            DrawSpaces(Canvas, Col, Row, Fixed);
            DrawCellFace(Canvas, fDrawInfo,
                QRect(Col.Pos + SW, Row.Pos + SH, Col.Size, Row.Size), State);
        }
    }
    const qint32 LastCol = fDrawCols.empty() ? -1 : fDrawCols.back().Index;
    fDrawEnd = { LastCol < 0 ? 0 : NextCol(LastCol), LastRow < 0 ? 0 : NextRow(LastRow) };

    // The gaps after the last column and row, and what lies beyond them.
    const qint32 Right = qint32(std::min<qint64>(X, Client.right() + 1));
    const qint32 Bottom = qint32(std::min<qint64>(Y, Client.bottom() + 1));
    Canvas.SetBrush(Canvas.ResolveColor(clFixedSpace()), true);
    Canvas.FillRect(QRect(Right, Client.top(), SW, Bottom - Client.top() + SH));
    Canvas.FillRect(QRect(Client.left(), Bottom, Right - Client.left(), SH));
    // A themed grid shows the platform's background beyond its cells on its
    // own window only: a page drawn elsewhere keeps the plain colour.
    const QRect Beyond[] = { QRect(QPoint(Right + SW, Client.top()), Client.bottomRight()),
        QRect(QPoint(Client.left(), Bottom + SH), QPoint(Right + SW - 1, Client.bottom())) };
    Canvas.SetBrush(Canvas.ResolveColor(clFixedCell()), true);
    for (const QRect& R : Beyond)
        if (!R.isEmpty() && !(fUseTheme && !fClientOverride && Canvas.DrawThemeBackground(R)))
            Canvas.FillRect(R);
    DrawEditor(Canvas);
    if (Visible)
        DrawSelectionFrame(Canvas);
    DrawDragFeedback(Canvas);
    Canvas.RestoreState();
}

void TGridObject::Draw(
    IGridCanvas& Canvas, const QRect& AClientRect, TGridCell AFirstCell, TGridCell& ALastCell)
{
    const TGridCell Saved = fFirst;
    const std::optional<QRect> SavedClient = fClientOverride;
    fClientOverride = AClientRect;
    fFirst.Col = std::clamp(AFirstCell.Col, FixedCols(), fArea.LastCol);
    fFirst.Row = std::clamp(AFirstCell.Row, FixedRows(), fArea.LastRow);
    try {
        PaintGrid(Canvas, AClientRect);
        // The next page starts at the first row (column) not drawn whole:
        // one cut off at the edge is drawn again there. When every column
        // fitted, the column stays, so that paging down keeps it.
        const TGridCell Last = GetLastVisible(AClientRect);
        auto WholeEnd = [this](qint32 Last, qint32 First, qint32 Count, qint64 Origin,
                            qint64 Edge, qint32 Space, bool IsCol) {
            qint64 A = Origin;
            for (qint32 I = -1;;) {
                I = IsCol ? NextCol(I) : NextRow(I);
                if (I >= Count)
                    return Count;
                if (!(IsCol ? GetColVisible(I) : GetRowVisible(I)))
                    continue;
                A += Space + (IsCol ? GetColWidth(I) : GetRowHeight(I));
                if (A + Space > Edge)
                    return I >= First ? I : First;
                if (I > Last && I >= First)
                    return I;
            }
        };
        const qint32 NextRowStart = WholeEnd(Last.Row, fFirst.Row, RowCount(), AClientRect.top(),
            qint64(AClientRect.top()) + AClientRect.height(), SpaceHeight(), false);
        const qint32 NextColStart = WholeEnd(Last.Col, fFirst.Col, ColCount(), AClientRect.left(),
            qint64(AClientRect.left()) + AClientRect.width(), SpaceWidth(), true);
        ALastCell.Row = NextRowStart;
        ALastCell.Col = NextColStart >= ColCount() ? fFirst.Col : NextColStart;
    } catch (...) {
        fFirst = Saved;
        fClientOverride = SavedClient;
        throw;
    }
    fFirst = Saved;
    fClientOverride = SavedClient;
}

void TGridObject::DrawSpaces(IGridCanvas& Canvas, const TDrawStrip& C, const TDrawStrip& R, bool Fixed)
{
    const qint32 SW = SpaceWidth();
    const qint32 SH = SpaceHeight();
    if (SW <= 0 && SH <= 0)
        return;
    const TColor FixedSpace = Canvas.ResolveColor(clFixedSpace());
    const TColor EditSpace = Canvas.ResolveColor(clEditSpace());
    const bool TopEdge = Fixed || R.Index == TopRow();
    const bool LeftEdge = Fixed || C.Index == LeftCol();
    Canvas.SetBrush(TopEdge || LeftEdge ? FixedSpace : EditSpace, true);
    Canvas.FillRect(QRect(C.Pos, R.Pos, SW, SH));
    Canvas.SetBrush(TopEdge ? FixedSpace : EditSpace, true);
    Canvas.FillRect(QRect(C.Pos + SW, R.Pos, C.Size, SH));
    Canvas.SetBrush(LeftEdge ? FixedSpace : EditSpace, true);
    Canvas.FillRect(QRect(C.Pos, R.Pos + SH, SW, R.Size));
}

void TGridObject::DrawCellFace(
    IGridCanvas& Canvas, TDrawCellInfo& Info, const QRect& Body, TCellStates AState)
{
    const bool Fixed = AState.Contains(csFixed);
    const bool Selected = AState.Contains(csSelected);
    const bool Focused = AState.Contains(csFocused);
    QRect B = Body;
    TColor Brush = Canvas.ResolveColor(Info.BackColor);
    const TColor FontColor = Canvas.ResolveColor(Info.Font().Color());
    if (Fixed) {
        if (fCtl3D) {
            const TColor Dark = std::min(SpaceWidth(), SpaceHeight()) <= 2
                ? Canvas.ResolveColor(clFixedCell())
                : clBlack;
            Canvas.SetBrush(clWhite, true);
            Canvas.FillRect(QRect(B.left(), B.top(), B.width(), 1));
            Canvas.FillRect(QRect(B.left(), B.top(), 1, B.height()));
            Canvas.SetBrush(Dark, true);
            Canvas.FillRect(QRect(B.left(), B.bottom(), B.width(), 1));
            Canvas.FillRect(QRect(B.right(), B.top(), 1, B.height()));
            B.adjust(1, 1, -1, -1);
        }
        if (Selected && fHighlight)
            Brush = Canvas.ResolveColor(clFixedHighlight());
    } else if (Selected && !Focused) {
        Brush = Xnor(Brush, Canvas.ResolveColor(clEditHighlight()));
        if (fCopyState != csNone)
            Brush = LightenOrDarken(Brush, 15);
        Info.Font().SetColor(Xnor(FontColor, Brush));
    } else if (fCopyState != csNone && fStartCopy && fCopySource.Contains(Info.Col(), Info.Row())) {
        // The block being copied stays marked where it came from; the part
        // the copy covers again is told apart by a lighter or darker shade.
        Brush = Xnor(Brush, Canvas.ResolveColor(clEditHighlight()));
        const bool Covered = fCopyIntersectRegion.Contains(Info.Col(), Info.Row());
        if (fCopyState == csCopyStretch ? Covered : !Covered)
            Brush = LightenOrDarken(Brush, 15);
        Info.Font().SetColor(Xnor(FontColor, Brush));
    }
    const QRect TextRect = Shrunk(B, Info.Margin ? &*Info.Margin : nullptr);
    const bool Saved = Info.DropList && Info.DropList->ButtonViewStyle != bvsNone;
    if (Saved) {
        Canvas.SaveState();
        const TCustomDropList& L = *Info.DropList;
        const bool Dragging = fGridState == gsRowSizing || fGridState == gsColSizing
            || fGridState == gsRowExtraction || fGridState == gsColExtraction;
        const bool Shown = L.ButtonAlwaysVisible
            || (!fNavigationKeyDown
                && (IsFocused(Info.Col(), Info.Row())
                    || (fHotCell.Col == Info.Col() && fHotCell.Row == Info.Row())));
        const QRect Button = GetButtonRect(Info, TextRect);
        if (Shown && !Dragging && !Button.isEmpty()) {
            DrawCellButton(Canvas, Info, Button);
            Canvas.ExcludeClip(Button);
        }
    }
    Canvas.SetBrush(Brush, true);
    Canvas.FillRect(B);
    AdvancedDrawCell(Info.Col(), Info.Row(), AState, TextRect, Info, Canvas);
    if (!AState.Contains(csEditor))
        DrawCellText(Canvas, Info, TextRect);
    if (Saved)
        Canvas.RestoreState();
    if (Fixed || !Focused)
        return;
    if (!fSelectionFrame) {
        Canvas.DrawFocusRect(B.adjusted(1, 1, -1, -1));
    } else if (fSelection->IsMultiRegion()) {
        Canvas.SetBrush(~Brush & 0xFFFFFF, true);
        Canvas.FrameRect(B.adjusted(1, 1, -1, -1));
    }
}

bool TGridObject::AdvancedDrawCell(qint32 ACol, qint32 ARow, TCellStates AState,
    const QRect& ATextRect, TDrawCellInfo& Info, IGridCanvas& Canvas)
{
    if (ACol < 0 || ARow < 0 || ACol > fArea.LastCol || ARow > fArea.LastRow)
        return false;
    auto* ColHead = static_cast<THead*>(Info.ColHead);
    auto* RowHead = static_cast<THead*>(Info.RowHead);
    if (fGridControl
        && fGridControl->AdvancedDrawCell(ACol, ARow, AState, ColHead, RowHead, ATextRect, Info, Canvas))
        return true;
    for (TCellObject* O : { Info.ColHead, Info.RowHead, Info.Cell })
        if (O && O->AdvancedDrawCell(ACol, ARow, AState, ColHead, RowHead, ATextRect, Info, &Canvas))
            return true;
    return false;
}

void TGridObject::DrawCellText(IGridCanvas& Canvas, TDrawCellInfo& Info, const QRect& TextRect)
{
    using namespace TextFlags;
    Canvas.SetFont(Info.Font());
    Canvas.SetFontColor(Canvas.ResolveColor(Info.Font().Color()));
    Canvas.SetBrush(0, false);
    const quint32 Flags = Info.Flags;
    const bool Clip = !(Flags & CanvasText::tfNoClip);
    if (!(Flags & CanvasText::tfCalcRect)) {
        QRect R = TextRect;
        Canvas.DrawText(Info.WideText(), R, Flags);
        return;
    }
    // The grid lays the lines out itself: one box of a capital's height per
    // line, each drawn as a single line with the cell's horizontal placement.
    const quint32 LineFlags = (Flags & (tfHCenter | tfRight | CanvasText::tfExpandTabs
                                  | CanvasText::tfNoClip | tfShowPrefix | tfNoPrefix))
        | tfSingleLine;
    const int LineHeight = Canvas.TextExtent(Info.Font(), QStringLiteral("A"), LineFlags).height();
    auto DrawLine = [&](const QString& Line, int Top, int Height) {
        QRect Box(TextRect.left(), Top, TextRect.width(), Height);
        if (Clip)
            Box = Box.intersected(TextRect);
        if (!Box.isEmpty() || !Clip)
            Canvas.DrawText(Line, Box, LineFlags);
    };
    const int Count = Info.WideStrings.Count();
    if ((Flags & tfSingleLine) || Count <= 1) {
        int Top = TextRect.top();
        if (Flags & tfBottom)
            Top = TextRect.bottom() + 1 - LineHeight;
        else if (Flags & tfVCenter)
            Top = TextRect.top() + (TextRect.height() - LineHeight) / 2;
        DrawLine((Flags & tfSingleLine) ? Info.WideText() : Info.WideStrings.Get(0), Top, LineHeight);
        return;
    }
    if (Flags & tfBottom) {
        int Top = TextRect.bottom() + 1 - LineHeight;
        for (int I = Count - 1; I >= 0 && Top + LineHeight > TextRect.top(); --I) {
            DrawLine(Info.WideStrings.Get(I), Top, LineHeight);
            Top -= LineHeight + 1;
        }
        return;
    }
    int Top = TextRect.top();
    if (Flags & tfVCenter)
        Top = TextRect.top() + 1 + (TextRect.height() - Count * (LineHeight + 1) - 1) / 2;
    for (int I = 0; I < Count && Top <= TextRect.bottom(); ++I) {
        if (Top + LineHeight > TextRect.top())
            DrawLine(Info.WideStrings.Get(I), Top, LineHeight);
        Top += LineHeight + 1;
    }
}

void TGridObject::DrawCellButton(IGridCanvas& Canvas, TDrawCellInfo& Info, const QRect& Button)
{
    TCustomDropList& L = *Info.DropList;
    if (L.OnDrawButton) {
        bool Handled = false;
        L.OnDrawButton(this, Info.Col(), Info.Row(), Info.State, static_cast<THead*>(Info.ColHead),
            static_cast<THead*>(Info.RowHead), Button, Info, &Canvas, Handled);
        if (Handled)
            return;
    }
    const TColor BtnFace = Canvas.ResolveColor(clBtnFace);
    const TColor Shadow = Canvas.ResolveColor(SystemColor(16));
    const TColor Back = Canvas.ResolveColor(Info.BackColor);
    const TGridCell Cell { Info.Col(), Info.Row() };
    // Held under the pointer, or with its list open, the button looks
    // pushed in; a disabled one never goes down.
    const bool Pressed = (fButtonDown && L.ButtonEnabled && fActiveCell == Cell)
        || (fDropList == &L && fOpenCell == Cell);
    const bool Hot = fHotCell == Cell;
    if (Pressed) {
        Canvas.SetBrush(clWhite, true);
        Canvas.SetPen(clBlack, psSolid, 1, pmCopy);
        Canvas.Rectangle(Button);
    } else {
        const TColor Face = L.ButtonTransparent() ? Back : Xnor(Back, BtnFace);
        Canvas.SetBrush(Face, true);
        Canvas.SetPen(L.ButtonFlat() && !Hot ? Back : Xnor(Face, Shadow), psSolid, 1, pmCopy);
        Canvas.Rectangle(Button);
        if (fCtl3D) {
            Canvas.SetBrush(clWhite, true);
            Canvas.FillRect(QRect(Button.left() + 1, Button.top() + 1, Button.width() - 2, 1));
            Canvas.FillRect(QRect(Button.left() + 1, Button.top() + 1, 1, Button.height() - 2));
            Canvas.SetBrush(Shadow, true);
            Canvas.FillRect(QRect(Button.left() + 1, Button.bottom() - 1, Button.width() - 2, 1));
            Canvas.FillRect(QRect(Button.right() - 1, Button.top() + 1, 1, Button.height() - 2));
        }
    }
    const QPoint Shift = Pressed && fCtl3D ? QPoint(1, 1) : QPoint(0, 0);
    const TColor Glyph = L.ButtonEnabled ? clBlack : clGray;
    const QPoint C = Button.center() + Shift;
    auto Triangle = [&](QPoint Mid) {
        Canvas.SetBrush(Glyph, true);
        for (int I = 0; I < 3; ++I)
            Canvas.FillRect(QRect(Mid.x() - 2 + I, Mid.y() - 1 + I, 5 - 2 * I, 1));
    };
    switch (L.ButtonViewStyle) {
    case bvsList:
        Triangle(C);
        break;
    case bvsEllipsis:
        Canvas.SetBrush(Glyph, true);
        for (int I = -1; I <= 1; ++I)
            Canvas.FillRect(QRect(C.x() + I * 3 - 1, C.y(), 2, 2));
        break;
    case bvsCheck: {
        const int S = std::min(Button.width(), Button.height()) - 4;
        const QRect Box(C.x() - S / 2, C.y() - S / 2, S, S);
        Canvas.SetBrush(Canvas.ResolveColor(L.ButtonEnabled ? clWindow : clBtnFace), true);
        Canvas.SetPen(Glyph, psSolid, 1, pmCopy);
        Canvas.Rectangle(Box);
        if (L.GetChecked(this, Info.Col(), Info.Row(), Info.State,
                static_cast<THead*>(Info.ColHead), static_cast<THead*>(Info.RowHead),
                static_cast<TCell*>(Info.Cell), Info.FullText)
            > 0) {
            const QPoint Mark[] = { { Box.left() + 2, Box.center().y() },
                { Box.left() + S / 2 - 1, Box.bottom() - 2 }, { Box.right() - 1, Box.top() + 1 } };
            Canvas.SetPen(Glyph, psSolid, 2, pmCopy);
            Canvas.Polyline(Mark);
        }
        break;
    }
    case bvsListButton: {
        const int Arrow = 12;
        const QRect Strip(Button.right() + 1 - Arrow, Button.top(), Arrow, Button.height());
        Canvas.SetBrush(Shadow, true);
        Canvas.FillRect(QRect(Strip.left(), Strip.top() + 2, 1, Strip.height() - 4));
        Triangle(Strip.center() + QPoint(1, 0));
        // The whole cell is the button, so its caption is drawn on it.
        QRect Caption(Button.left() + 3, Button.top(), Button.width() - Arrow - 5, Button.height());
        Canvas.SetFont(Info.Font());
        Canvas.SetFontColor(L.ButtonEnabled ? Canvas.ResolveColor(Info.Font().Color()) : clGray);
        Canvas.SetBrush(0, false);
        Canvas.DrawText(Info.WideText(), Caption,
            (Info.Flags & (TextFlags::tfHCenter | TextFlags::tfRight)) | TextFlags::tfVCenter
                | TextFlags::tfSingleLine | CanvasText::tfEndEllipsis);
        break;
    }
    case bvsImage:
        DrawButtonImage(Canvas, L, Button.adjusted(1, 1, -1, -1).translated(Shift));
        break;
    case bvsSpeedButton:
        DrawSpeedButton(Canvas, Info, Button, Pressed);
        break;
    default:
        break;
    }
}

void TGridObject::DrawButtonImage(IGridCanvas& Canvas, const TCustomDropList& L, const QRect& Box)
{
    if (L.ButtonImage().isEmpty() || Box.isEmpty())
        return;
    // Blending a picture over the face is the slow part of it; while
    // keys repeat or a selection is dragged the pictures go down opaque and
    // the whole grid is painted properly once that ends.
    const bool Transparent = !fNavigationKeyDown && fGridState != gsSelecting;
    if (!Transparent)
        fRequestInvalidateTransparent = true;
    if (L.StretchImage()) {
        Canvas.DrawImage(L.ButtonImage(), Box, Transparent);
        return;
    }
    const QSize Size = Canvas.ImageSize(L.ButtonImage());
    if (Size.isEmpty())
        return;
    const QRect At(Box.left() + (Box.width() - Size.width()) / 2,
        Box.top() + (Box.height() - Size.height()) / 2, Size.width(), Size.height());
    Canvas.SaveState();
    Canvas.IntersectClip(Box);
    Canvas.DrawImage(L.ButtonImage(), At, Transparent);
    Canvas.RestoreState();
}

void TGridObject::DrawSpeedButton(
    IGridCanvas& Canvas, TDrawCellInfo& Info, const QRect& Button, bool Pressed)
{
    const TCustomDropList& L = *Info.DropList;
    const QRect Inner = Button.adjusted(1, 1, -1, -1);
    const QPoint Shift = Pressed ? QPoint(1, 1) : QPoint(0, 0);
    if (!L.CaptionBorder() || L.ButtonWidth <= 0 || Inner.width() <= L.ButtonWidth) {
        DrawButtonImage(Canvas, L, Inner.translated(Shift));
        return;
    }
    // The picture keeps its strip at the aligned side and the caption takes
    // the rest of the button.
    const int W = L.ButtonWidth;
    QRect Picture(Inner.right() + 1 - W, Inner.top(), W, Inner.height());
    QRect Caption(Inner.left() + 2, Inner.top(), Inner.width() - W - 4, Inner.height());
    if (L.ButtonAlignment == baLeft) {
        Picture.moveLeft(Inner.left());
        Caption.moveLeft(Inner.left() + W + 2);
    } else if (L.ButtonAlignment == baCenter) {
        Picture.moveLeft(Inner.left() + (Inner.width() - W) / 2);
    }
    DrawButtonImage(Canvas, L, Picture.translated(Shift));
    if (L.ButtonAlignment == baCenter)
        return;
    Canvas.SetFont(Info.Font());
    Canvas.SetFontColor(L.ButtonEnabled ? Canvas.ResolveColor(Info.Font().Color()) : clGray);
    Canvas.SetBrush(0, false);
    QRect Text = Caption.translated(Shift);
    Canvas.DrawText(Info.WideText(), Text,
        (Info.Flags & (TextFlags::tfHCenter | TextFlags::tfRight)) | TextFlags::tfVCenter
            | TextFlags::tfSingleLine | CanvasText::tfEndEllipsis);
}

void TGridObject::DrawSelectionFrame(IGridCanvas& Canvas)
{
    if (!fSelectionFrame || !fSelection->IsSingleRegion() || fRowSelect)
        return;
    const TGridRegion Region = fSelection->Last()->Coord().Normalized();
    const QRect Client = GetClientRect();
    const QRect Scrollable(QPoint(Client.left() + GetFixedWidth(), Client.top() + GetFixedHeight()),
        Client.bottomRight());
    // RegionToRect widens the rectangle by the frame's own pixels; the gap
    // ring proper lies one pixel inside that.
    const QRect Outer = RegionToRect(Region).adjusted(1, 1, -1, -1);
    if (Outer.isEmpty())
        return;
    const qint32 SW = std::max(1, SpaceWidth());
    const qint32 SH = std::max(1, SpaceHeight());
    const TColor Frame = Xnor(Canvas.ResolveColor(clEditSpace()), fBlack);
    Canvas.SaveState();
    Canvas.IntersectClip(Scrollable);
    // The frame breaks off before the bottom-right corner, where the fill
    // handle sits.
    const int CutX = Outer.right() - 6, CutY = Outer.bottom() - 6;
    // Outer reaches one pixel past the gaps on the right and bottom only.
    const QRect Gaps(Outer.topLeft(), Outer.bottomRight() - QPoint(1, 1));
    Canvas.SetBrush(Frame, true);
    Canvas.FillRect(QRect(Gaps.left(), Gaps.top(), Gaps.width(), SH));
    Canvas.FillRect(QRect(Gaps.left(), Gaps.top(), SW, Gaps.height()));
    Canvas.FillRect(QRect(Gaps.left(), Gaps.bottom() + 1 - SH, CutX - Gaps.left() + 1, SH));
    Canvas.FillRect(QRect(Gaps.right() + 1 - SW, Gaps.top(), SW, CutY - Gaps.top() + 1));
    // The pixels on either side of the gaps are inverted against fBlack, so
    // that the frame stands out on cells of any colour. Every pixel is
    // touched once: a second stroke would take the first one away.
    Canvas.SetPen(fBlack, psSolid, 1, pmNotXor);
    auto Ring = [&](const QRect& R) {
        Canvas.MoveTo(R.left(), R.top());
        Canvas.LineTo(R.right() + 1, R.top());
        if (R.height() < 2)
            return;
        const int BottomEnd = std::min(R.right(), CutX);
        Canvas.MoveTo(R.left(), R.bottom());
        Canvas.LineTo(BottomEnd + 1, R.bottom());
        if (R.height() < 3)
            return;
        Canvas.MoveTo(R.left(), R.top() + 1);
        Canvas.LineTo(R.left(), R.bottom());
        const int RightEnd = std::min(R.bottom() - 1, CutY);
        if (R.width() > 1 && RightEnd > R.top()) {
            Canvas.MoveTo(R.right(), R.top() + 1);
            Canvas.LineTo(R.right(), RightEnd + 1);
        }
    };
    Ring(Gaps.adjusted(-1, -1, 1, 1));
    const QRect Inner = Gaps.adjusted(SW, SH, -SW, -SH);
    if (!Inner.isEmpty())
        Ring(Inner);
    Canvas.SetPen(clBlack, psSolid, 1, pmCopy);
    Canvas.SetBrush(Frame, true);
    Canvas.FillRect(QRect(Outer.right() - 3, Outer.bottom() - 3, 5, 5));
    Canvas.RestoreState();
}

QString TGridObject::HintText(IGridCanvas& Canvas, qint32 ACol, qint32 ARow)
{
    if (ACol < FixedCols() || ARow < FixedRows() || ACol > fArea.LastCol || ARow > fArea.LastRow)
        return QString();
    if (fEditorMode && fEditCell.Col == ACol && fEditCell.Row == ARow)
        return QString();
    TDrawCellInfo Info;
    if (!GetCellInfo(ACol, ARow, CellState(ACol, ARow), Info) || Info.FullText.isEmpty())
        return QString();
    const QRect R = GetTextRect(ACol, ARow, Info.Margin ? &*Info.Margin : nullptr);
    QSize Need;
    if (Info.Flags & TextFlags::tfSingleLine) {
        Need = Canvas.TextExtent(Info.Font(), Info.WideText(), Info.Flags);
    } else {
        const int Line = Canvas.TextExtent(Info.Font(), QStringLiteral("A"), Info.Flags).height();
        for (int L = 0; L < Info.WideStrings.Count(); ++L)
            Need.setWidth(std::max(Need.width(),
                Canvas.TextExtent(Info.Font(), Info.WideStrings.Get(L), Info.Flags).width()));
        Need.setHeight((Line + 1) * std::max(1, Info.WideStrings.Count()) - 1);
    }
    if (Need.width() < R.width() && Need.height() < R.height())
        return QString();
    return Info.FullText;
}

void TGridObject::DrawSizingLine(IGridCanvas& Canvas, qint32 Pos, bool Vertical)
{
    const QRect Client = GetClientRect();
    const QRect Extent = fAutoCollapse ? RegionToRect(fArea).intersected(Client) : Client;
    Canvas.SetPen(clBtnFace, psDot, 1, pmXor);
    Canvas.DrawFocusRect(Vertical ? QRect(Pos, Extent.top(), 1, Extent.height())
                                  : QRect(Extent.left(), Pos, Extent.width(), 1));
}

void TGridObject::DrawMovingMark(IGridCanvas& Canvas, qint32 Pos, bool Vertical)
{
    const QRect Client = GetClientRect();
    Canvas.SetPen(RGBColor(255, 255, 0), psDot, 5, pmXor);
    if (Vertical) {
        Canvas.MoveTo(Pos, Client.top());
        Canvas.LineTo(Pos, Client.bottom() + 1);
    } else {
        Canvas.MoveTo(Client.left(), Pos);
        Canvas.LineTo(Client.right() + 1, Pos);
    }
    Canvas.SetPen(clBlack, psSolid, 1, pmCopy);
}
