// What a pointer drag does while it lasts: on every tick of the timer the
// view scrolls when the pointer is beyond its edge, and the selection, the
// copied block or the moving mark follows the pointer; the release puts the
// copied block or the moved rows and columns down.
#include "grid/GridCanvas.h"
#include "grid/GridObject.h"
#include "grid/GridWindow.h"

#include <algorithm>

namespace {

// The pointer must leave this many pixels around the press before a copy
// drag changes anything, so that a slightly shaky click does not copy.
constexpr int CopyDeadZone = 5;

}

TGridCell TGridObject::AutoScroll(bool Rows, bool Cols)
{
    const QRect Client = GetClientRect();
    const qint32 X = fCursorPos.x();
    const qint32 Y = fCursorPos.y();
    TGridCell NewFirst = fFirst;
    if (Cols && !fRowSelect) {
        const qint32 Right = Client.left() + Client.width();
        const qint32 FixedEdge = Client.left() + GetFixedWidth();
        if (X >= Right) {
            const qint32 N = (X - Right) / 10 + 1;
            if (GetLastVisible().Col < fArea.LastCol)
                NewFirst.Col = StepVisibleCol(LeftCol(), N);
        } else if (X < FixedEdge && LeftCol() > FixedCols()) {
            const qint32 N = (FixedEdge - X) / 10 + 1;
            NewFirst.Col = StepVisibleCol(LeftCol(), -N);
        }
    }
    if (Rows && !fRowSelect) {
        const qint32 Bottom = Client.top() + Client.height();
        const qint32 FixedEdge = Client.top() + GetFixedHeight();
        if (Y >= Bottom) {
            const qint32 N = (Y - Bottom) / 10 + 1;
            if (GetLastVisible().Row < fArea.LastRow)
                NewFirst.Row = StepVisibleRow(TopRow(), N);
        } else if (Y < FixedEdge && TopRow() > FixedRows()) {
            const qint32 N = (FixedEdge - Y) / 10 + 1;
            NewFirst.Row = StepVisibleRow(TopRow(), -N);
        }
    }
    if (NewFirst != fFirst) {
        if (fGridState == gsRowMoving || fGridState == gsColMoving) {
            // The mark is taken away before the pixels move, or it would
            // move with them.
            InvalidateMovingMark();
            fEndMoving = -1;
        }
        SetFirst(NewFirst.Col, NewFirst.Row);
    }
    // Over the headers or beyond the last cell the nearest data cell on
    // screen counts.
    TGridCell Target = MouseToCell(X, Y);
    const TGridCell Last = GetLastVisible();
    if (X < Client.left() + GetFixedWidth())
        Target.Col = LeftCol();
    else if (X >= Client.left() + Client.width())
        Target.Col = std::max(Last.Col, LeftCol());
    if (Y < Client.top() + GetFixedHeight())
        Target.Row = TopRow();
    else if (Y >= Client.top() + Client.height())
        Target.Row = std::max(Last.Row, TopRow());
    Target.Col = std::clamp(Target.Col, FixedCols(), fArea.LastCol);
    Target.Row = std::clamp(Target.Row, FixedRows(), fArea.LastRow);
    return Target;
}

void TGridObject::TimerTick()
{
    switch (fGridState) {
    case gsSelecting:
    case gsRowSelecting:
    case gsColSelecting:
    case gsRowMoving:
    case gsColMoving: {
        const bool Rows = fGridState != gsColSelecting && fGridState != gsColMoving;
        const bool Cols = fGridState != gsRowSelecting && fGridState != gsRowMoving;
        if (fCopyState != csNone && !fStartCopy) {
            // Something emptied the selection since the press: nothing is
            // left to copy.
            if (fSelection->IsEmpty()) {
                fCopyState = csNone;
                return;
            }
            fStartCopy = true;
            fCopySource = fSelection->First()->Coord();
            fCopyIntersectRegion = fCopySource;
            fCopyHook = fCopyState == csCopyStretch
                ? fCopySource.Last()
                : TGridCell { std::clamp(fPressCell.Col, fCopySource.FirstCol, fCopySource.LastCol),
                      std::clamp(fPressCell.Row, fCopySource.FirstRow, fCopySource.LastRow) };
            fStartCopyHook = fCopyHook;
            fCopyCurrent = fCurrent;
        }
        if (fCopyState != csNone && !fCopyLeftDeadZone) {
            if (std::abs(fCursorPos.x() - fCopyPress.x()) <= CopyDeadZone
                && std::abs(fCursorPos.y() - fCopyPress.y()) <= CopyDeadZone)
                return;
            fCopyLeftDeadZone = true;
        }
        const TGridCell Target = AutoScroll(Rows, Cols);
        if (fGridState == gsRowMoving || fGridState == gsColMoving)
            TickMoving(Target);
        else if (fCopyState != csNone)
            TickCopy(Target);
        else
            TickSelecting(Target);
        break;
    }
    case gsTextSelecting:
        if (IsInternalEditorOpen())
            SetCaretAtPoint(fCursorPos.x(), fCursorPos.y(), true);
        break;
    default:
        break;
    }
}

