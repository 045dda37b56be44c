#include "grid/DropList.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"

namespace {

// The arrow strip of a bvsListButton cell, which opens its list; the rest
// of the button is its caption.
constexpr int ListButtonArrowWidth = 13;

}

void TGridObject::DropDown(TGridCell ACell, const QPoint* PressPoint)
{
    if (fDroppingDown) {
        CloseUp();
        return;
    }
    TDrawCellInfo Info;
    if (!GetCellInfo(ACell.Col, ACell.Row, CellState(ACell.Col, ACell.Row), Info) || !Info.DropList)
        return;
    TCustomDropList* L = Info.DropList;
    if (L->ButtonViewStyle == bvsListButton && PressPoint
        && (ACell == fActiveCell || ACell == fCurrent)) {
        const QRect TextRect
            = GetTextRect(ACell.Col, ACell.Row, Info.Margin ? &*Info.Margin : nullptr);
        const QRect Caption
            = GetButtonRect(Info, TextRect).adjusted(0, 0, -ListButtonArrowWidth, 0);
        if (Caption.contains(*PressPoint))
            return;
    }
    fOpenCell = ACell;
    fDropList = L;
    fDroppingDown = true;
    fSavedHideSelection = fHideSelection;
    SetHideSelection(false);
    // The editor can only open on the current cell; a list opened elsewhere
    // works on the cell's text without one.
    if (!IsFixed(ACell) && L->OpenEditor && ACell == fCurrent && !fEditorMode) {
        ShowEditor();
        if (fEditorMode)
            SelectEditorTextForDropList();
    }
    const bool Editing = fEditorMode && fEditCell == ACell;
    THead* ColHead = fColHeads->FindHead(ACell.Col);
    THead* RowHead = fRowHeads->FindHead(ACell.Row);
    TCell* Cell = fCells->FindCell(ACell.Col, ACell.Row);
    QString Text;
    if (Editing) {
        Text = fWideStrings.GetWideText();
    } else {
        Text = CellText(ACell.Col, ACell.Row, Info.State, ColHead, RowHead, Cell);
        if (Text.isEmpty())
            Text = Info.FullText;
    }
    try {
        L->DropDown(this, ACell.Col, ACell.Row, CellState(ACell.Col, ACell.Row), ColHead, RowHead,
            Cell, Text);
    } catch (...) {
        // A failing handler must not leave the grid believing a list is open.
        if (fDropList == L)
            CloseUp();
        throw;
    }
}

void TGridObject::CloseUp()
{
    if (!fDroppingDown)
        return;
    TCustomDropList* L = fDropList;
    const TGridCell Cell = fOpenCell;
    if (!fEditorMode) {
        InvalidateCell(Cell);
    } else if (L && L->CloseEditor) {
        HideEditor();
    } else {
        SelectEditorTextForDropList();
    }
    fOpenCell = { -1, -1 };
    fDropList = nullptr;
    fDroppingDown = false;
    SetHideSelection(fSavedHideSelection);
    if (L)
        L->Dismiss();
}

void TGridObject::SelectEditorTextForDropList()
{
    // The whole text selected with the caret at its start: one key stroke
    // replaces the choice.
    SyncEditor();
    fEditor.SetSelection(fEditor.TextStart(), fEditor.TextEnd());
    InvalidateRect(EditorRect());
    InvalidateCell(fEditCell);
}

void TGridObject::WriteDropListValue(qint32 ACol, qint32 ARow, const QString& Value)
{
    if (!(fEditorMode && fEditCell == TGridCell { ACol, ARow })) {
        SetCellValue(ACol, ARow, Value);
        return;
    }
    // A choice replaces what is being typed, so it is refused where typing
    // is, and the typed text stays one undo step away.
    if (!CanEdit(ACol, ARow) || fWideStrings.GetWideText() == Value)
        return;
    BeginEditStep();
    fWideStrings.SetWideText(Value);
    InvalidateRect(EditorRect());
    InvalidateCell(ACol, ARow);
}

void TGridObject::ForgetDropList(TCustomDropList* List)
{
    if (fDropList != List)
        return;
    fDropList = nullptr;
    fOpenCell = { -1, -1 };
    fDroppingDown = false;
    SetHideSelection(fSavedHideSelection);
}
