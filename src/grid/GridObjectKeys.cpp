// The keyboard: the key table with the editor open and closed, navigation
// with its scrolling, and typed characters.
#include "grid/GridObject.h"
#include "grid/GridWindow.h"
#include "grid/Undo.h"

#include <algorithm>

using namespace GridKey;

namespace {

bool IsMovementKey(int Key)
{
    return Key == vkUp || Key == vkDown || Key == vkLeft || Key == vkRight || Key == vkPrior
        || Key == vkNext || Key == vkHome || Key == vkEnd;
}

// Characters that never type: they are commands or nothing.
bool IsControlChar(char16_t C) { return C < 0x20 || C == 0x7F; }

}

void TGridObject::OpenDropList(TGridCell Cell) { DropDown(Cell); }

bool TGridObject::DropListTakesKey(TGridCell Cell)
{
    TDrawCellInfo Info;
    GetCellInfo(Cell.Col, Cell.Row, CellState(Cell.Col, Cell.Row), Info);
    return Info.DropList != nullptr;
}

bool TGridObject::KeyDown(int& Key, TShiftState Shift)
{
    if (fGridState == gsFocusing)
        fGridState = gsNormal;
    fKeyboardState = Shift;
    fTabStop = false;
    if (Key == vkConsumed)
        return true;
    if (IsInternalEditorOpen())
        return EditorKeyDown(Key, Shift);
    if (CommandKeyDown(Key, Shift))
        return true;
    return Navigate(Key, Shift);
}

bool TGridObject::EditorKeyDown(int& Key, TShiftState Shift)
{
    const bool Ctrl = Shift.Contains(ssCtrl);
    const bool Extend = Shift.Contains(ssShift);
    const bool Alt = Shift.Contains(ssAlt);
    SyncEditor();
    // Keys in CellExitKeys leave an editor that typing opened; an editor
    // opened on purpose keeps them for its caret.
    auto Exits = [&](TGridCellExitKey K) { return fStartEditor && fCellExitKeys.Contains(K); };
    auto Leave = [&] {
        HideEditor();
        return Navigate(Key, Shift);
    };
    auto Delete = [&](bool Before) {
        if (!fCanWrite)
            return;
        const TCharPos Caret = fEditor.Clamp(fEditor.CaretPos());
        const bool Something = fEditor.HasSelection()
            || !((Before ? fEditor.PrevChar(Caret) : fEditor.NextChar(Caret)) == Caret);
        if (!Something)
            return;
        BeginEditStep();
        const QRect Old = EditorRect();
        if (Before)
            fEditor.DeleteBefore();
        else
            fEditor.DeleteAfter();
        fTextOrigin = QPoint();
        EditorChanged(Old);
    };
    switch (Key) {
    case vkBack: Delete(true); return true;
    case vkReturn:
        if (Alt)
            InsertText(QStringLiteral("\r\n"));
        else
            HideEditor();
        return true;
    case vkEscape: CancelEditor(); return true;
    case vkTab:
        // Tab finishes the entry as it would move without the editor.
        if (Alt || Ctrl)
            return false;
        return Leave();
    case vkPrior:
    case vkNext:
        if (Exits(Key == vkPrior ? gcekPageUp : gcekPageDown))
            return Leave();
        return true;
    case vkHome:
    case vkEnd:
        if (Exits(Key == vkHome ? gcekHome : gcekEnd))
            return Leave();
        if (Key == vkHome)
            MoveCaret(
                Ctrl ? fEditor.TextStart() : fEditor.LineStart(fEditor.CaretPos()), Extend, true);
        else
            MoveCaret(Ctrl ? fEditor.TextEnd() : fEditor.LineEnd(fEditor.CaretPos()), Extend, true);
        return true;
    case vkLeft:
        if (Exits(gcekLeft))
            return Leave();
        MoveCaret(fEditor.PrevChar(fEditor.CaretPos()), Extend, true);
        return true;
    case vkRight:
        if (Exits(gcekRight))
            return Leave();
        MoveCaret(fEditor.NextChar(fEditor.CaretPos()), Extend, true);
        return true;
    case vkUp:
        if (Exits(gcekUp))
            return Leave();
        MoveCaretVertically(-1, Extend);
        return true;
    case vkDown:
        if (Exits(gcekDown))
            return Leave();
        if (Alt)
            OpenDropList(fEditCell);
        else
            MoveCaretVertically(1, Extend);
        return true;
    case vkInsert:
        if (Ctrl)
            CopyToClipboard();
        else if (Extend)
            PasteFromClipboard(Alt);
        return Ctrl || Extend;
    case vkDelete:
        if (Extend)
            CopyToClipboard();
        Delete(false);
        return true;
    default: break;
    }
    if (Ctrl) {
        switch (Key) {
        case vkA: SelectAllEditorText(); return true;
        case vkC: CopyToClipboard(); return true;
        case vkV: PasteFromClipboard(Alt); return true;
        case vkX:
            CopyToClipboard();
            if (fEditor.HasSelection())
                Delete(false);
            return true;
        case vkZ:
            if (fUndoEnabled)
                fUndoList->Undo();
            return true;
        default: break;
        }
    }
    return false;
}