void TGridObject::TickSelecting(TGridCell Target)
{
    if (fRowSelect || fSelection->IsEmpty())
        return;
    fSelection->SetCanRedraw(true);
    switch (fGridState) {
    case gsRowSelecting:
        fAnchor = { fArea.LastCol, Target.Row };
        fSelection->ChangeLast({ FixedCols(), fCurrent.Row }, fAnchor);
        break;
    case gsColSelecting:
        fAnchor = { Target.Col, fArea.LastRow };
        fSelection->ChangeLast({ fCurrent.Col, FixedRows() }, fAnchor);
        break;
    default:
        fAnchor = Target;
        fSelection->ChangeLast(fCurrent, fAnchor);
        break;
    }
}

void TGridObject::TickCopy(TGridCell Target)
{
    const TGridRegion Src = fCopySource;
    TGridRegion New = Src;
    if (fCopyState == csCopyStretch) {
        auto Beyond = [](qint32 V, qint32 Low, qint32 High) {
            return V > High ? V - High : V < Low ? V - Low : 0;
        };
        const qint32 DC = Beyond(Target.Col, Src.FirstCol, Src.LastCol);
        const qint32 DR = Beyond(Target.Row, Src.FirstRow, Src.LastRow);
        // The handle stretches one way at a time: the way the pointer went
        // further.
        if (DC != 0 && std::abs(DC) >= std::abs(DR)) {
            (DC > 0 ? New.LastCol : New.FirstCol) = Target.Col;
            fCopyHook = { Target.Col, DC > 0 ? Src.LastRow : Src.FirstRow };
        } else if (DR != 0) {
            (DR > 0 ? New.LastRow : New.FirstRow) = Target.Row;
            fCopyHook = { DR > 0 ? Src.LastCol : Src.FirstCol, Target.Row };
        } else {
            fCopyHook = Src.Last();
        }
    } else {
        fCopyHook = Target;
        qint32 DC = Target.Col - fStartCopyHook.Col;
        qint32 DR = Target.Row - fStartCopyHook.Row;
        // The block stays whole inside the data area.
        DC = std::clamp(DC, fArea.FirstCol - Src.FirstCol, fArea.LastCol - Src.LastCol);
        DR = std::clamp(DR, fArea.FirstRow - Src.FirstRow, fArea.LastRow - Src.LastRow);
        New = { Src.FirstCol + DC, Src.FirstRow + DR, Src.LastCol + DC, Src.LastRow + DR };
        // The current cell travels with the block, so that it stays inside
        // the selection the user sees.
        const TGridCell Current { fCopyCurrent.Col + DC, fCopyCurrent.Row + DR };
        if (Current != fCurrent) {
            InvalidateCell(fCurrent);
            fCurrent = fAnchor = Current;
            InvalidateCell(fCurrent);
        }
    }
    const TGridRegion Old = fSelection->IsEmpty() ? Src : fSelection->Last()->Coord();
    if (New == Old)
        return;
    fSelection->SetCanRedraw(true);
    fSelection->ChangeLast(New.First(), New.Last());
    fCopyIntersectRegion
        = { std::max(Src.FirstCol, New.FirstCol), std::max(Src.FirstRow, New.FirstRow),
              std::min(Src.LastCol, New.LastCol), std::min(Src.LastRow, New.LastRow) };
    InvalidateRegion(Src);
}

void TGridObject::EndCopy()
{
    if (!fStartCopy || fSelection->IsEmpty()) {
        fCopyState = csNone;
        return;
    }
    const TGridRegion Src = fCopySource;
    const TGridRegion Dest = fSelection->First()->Coord();
    const TCopyState Mode = fCopyState;
    // The cells are written as plain data: the copy state must not shift
    // the regions the writes touch.
    fCopyState = csNone;
    if (Dest != Src) {
        if (Mode == csCopyStretch) {
            if (!Dest.Contains(fCurrent))
                fCurrent = fAnchor = fCopyHook;
            FillRegion(Src, Dest);
        } else {
            // The current cell has moved with the block already.
            MoveRegion(Src, Dest);
        }
    }
    InvalidateRegion(Src);
    InvalidateRegion(Dest);
    fStartCopy = false;
    fCopySource = fCopyIntersectRegion = { -1, -1, -1, -1 };
}

