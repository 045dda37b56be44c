// The pointer over a grid: presses, motion and releases, the hit zones of
// the copy drag and the fill handle, in-cell buttons, pointer shapes and the
// wheel. What a drag does on each timer tick is in GridObjectDrag.cpp.
#include "grid/GridObject.h"
#include "grid/GridWindow.h"
#include "grid/DropList.h"

#include <algorithm>

namespace {

constexpr int TextSelectInterval = 10;
constexpr int CopyInterval = 30;
constexpr int DragInterval = 50;
// The copy zones reach this far into the selection's border.
constexpr int CopyBand = 5;
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
    const qint32 DX = SpaceWidth() + CopyBand;
    const qint32 DY = SpaceHeight() + CopyBand;
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
    case gsRowSizing:
        return gpRowSizing;
    case gsColSizing:
        return gpColSizing;
    case gsRowExtraction:
        return gpVertSplit;
    case gsColExtraction:
        return gpHorzSplit;
    default:
        break;
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
    case csCopyStretch:
        return gpCopyStretch;
    case csCopyDrag:
        return gpCopyDrag;
    default:
        return gpExcelCross;
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
    if (fDroppingDown && fActiveCell != fOpenCell)
        CloseUp();
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
        PressSelect({ Cell.Col, TopRow() }, { Cell.Col, FixedRows(), Cell.Col, fArea.LastRow },
            { Cell.Col, fArea.LastRow }, Ctrl);
    } else if (FixedCol && ScrollRow && !fRowSelect) {
        fGridState = gsRowSelecting;
        PressSelect({ LeftCol(), Cell.Row }, { FixedCols(), Cell.Row, fArea.LastCol, Cell.Row },
            { fArea.LastCol, Cell.Row }, Ctrl);
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
    const bool WasOpen = fDroppingDown;
    if (fDroppingDown)
        CloseUp();
    if (fButtonDown) {
        fButtonDown = false;
        InvalidateCell(fActiveCell);
        // A release on the button of the list just closed only closes it.
        if (!WasOpen) {
            const QPoint Released(X, Y);
            DropDown(fActiveCell, &Released);
        }
    }
    SetTimer(false, 0);
    {
        // A handler that refuses a write while the drop is put down must not
        // leave the grid in its drag, holding the pointer.
        struct TEndDrag {
            TGridObject& G;
            ~TEndDrag()
            {
                G.fCopyState = csNone;
                G.fStartCopy = false;
                G.fGridState = gsNormal;
                if (G.fGridControl)
                    G.fGridControl->SetMouseCapture(false);
            }
        } EndDrag { *this };
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
    }
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