bool TGridObject::CommandKeyDown(int& Key, TShiftState Shift)
{
    const bool Ctrl = Shift.Contains(ssCtrl);
    const bool ShiftDown = Shift.Contains(ssShift);
    const bool Alt = Shift.Contains(ssAlt);
    switch (Key) {
    case vkBack:
    case vkProcessKey:
        ShowEditor();
        if (IsInternalEditorOpen() && fCanWrite) {
            // Emptying the text is an edit: the record taken first lets
            // Ctrl+Z bring the old text back.
            BeginEditStep();
            const QRect Old = EditorRect();
            fEditor.SetText(QString());
            EditorChanged(Old);
        }
        return true;
    case vkReturn:
    case vkF2: ShowEditor(); return true;
    case vkSpace:
        // A drop list takes the space: it opens or cycles and types nothing.
        if (Ctrl || Alt || !DropListTakesKey(fCurrent))
            return false;
        OpenDropList(fCurrent);
        return true;
    case vkInsert:
        if (Ctrl && ShiftDown)
            return false;
        if (Ctrl)
            CopyToClipboard();
        else if (ShiftDown && !fReadOnly)
            PasteFromClipboard(Alt);
        return true;
    case vkDelete:
        if (ShiftDown)
            CopyToClipboard();
        ClearSelection();
        return true;
    default: break;
    }
    if (!Ctrl)
        return false;
    switch (Key) {
    case vkA: SelectAll(); return true;
    case vkC: CopyToClipboard(); return true;
    case vkV:
        if (!fReadOnly)
            PasteFromClipboard(Alt);
        return true;
    case vkX:
        CopyToClipboard();
        ClearSelection();
        return true;
    case vkZ:
        if (fUndoEnabled)
            fUndoList->Undo();
        return true;
    default: return false;
    }
}