QRect TGridObject::MovingMarkRect() const
{
    if (fEndMoving < 0 || fSelection->IsEmpty())
        return QRect();
    const bool IsCol = fGridState == gsColMoving;
    const TGridRegion Block = fSelection->First()->Coord();
    const bool Forward = IsCol ? fEndMoving > Block.LastCol : fEndMoving > Block.LastRow;
    const QRect Client = GetClientRect();
    const QRect R = IsCol ? RegionToRect({ fEndMoving, 0, fEndMoving, 0 })
                          : RegionToRect({ 0, fEndMoving, 0, fEndMoving });
    const qint32 Space = IsCol ? SpaceWidth() : SpaceHeight();
    if (IsCol) {
        if (R.left() < 0 && R.right() < 0)
            return QRect();
        const qint32 Pos = Forward ? R.right() - Space / 2 : R.left() + Space / 2;
        return QRect(Pos - 3, Client.top(), 7, Client.height());
    }
    if (R.top() < 0 && R.bottom() < 0)
        return QRect();
    const qint32 Pos = Forward ? R.bottom() - Space / 2 : R.top() + Space / 2;
    return QRect(Client.left(), Pos - 3, Client.width(), 7);
}

void TGridObject::InvalidateMovingMark()
{
    const QRect R = MovingMarkRect();
    if (!R.isEmpty())
        InvalidateRect(R);
}

void TGridObject::TickMoving(TGridCell Target)
{
    const bool IsCol = fGridState == gsColMoving;
    const qint32 Index = IsCol ? Target.Col : Target.Row;
    if (Index == fEndMoving)
        return;
    const bool Allowed = IsCol
        ? CheckColumnDrag(fCursorPos.x(), fCursorPos.y(), Target.Col, Target.Row)
        : CheckRowDrag(fCursorPos.x(), fCursorPos.y(), Target.Col, Target.Row);
    if (!Allowed)
        return;
    InvalidateMovingMark();
    fEndMoving = Index;
    InvalidateMovingMark();
}

void TGridObject::DropMovedBlock()
{
    const bool IsCol = fGridState == gsColMoving;
    qint32 Start = fStartMoving;
    qint32 End = fEndMoving;
    InvalidateMovingMark();
    const bool Agreed
        = IsCol ? EndColumnDrag(Start, End, fCursorPos) : EndRowDrag(Start, End, fCursorPos);
    fEndMoving = -1;
    if (!Agreed || End < 0 || fSelection->IsEmpty())
        return;
    const TGridRegion Block = fSelection->First()->Coord();
    const qint32 Count
        = IsCol ? Block.LastCol - Block.FirstCol + 1 : Block.LastRow - Block.FirstRow + 1;
    const qint32 First = IsCol ? Block.FirstCol : Block.FirstRow;
    const qint32 Last = First + Count - 1;
    const qint32 Limit = IsCol ? fArea.LastCol : fArea.LastRow;
    // A drop inside the block or one that would push the block past the
    // last column (row) moves nothing.
    if ((End > First && End <= Last) || End == Start || End < (IsCol ? FixedCols() : FixedRows())
        || End > Limit)
        return;
    const bool Forward = End > Last;
    const qint32 NewFirst = Forward ? End - Count + 1 : End;
    (IsCol ? fColHeads : fRowHeads)->MoveHeads(Start, End, Count);
    const qint32 Shift = NewFirst - First;
    TGridRegion Moved = IsCol
        ? TGridRegion { NewFirst, FixedRows(), NewFirst + Count - 1, fArea.LastRow }
        : TGridRegion { FixedCols(), NewFirst, fArea.LastCol, NewFirst + Count - 1 };
    TGridCell Current = fCurrent;
    if (IsCol && Current.Col >= First && Current.Col <= Last)
        Current.Col += Shift;
    if (!IsCol && Current.Row >= First && Current.Row <= Last)
        Current.Row += Shift;
    PressSelect(Current, Moved, Current, false);
    if (fGridControl) {
        if (IsCol)
            fGridControl->ColumnsMoved(Start, End, Count);
        else
            fGridControl->RowsMoved(Start, End, Count);
    }
    InvalidateGrid();
}

void TGridObject::DrawDragFeedback(IGridCanvas& Canvas)
{
    if (fGridState == gsColSizing || fGridState == gsRowSizing) {
        DrawSizingLine(Canvas, fSizingPos, fGridState == gsColSizing);
    } else if (fGridState == gsColMoving || fGridState == gsRowMoving) {
        const QRect R = MovingMarkRect();
        if (!R.isEmpty())
            DrawMovingMark(Canvas, fGridState == gsColMoving ? R.left() + 3 : R.top() + 3,
                fGridState == gsColMoving);
    }
}
