// The pointer over a grid: presses, motion and releases, the drag timer,
// selecting cells, rows and columns, moving whole rows and columns, the copy
// drag and the fill handle, in-cell buttons and the wheel.
#include "grid/GridObject.h"
#include "grid/GridWindow.h"
#include "grid/model/DropList.h"

#include <algorithm>

namespace {

constexpr int TextSelectInterval = 10;
constexpr int CopyInterval = 30;
constexpr int DragInterval = 50;
// The pointer must leave this many pixels around the press before a copy
// drag changes anything, so that a slightly shaky click does not copy.
constexpr int CopyDeadZone = 5;
constexpr int WheelNotch = 120;

}

bool TGridObject::SpecialState(qint32 X, qint32 Y) const
{
    const TGridState S = HitTestSizing(X, Y).State;
    return S >= gsRowSizing && S <= gsColMoving;
}

TCopyState TGridObject::HitTestCopy(qint32 X, qint32 Y) const
{
    if (fEditorMode || fRowSelect || !fSelectionFrame || !fSelection->IsSingleRegion()
        || fFormulaState)
        return csNone;
    const QRect Outer
        = RegionToRect(fSelection->First()->Coord()).translated(-1, -1).adjusted(-1, -1, 1, 1);
    if (!Outer.contains(X, Y))
        return csNone;
    const qint32 DX = SpaceWidth() + CopyDeadZone;
    const qint32 DY = SpaceHeight() + CopyDeadZone;
    const QRect Inner = Outer.adjusted(DX, DY, -DX, -DY);
    if (X > Inner.right() && Y > Inner.bottom())
        return csCopyStretch;
    if (Inner.isValid() && Inner.contains(X, Y))
        return csNone;
    return csCopyDrag;
}

bool TGridObject::ButtonHit(TGridCell Cell, qint32 X, qint32 Y)
{
    if (!fArea.Contains(Cell) || !fGridControl)
        return false;
    GetCellInfo(Cell.Col, Cell.Row, CellState(Cell.Col, Cell.Row), fDrawInfo);
    const TCustomDropList* L = fDrawInfo.DropList;
    if (!L || L->ButtonViewStyle == bvsNone || !L->ButtonEnabled)
        return false;
    const TTextMargin* Margin = fDrawInfo.Margin ? &*fDrawInfo.Margin : nullptr;
    return GetButtonRect(fDrawInfo, GetTextRect(Cell.Col, Cell.Row, Margin)).contains(X, Y);
}

void TGridObject::UpdateActiveCell(qint32 X, qint32 Y)
{
    const TGridCell Cell = MouseToCell(X, Y);
    if (fButtonPressed) {
        // A held button follows the pointer only in how it looks: pushed in
        // while the pointer is over it.
        const bool Down = ButtonHit(fActiveCell, X, Y);
        if (Down != fButtonDown) {
            fButtonDown = Down;
            InvalidateCell(fActiveCell);
        }
        return;
    }
    const TGridCell Active = fArea.Contains(Cell) ? Cell : TGridCell { -1, -1 };
    const bool Capture = ButtonHit(Active, X, Y);
    if (Active != fActiveCell || Capture != fButtonCapture) {
        InvalidateCell(fActiveCell);
        fActiveCell = Active;
        fButtonCapture = Capture;
        InvalidateCell(fActiveCell);
    }
}