bool TGridObject::Navigate(int Key, TShiftState Shift)
{
    const bool Ctrl = Shift.Contains(ssCtrl);
    const bool Alt = Shift.Contains(ssAlt);
    if (Key == vkEscape)
        return true;
    if (Key == vkTab && (Ctrl || Alt))
        return false;
    if (Key != vkTab && !IsMovementKey(Key))
        return false;
    if (Key == vkDown && Alt && !Ctrl) {
        OpenDropList(fCurrent);
        return true;
    }
    if (Key != vkTab) {
        fGridState = Ctrl ? gsNormal : gsSelecting;
        SetNavigationKeyDown(true);
    }
    const bool Extending
        = Shift.Contains(ssShift) && !fSelection->IsEmpty() && Key != vkTab && !fRowSelect;
    const TGridCell From = Extending ? fAnchor : fCurrent;
    TGridCell Shown;
    const TGridCell Last = GetLastVisible(&Shown);
    const qint32 Page = std::max(1, Shown.Row - 1);
    TGridCell NewFirst = fFirst;
    TGridCell Target = From;
    const qint32 FirstCol = NearestVisible(FixedCols(), 1, true);
    const qint32 FirstRow = NearestVisible(FixedRows(), 1, false);
    const qint32 LastCol = NearestVisible(fArea.LastCol, -1, true);
    const qint32 LastRow = NearestVisible(fArea.LastRow, -1, false);
    if (Ctrl) {
        switch (Key) {
        case vkPrior: Target.Row = fFirst.Row; break;
        case vkNext: Target.Row = std::max(fFirst.Row, Last.Row); break;
        case vkHome:
            NewFirst = { FirstCol, FirstRow };
            Target = NewFirst;
            break;
        case vkEnd: Target = { LastCol, LastRow }; break;
        case vkLeft: NewFirst.Col = StepVisibleCol(fFirst.Col, -1); break;
        case vkUp: NewFirst.Row = StepVisibleRow(fFirst.Row, -1); break;
        case vkRight: NewFirst.Col = StepVisibleCol(fFirst.Col, 1); break;
        case vkDown: NewFirst.Row = StepVisibleRow(fFirst.Row, 1); break;
        default: break;
        }
    } else {
        switch (Key) {
        case vkTab: {
            const bool Back = Shift.Contains(ssShift);
            const qint32 C = StepVisibleCol(From.Col, Back ? -1 : 1);
            if (C != From.Col) {
                Target.Col = C;
                break;
            }
            const qint32 R = StepVisibleRow(From.Row, Back ? -1 : 1);
            if (R != From.Row) {
                Target = { Back ? LastCol : FirstCol, R };
                break;
            }
            // Past the last cell: the focus may go on to the next control.
            fTabStop = true;
            if (fGridControl && fGridControl->IsTabStop())
                return false;
            Target = Back ? TGridCell { LastCol, LastRow } : TGridCell { FirstCol, FirstRow };
            break;
        }
        case vkPrior:
            NewFirst.Row = StepVisibleRow(fFirst.Row, -Page);
            Target.Row = StepVisibleRow(From.Row, -Page);
            break;
        case vkNext:
            NewFirst.Row = StepVisibleRow(fFirst.Row, Page);
            Target.Row = StepVisibleRow(From.Row, Page);
            break;
        case vkHome: Target.Col = FirstCol; break;
        case vkEnd: Target.Col = LastCol; break;
        case vkLeft:
            Target.Col = GetColVisible(From.Col) ? StepVisibleCol(From.Col, -1)
                                                 : NearestVisible(From.Col, -1, true);
            break;
        case vkRight:
            Target.Col = GetColVisible(From.Col) ? StepVisibleCol(From.Col, 1)
                                                 : NearestVisible(From.Col, 1, true);
            break;
        case vkUp:
            Target.Row = GetRowVisible(From.Row) ? StepVisibleRow(From.Row, -1)
                                                 : NearestVisible(From.Row, -1, false);
            break;
        case vkDown:
            Target.Row = GetRowVisible(From.Row) ? StepVisibleRow(From.Row, 1)
                                                 : NearestVisible(From.Row, 1, false);
            break;
        default: break;
        }
    }
    Target.Col = std::clamp(Target.Col, FixedCols(), fArea.LastCol);
    Target.Row = std::clamp(Target.Row, FixedRows(), fArea.LastRow);
    NewFirst.Col = std::clamp(NewFirst.Col, FixedCols(), fArea.LastCol);
    NewFirst.Row = std::clamp(NewFirst.Row, FixedRows(), fArea.LastRow);
    // The target is brought fully into view from the new scroll position.
    NewFirst = ScrollToShow(NewFirst, Target);
    auto Apply = [&] {
        if (Target == From)
            return;
        if (Extending)
            ExtendSelection(Target.Col, Target.Row);
        else
            FocusCell(Target.Col, Target.Row, true, true);
    };
    if (NewFirst == fFirst) {
        Apply();
        return true;
    }
    Apply();
    fKeyDown = true;
    if (fGridControl)
        fGridControl->Update();
    SetFirst(NewFirst.Col, NewFirst.Row);
    return true;
}