int TGridObject::GetCurrentCursor(TShiftState, qint32 X, qint32 Y, qint32 ACol, qint32 ARow)
{
    if (fButtonCapture)
        return gpHandPoint;
    TGridState S = fGridState;
    if (S == gsNormal || S == gsFocusing)
        S = HitTestSizing(X, Y).State;
    switch (S) {
    case gsRowSizing: return gpRowSizing;
    case gsColSizing: return gpColSizing;
    case gsRowExtraction: return gpVertSplit;
    case gsColExtraction: return gpHorzSplit;
    default: break;
    }
    if (fGridState == gsRowMoving || fGridState == gsColMoving
        || ((fGridState == gsNormal || fGridState == gsFocusing)
            && (CheckColumnDrag(X, Y, ACol, ARow) || CheckRowDrag(X, Y, ACol, ARow)))) {
        const TRangeState R = fSelection->RangeState();
        return R == rsMultiColumn || R == rsMultiRow ? gpMultiDrag : gpDrag;
    }
    if (!fExcelCursors || ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        return gpDefault;
    if (ACol < FixedCols() && ARow < FixedRows())
        return gpExcelCross;
    if (ACol < FixedCols())
        return gpArrowRight;
    if (ARow < FixedRows())
        return gpArrowDown;
    if (IsInternalEditorOpen())
        return EditorRect().contains(X, Y) ? gpIBeam : gpExcelCross;
    switch (fCopyState != csNone ? fCopyState : HitTestCopy(X, Y)) {
    case csCopyStretch: return gpCopyStretch;
    case csCopyDrag: return gpCopyDrag;
    default: return gpExcelCross;
    }
}

void TGridObject::UpdateCursorAt(qint32 X, qint32 Y)
{
    if (!fGridControl)
        return;
    const TGridCell Cell = MouseToCell(X, Y);
    fGridControl->SetPointerShape(GetCurrentCursor(TShiftState(), X, Y, Cell.Col, Cell.Row));
}

bool TGridObject::CheckColumnDrag(qint32, qint32, qint32 ACol, qint32 ARow) const
{
    if (fEditorMode || !fColMoving || !fSelection->IsSingleRegion())
        return false;
    const TRangeState S = fSelection->RangeState();
    if (S != rsColumn && S != rsMultiColumn)
        return false;
    const TGridRegion Block = fSelection->First()->Coord();
    if (fGridState == gsColMoving)
        return ACol >= FixedCols() && ACol <= fArea.LastCol
            && (ACol <= Block.FirstCol || ACol > Block.LastCol);
    return ACol >= Block.FirstCol && ACol <= Block.LastCol && ARow >= 0 && ARow < FixedRows();
}

bool TGridObject::CheckRowDrag(qint32, qint32, qint32 ACol, qint32 ARow) const
{
    if (fEditorMode || !fRowMoving || !fSelection->IsSingleRegion())
        return false;
    const TRangeState S = fSelection->RangeState();
    if (S != rsRow && S != rsMultiRow)
        return false;
    const TGridRegion Block = fSelection->First()->Coord();
    if (fGridState == gsRowMoving)
        return ARow >= FixedRows() && ARow <= fArea.LastRow
            && (ARow <= Block.FirstRow || ARow > Block.LastRow);
    return ARow >= Block.FirstRow && ARow <= Block.LastRow && ACol >= 0 && ACol < FixedCols();
}

bool TGridObject::BeginColumnDrag(qint32&, qint32&, QPoint) { return true; }
bool TGridObject::EndColumnDrag(qint32&, qint32&, QPoint) { return true; }
bool TGridObject::BeginRowDrag(qint32&, qint32&, QPoint) { return true; }
bool TGridObject::EndRowDrag(qint32&, qint32&, QPoint) { return true; }

void TGridObject::SetTimer(bool On, int Interval)
{
    fTimerRunning = On;
    if (!fGridControl)
        return;
    if (On)
        fGridControl->SetTimerEvent([this] { TimerTick(); }, Interval);
    else
        fGridControl->SetTimerEvent({}, 0);
}

void TGridObject::PressSelect(
    TGridCell ACurrent, const TGridRegion& Region, TGridCell AAnchor, bool Add)
{
    if (fEditorMode)
        HideEditor();
    InvalidateCell(fCurrent);
    fSelection->SetCanRedraw(true);
    if (!Add && !fSelection->IsEmpty()) {
        // Clearing repaints the old regions; the new one is painted by Add.
        for (int I = 0; I < fSelection->Count(); ++I)
            fSelection->InvalidateRegion(fSelection->Items(I)->Coord());
        TCollectionUpdate Update(*fSelection);
        fSelection->Clear();
    }
    fCurrent = ACurrent;
    fSelection->Add(Region);
    fAnchor = AAnchor;
    InvalidateCell(fCurrent);
}

void TGridObject::MouseDown(qint32 X, qint32 Y, TShiftState Shift)
{
    CancelScrollTracking();
    if (!Shift.Contains(ssLeft))
        return;
    const bool Focusing = fGridState == gsFocusing;
    if (Focusing)
        fGridState = gsNormal;
    // A drag left over by a release the window never saw ends here.
    if (fGridState != gsNormal) {
        SetTimer(false, 0);
        fGridState = gsNormal;
        fCopyState = csNone;
    }
    fCursorPos = QPoint(X, Y);
    UpdateActiveCell(X, Y);
    fDoubleClick = Shift.Contains(ssDouble) && fButtonCapture;
    const bool Double = Shift.Contains(ssDouble) && !fButtonCapture;
    const TGridCell Cell = MouseToCell(X, Y);
    const bool Ctrl = Shift.Contains(ssCtrl);

    if (Double) {
        const TSizingHit Hit = HitTestSizing(X, Y);
        if (Hit.State != gsNormal) {
            if (Hit.State == gsRowSizing || Hit.State == gsRowExtraction)
                AdjustHeight(Hit.Index);
            else
                AdjustWidth(Hit.Index);
            return;
        }
        if (IsInternalEditorOpen() && EditorRect().contains(X, Y)) {
            SelectAllEditorText();
            return;
        }
        if (fArea.Contains(Cell) && !(fEditorMode && fEditCell == Cell)) {
            const QRect Body = GetTextRect(Cell.Col, Cell.Row).adjusted(-3, -2, 3, 2);
            if (Body.contains(X, Y)) {
                if (fCurrent != Cell)
                    FocusCell(Cell.Col, Cell.Row, true, true);
                ShowEditor();
                if (IsInternalEditorOpen())
                    SetCaretAtPoint(X, Y, false);
                return;
            }
        }
    }

    if (!fButtonCapture && IsInternalEditorOpen() && EditorRect().contains(X, Y)) {
        SetCaretAtPoint(X, Y, Shift.Contains(ssShift));
        fGridState = gsTextSelecting;
        SetTimer(true, TextSelectInterval);
        if (fGridControl)
            fGridControl->SetMouseCapture(true);
        return;
    }

    if (!fButtonCapture) {
        const TSizingHit Hit = HitTestSizing(X, Y);
        if (Hit.State != gsNormal) {
            StartSizing(Hit, Focusing);
            SetTimer(true, DragInterval);
            return;
        }
        if (CheckColumnDrag(X, Y, Cell.Col, Cell.Row)) {
            fStartMoving = fEndMoving = fSelection->First()->Coord().FirstCol;
            if (BeginColumnDrag(fStartMoving, fEndMoving, QPoint(X, Y))) {
                fGridState = gsColMoving;
                InvalidateMovingMark();
                SetTimer(true, DragInterval);
                if (fGridControl)
                    fGridControl->SetMouseCapture(true);
                return;
            }
        } else if (CheckRowDrag(X, Y, Cell.Col, Cell.Row)) {
            fStartMoving = fEndMoving = fSelection->First()->Coord().FirstRow;
            if (BeginRowDrag(fStartMoving, fEndMoving, QPoint(X, Y))) {
                fGridState = gsRowMoving;
                InvalidateMovingMark();
                SetTimer(true, DragInterval);
                if (fGridControl)
                    fGridControl->SetMouseCapture(true);
                return;
            }
        }
        fStartMoving = fEndMoving = -1;
    }

    const bool ScrollCol = Cell.Col >= FixedCols() && Cell.Col < ColCount();
    const bool ScrollRow = Cell.Row >= FixedRows() && Cell.Row < RowCount();
    const bool FixedCol = Cell.Col >= 0 && Cell.Col < FixedCols();
    const bool FixedRow = Cell.Row >= 0 && Cell.Row < FixedRows();
    if (ScrollCol && ScrollRow) {
        fCopyState = fButtonCapture ? csNone : HitTestCopy(X, Y);
        fStartCopy = false;
        fCopyLeftDeadZone = false;
        fCopyPress = QPoint(X, Y);
        fPressCell = Cell;
        fGridState = gsSelecting;
        if (fEditorMode && fEditCell != Cell)
            HideEditor();
        if (fCopyState == csNone) {
            if (Shift.Contains(ssShift) && !fRowSelect)
                PressSelect(fCurrent, TGridRegion::Of(fCurrent, Cell), Cell, Ctrl);
            else
                FocusCell(Cell.Col, Cell.Row, true, !Ctrl);
        }
    } else if (FixedRow && ScrollCol && !fRowSelect) {
        fGridState = gsColSelecting;
        const TGridCell Anchor { Cell.Col, fArea.LastRow };
        if (Shift.Contains(ssShift))
            PressSelect(fCurrent, { fCurrent.Col, FixedRows(), Cell.Col, fArea.LastRow }, Anchor, Ctrl);
        else
            PressSelect({ Cell.Col, TopRow() }, { Cell.Col, FixedRows(), Cell.Col, fArea.LastRow },
                Anchor, Ctrl);
    } else if (FixedCol && ScrollRow && !fRowSelect) {
        fGridState = gsRowSelecting;
        const TGridCell Anchor { fArea.LastCol, Cell.Row };
        if (Shift.Contains(ssShift))
            PressSelect(fCurrent, { FixedCols(), fCurrent.Row, fArea.LastCol, Cell.Row }, Anchor, Ctrl);
        else
            PressSelect({ LeftCol(), Cell.Row }, { FixedCols(), Cell.Row, fArea.LastCol, Cell.Row },
                Anchor, Ctrl);
    } else if (FixedCol && FixedRow && !fRowSelect) {
        HideEditor();
        SelectAll();
    }

    if (fButtonCapture) {
        InvalidateCell(fActiveCell);
        fButtonDown = ButtonHit(fActiveCell, X, Y);
        fButtonPressed = fButtonDown;
        // A pressed button is no drag: the release opens its list.
        fGridState = gsNormal;
        if (fGridControl)
            fGridControl->SetMouseCapture(fButtonPressed);
    }
    if (fGridState != gsNormal) {
        SetTimer(true, fCopyState != csNone ? CopyInterval : DragInterval);
        if (fGridControl)
            fGridControl->SetMouseCapture(true);
    }
    UpdateCursorAt(X, Y);
}

void TGridObject::MouseMove(TShiftState, qint32 X, qint32 Y)
{
    fCursorPos = QPoint(X, Y);
    if (fCopyState != csNone && fGridState == gsSelecting)
        return;
    UpdateActiveCell(X, Y);
    UpdateCursorAt(X, Y);
    if (fGridState == gsRowSizing || fGridState == gsColSizing)
        MoveSizing(X, Y);
}

void TGridObject::MouseUp(TMouseButton, TShiftState, qint32 X, qint32 Y)
{
    fCursorPos = QPoint(X, Y);
    fButtonPressed = false;
    if (fButtonDown) {
        fButtonDown = false;
        InvalidateCell(fActiveCell);
        OpenDropListAt(fActiveCell);
    }
    SetTimer(false, 0);
    switch (fGridState) {
    case gsSelecting:
        if (fCopyState != csNone)
            EndCopy();
        break;
    case gsRowSizing:
    case gsColSizing:
        EndSizing();
        break;
    case gsRowMoving:
    case gsColMoving:
        DropMovedBlock();
        break;
    default:
        break;
    }
    fCopyState = csNone;
    fGridState = gsNormal;
    if (fGridControl)
        fGridControl->SetMouseCapture(false);
    UpdateActiveCell(X, Y);
    UpdateCursorAt(X, Y);
    if (fRequestInvalidateTransparent) {
        fRequestInvalidateTransparent = false;
        InvalidateGrid();
    }
}

void TGridObject::MouseLeave()
{
    if (fButtonPressed)
        return;
    InvalidateCell(fActiveCell);
    fActiveCell = { -1, -1 };
    fButtonCapture = false;
}

bool TGridObject::MouseWheel(TShiftState Shift, qint32 WheelDelta, QPoint)
{
    qint32 Steps = 2;
    if (Shift.Contains(ssCtrl)) {
        TGridCell Shown;
        GetLastVisible(&Shown);
        Steps = std::max(1, Shown.Row);
    }
    // Turning the wheel towards the user gives a negative delta and scrolls
    // forward; a part of a notch does nothing.
    Steps *= -(WheelDelta / WheelNotch);
    if (Steps == 0)
        return false;
    SetFirst(LeftCol(), StepVisibleRow(TopRow(), Steps));
    return true;
}

void TGridObject::OpenDropListAt(TGridCell)
{
    // The drop list of the cell opens here once the grid has drop lists.
}

TGridCell TGridObject::AutoScroll(TGridCell Target, bool Rows, bool Cols)
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
    Target = MouseToCell(X, Y);
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
        const TGridCell Target
            = AutoScroll(MouseToCell(fCursorPos.x(), fCursorPos.y()), Rows, Cols);
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
    fCopyIntersectRegion = { std::max(Src.FirstCol, New.FirstCol), std::max(Src.FirstRow, New.FirstRow),
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
    const bool Allowed = IsCol ? CheckColumnDrag(fCursorPos.x(), fCursorPos.y(), Target.Col, Target.Row)
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
    const bool Agreed = IsCol ? EndColumnDrag(Start, End, fCursorPos) : EndRowDrag(Start, End, fCursorPos);
    fEndMoving = -1;
    if (!Agreed || End < 0 || fSelection->IsEmpty())
        return;
    const TGridRegion Block = fSelection->First()->Coord();
    const qint32 Count = IsCol ? Block.LastCol - Block.FirstCol + 1 : Block.LastRow - Block.FirstRow + 1;
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
    TGridRegion Moved = IsCol ? TGridRegion { NewFirst, FixedRows(), NewFirst + Count - 1, fArea.LastRow }
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