TGridCell TGridObject::ScrollToShow(TGridCell First, TGridCell Target) const
{
    const QRect Client = GetClientRect();
    // Both walks stop after a page, so a jump to the end of a long grid
    // costs what the screen shows, not what lies between.
    auto Axis = [&](qint32 F, qint32 T, bool IsCol) {
        const qint32 Fixed = IsCol ? FixedCols() : FixedRows();
        auto Visible = [&](qint32 I) { return IsCol ? GetColVisible(I) : GetRowVisible(I); };
        auto Size = [&](qint32 I) { return qint64(IsCol ? GetColWidth(I) : GetRowHeight(I)); };
        const qint64 Space = IsCol ? SpaceWidth() : SpaceHeight();
        if (T < Fixed || !Visible(T))
            return F;
        if (T < F)
            return T;
        qint64 Room = IsCol ? Client.width() : Client.height();
        for (qint32 I = 0; I < Fixed; ++I)
            if (Visible(I))
                Room -= Space + Size(I);
        qint64 A = 0;
        for (qint32 I = F; I <= T; ++I) {
            if (!Visible(I))
                continue;
            A += Space + Size(I);
            if (A > Room)
                break;
            if (I == T)
                return F;
        }
        qint32 Result = T;
        A = 0;
        for (qint32 I = T; I >= F; --I) {
            if (!Visible(I))
                continue;
            A += Space + Size(I);
            if (A > Room)
                break;
            Result = I;
        }
        return Result;
    };
    return { Axis(First.Col, Target.Col, true), Axis(First.Row, Target.Row, false) };
}

bool TGridObject::KeyPress(QChar& Key)
{
    const char16_t C = Key.unicode();
    const TShiftState Ctrl { ssCtrl };
    if (fInternalEditor && fKeyboardState == Ctrl)
        return false;
    // Alt with a character is a menu's mnemonic; AltGr arrives as Ctrl+Alt
    // and types.
    if (fKeyboardState.Contains(ssAlt) && !fKeyboardState.Contains(ssCtrl))
        return false;
    if (IsControlChar(C))
        return false;
    if (!fEditorMode) {
        ShowEditor();
        if (!fEditorMode)
            return false;
        if (fCanWrite) {
            BeginEditStep();
            if (fInternalEditor) {
                const QRect Old = EditorRect();
                fEditor.SetText(QString());
                EditorChanged(Old);
            } else if (fGridControl) {
                fGridControl->ShowEditorWindow(
                    GetTextRect(fEditCell.Col, fEditCell.Row).adjusted(0, 0, 1, 1), QString(Key));
            }
        }
        fStartEditor = true;
        if (!fInternalEditor)
            return true;
    }
    InsertText(QString(Key));
    return true;
}

bool TGridObject::KeyUp(int Key, TShiftState)
{
    if (fGridState == gsSelecting || fGridState == gsFocusing)
        fGridState = gsNormal;
    fKeyboardState = TShiftState();
    fKeyDown = false;
    if (fNavigationKeyDown) {
        SetNavigationKeyDown(false);
        InvalidateCell(fCurrent);
    }
    // Pictures drawn opaque while the key was held get their see-through
    // look back.
    if (fRequestInvalidateTransparent) {
        fRequestInvalidateTransparent = false;
        InvalidateGrid();
    }
    if (Key == 0 || Key == vkBack || Key == 10 || Key == vkReturn || Key == vkEscape || Key == 127)
        return false;
    fActiveCell = fCurrent;
    return true;
}
