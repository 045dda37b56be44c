// How a cell's text is read for editing and written back, when the editor
// opens and closes, and the built-in editor's caret and text origin.
#include "grid/EditStateScope.h"
#include "grid/GridClipboard.h"
#include "grid/GridCanvas.h"
#include "grid/GridEditorLayout.h"
#include "grid/GridWindow.h"
#include "grid/Undo.h"
#include "grid/DropList.h"
#include "grid/model/TextFlags.h"
#include "text/MyClipboard.h"

#include <algorithm>
#include <unordered_set>

namespace {

const TCellStates EditorState { csFocused, csSelected, csEditor };

}

bool TGridObject::CanEdit(qint32 ACol, qint32 ARow, TCellStates AState, const THead* ColHead,
    const THead* RowHead, const TCell* Cell) const
{
    if (fReadOnly || AState.Contains(csReadOnly) || IsFixed(ACol, ARow))
        return false;
    return !(ColHead && ColHead->ReadOnly()) && !(RowHead && RowHead->ReadOnly())
        && !(Cell && Cell->ReadOnly());
}

bool TGridObject::GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* ColHead,
    THead* RowHead, TCell* Cell, QString& Value)
{
    if (ACol < 0 || ARow < 0 || ACol > fArea.LastCol || ARow > fArea.LastRow) {
        Value.clear();
        return false;
    }
    Value = CellText(ACol, ARow, AState, ColHead, RowHead, Cell);
    return !Value.isEmpty();
}

bool TGridObject::SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* ColHead,
    THead* RowHead, TCell* Cell, const QString& Value)
{
    if (ACol < 0 || ARow < 0 || ACol > fArea.LastCol || ARow > fArea.LastRow)
        return false;
    if (!CanEdit(ACol, ARow, AState, ColHead, RowHead, Cell))
        return false;
    bool Stored = true;
    if (fGridControl && fGridControl->SetEditText(ACol, ARow, AState, ColHead, RowHead, Value))
        ;
    else if (ColHead && ColHead->SetEditText(ACol, ARow, AState, ColHead, RowHead, Value))
        ;
    else if (RowHead && RowHead->SetEditText(ACol, ARow, AState, ColHead, RowHead, Value))
        ;
    else if (TCell* C = Cell ? Cell : fCells->GetCell(ACol, ARow))
        Stored = C->SetEditText(ACol, ARow, AState, ColHead, RowHead, Value);
    else
        Stored = false;
    fCellValueChanged = Stored;
    InvalidateCell(ACol, ARow);
    return Stored;
}

bool TGridObject::CanShowEditor()
{
    if (fRowSelect || fEditorLock || fEditorMode || IsFixed(fCurrent) || !fGridControl
        || fGridControl->IsDesigning() || !fGridControl->IsActiveControl())
        return false;
    TDrawCellInfo Info;
    GetCellInfo(fCurrent.Col, fCurrent.Row, CellState(fCurrent.Col, fCurrent.Row), Info);
    if (Info.EditorLock)
        return false;
    if (const TCustomDropList* L = Info.DropList) {
        // Check boxes are toggled and buttons pressed, never edited.
        if (L->ButtonViewStyle == bvsCheck || L->ButtonViewStyle == bvsSpeedButton
            || L->ButtonViewStyle == bvsListButton)
            return false;
    }
    return true;
}

void TGridObject::SetEditorMode(bool Value)
{
    if (Value)
        ShowEditor();
    else
        HideEditor();
}

void TGridObject::SyncEditor() const
{
    const QString Text = fWideStrings.GetWideText();
    if (Text == fEditorShadow)
        return;
    const TCharPos Caret = fEditor.CaretPos();
    const TCharPos Start = fEditor.StartPos();
    fEditor.SetText(Text);
    fEditor.SetSelection(Caret, Start);
    fEditorShadow = Text;
}

const TCellEditor& TGridObject::Editor() const
{
    SyncEditor();
    return fEditor;
}

void TGridObject::ShowEditor()
{
    if (!CanShowEditor())
        return;
    fEditCell = fCurrent;
    fEditorMode = true;
    fStartEditor = false;
    fSessionUndo = nullptr;
    fTextOrigin = QPoint();
    THead* ColHead = fColHeads->FindHead(fEditCell.Col);
    THead* RowHead = fRowHeads->FindHead(fEditCell.Row);
    TCell* Cell = fCells->FindCell(fEditCell.Col, fEditCell.Row);
    fCanWrite = CanEdit(fEditCell.Col, fEditCell.Row, EditorState, ColHead, RowHead, Cell);
    TCellStates State = EditorState;
    if (!fCanWrite)
        State.Include(csReadOnly);
    // The state names the editor, so that a handler can give the value in
    // full where the cell shows it rounded.
    GetEditText(fEditCell.Col, fEditCell.Row, State, ColHead, RowHead, Cell, fLoadedText);
    fEditor.SetText(fLoadedText);
    fEditorShadow = fLoadedText;
    fWideStrings.SetWideText(fLoadedText);
    if (!fDroppingDown) {
        // The list learns the cell's choice now, so that the first Space or
        // click goes on from the item the text stands for.
        TDrawCellInfo Info;
        GetCellInfo(fEditCell.Col, fEditCell.Row, State, Info);
        if (Info.DropList)
            Info.DropList->Initialize(
                this, fEditCell.Col, fEditCell.Row, State, ColHead, RowHead, Cell, fLoadedText);
    }
    if (fInternalEditor) {
        RememberCaretColumn();
        ScrollCaretIntoView();
    } else if (fGridControl) {
        const QRect R = GetTextRect(fEditCell.Col, fEditCell.Row);
        fGridControl->ShowEditorWindow(R.adjusted(0, 0, 1, 1), fLoadedText);
    }
    InvalidateRect(EditorRect());
    InvalidateCell(fEditCell);
}

bool TGridObject::EditSessionLive() const
{
    return fSessionUndo && fUndoList->Count() > 0
        && fUndoList->Items(fUndoList->Count() - 1) == fSessionUndo;
}

void TGridObject::UndoRecordLeaving(const TGridObjectUndo* Item)
{
    if (Item == fSessionUndo)
        fSessionUndo = nullptr;
}

void TGridObject::BeginEditStep()
{
    // One record covers the whole session: Ctrl+Z takes back the edit, not
    // its keystrokes, and a long text is held once, not once per key.
    if (!fUndoEnabled || fEditState.Contains(esUndo) || !fCanWrite || EditSessionLive())
        return;
    fSessionUndo = static_cast<TUndoEdit*>(
        fUndoList->AddItem(std::make_unique<TUndoEdit>(this, fEditCell.Col, fEditCell.Row)));
}

void TGridObject::EndEditor(bool Write)
{
    // A write handler that closes the editor itself (to move its record,
    // say) must not write the same text a second time.
    if (!fEditorMode || fClosingEditor)
        return;
    struct TClosing {
        bool& Flag;
        explicit TClosing(bool& F)
            : Flag(F)
        {
            Flag = true;
        }
        ~TClosing() { Flag = false; }
    } Closing(fClosingEditor);
    const TGridCell Cell = fEditCell;
    const QString Text
        = fInternalEditor || !fGridControl ? Editor().Text() : fGridControl->EditorWindowText();
    bool Written = false;
    if (Write && fCanWrite && Text != fLoadedText) {
        // Written before anything is closed: a handler that refuses the text
        // throws, and the editor must then still hold it.
        Written = SetEditText(Cell.Col, Cell.Row, EditorState, fColHeads->FindHead(Cell.Col),
            fRowHeads->FindHead(Cell.Row), fCells->FindCell(Cell.Col, Cell.Row), Text);
    }
    if (EditSessionLive()) {
        if (Written)
            fSessionUndo->LeaveEditor();
        else
            fUndoList->Remove(fSessionUndo);
    }
    fSessionUndo = nullptr;
    InvalidateRect(EditorRect());
    InvalidateCell(Cell);
    fEditorMode = false;
    if (!fInternalEditor && fGridControl)
        fGridControl->HideEditorWindow();
    if (fFormulaState) {
        fFormulaState = false;
        FocusCell(Cell.Col, Cell.Row, true, true);
    }
    fEditCell = { -1, -1 };
    fTextOrigin = QPoint();
    fStartEditor = false;
    fCellValueChanged = false;
}

void TGridObject::HideEditor() { EndEditor(true); }

void TGridObject::CancelEditor() { EndEditor(false); }

void TGridObject::CloseEditor() { HideEditor(); }

bool TGridObject::BuildEditorInfo(TDrawCellInfo& Info) const
{
    auto* Self = const_cast<TGridObject*>(this);
    TCellStates State = EditorState;
    if (!fCanWrite)
        State.Include(csReadOnly);
    return Self->GetCellInfo(fEditCell.Col, fEditCell.Row, State, Info);
}

TGridObject::TEditorLayout TGridObject::LayoutEditor() const
{
    using namespace TextFlags;
    SyncEditor();
    TEditorLayout L;
    BuildEditorInfo(*L.Cell);
    const QRect Text
        = GetTextRect(fEditCell.Col, fEditCell.Row, L.Cell->Margin ? &*L.Cell->Margin : nullptr);
    L.Rect = Text.adjusted(-3, -2, 3, 2);
    L.TextRect = L.Rect.adjusted(3, 2, -3, -2);
    const quint32 Flags = L.Cell->Flags;
    L.LineFlags
        = (Flags & (CanvasText::tfExpandTabs | tfNoPrefix)) | tfSingleLine | CanvasText::tfNoClip;
    IGridCanvas* Canvas = fGridControl ? fGridControl->Canvas() : nullptr;
    const int Count = fEditor.LineCount();
    L.Edges.resize(size_t(Count));
    int Widest = 0;
    if (Canvas) {
        L.LineHeight
            = Canvas->TextExtent(L.Cell->Font(), QStringLiteral("A"), L.LineFlags).height();
        for (int I = 0; I < Count; ++I) {
            L.Edges[size_t(I)] = Canvas->CharEdges(L.Cell->Font(), fEditor.Line(I), L.LineFlags);
            Widest = std::max(Widest, L.LineWidth(I));
        }
    } else {
        for (int I = 0; I < Count; ++I) {
            std::vector<int>& E = L.Edges[size_t(I)];
            for (qsizetype C = 0; C <= fEditor.Line(I).size(); ++C)
                E.push_back(int(C) * 7);
            Widest = std::max(Widest, L.LineWidth(I));
        }
    }
    const TCustomDropList* Drop = L.Cell->DropList;
    L.HasButton = Drop && Drop->ButtonViewStyle != bvsNone;
    if (L.HasButton) {
        L.ButtonRect = GetButtonRect(*L.Cell, L.TextRect);
        if (!L.ButtonRect.isEmpty()) {
            if (Drop->ButtonAlignment == baLeft)
                L.TextRect.setLeft(L.ButtonRect.right() + 1 + 3);
            else
                L.TextRect.setRight(L.ButtonRect.left() - 1 - 3);
        }
    } else {
        // The editor grows over its neighbours to show the whole text.
        const int Height = Count * (L.LineHeight + 1) - 1;
        if (Widest + 1 > L.TextRect.width())
            L.TextRect.setWidth(Widest + 1);
        if (Height > L.TextRect.height())
            L.TextRect.setHeight(Height);
        L.Rect = L.TextRect.adjusted(-3, -2, 3, 2);
    }
    // The lines stand where the cell's painting puts them.
    L.Tops.resize(size_t(Count));
    L.Lefts.resize(size_t(Count));
    const QRect& T = L.TextRect;
    if (Count <= 1 || (Flags & tfBottom)) {
        int Top = T.top();
        if (Flags & tfBottom)
            Top = T.bottom() + 1 - L.LineHeight - (Count - 1) * (L.LineHeight + 1);
        else if (Flags & tfVCenter)
            Top = T.top() + (T.height() - L.LineHeight) / 2;
        for (int I = 0; I < Count; ++I)
            L.Tops[size_t(I)] = Top + I * (L.LineHeight + 1);
    } else {
        int Top = T.top();
        if (Flags & tfVCenter)
            Top = T.top() + 1 + (T.height() - Count * (L.LineHeight + 1) - 1) / 2;
        for (int I = 0; I < Count; ++I)
            L.Tops[size_t(I)] = Top + I * (L.LineHeight + 1);
    }
    for (int I = 0; I < Count; ++I) {
        const int W = L.LineWidth(I);
        int X = T.left();
        if (Flags & tfRight)
            X = T.left() + T.width() - W;
        else if (Flags & tfHCenter)
            X = T.left() + (T.width() - W) / 2;
        L.Lefts[size_t(I)] = X;
    }
    return L;
}

QRect TGridObject::EditorRect() const
{
    if (!fEditorMode)
        return QRect();
    if (!fInternalEditor)
        return GetTextRect(fEditCell.Col, fEditCell.Row).adjusted(0, 0, 1, 1);
    return LayoutEditor().Rect;
}

QPoint TGridObject::CharToPixel(const TEditorLayout& L, TCharPos Pos) const
{
    Pos = fEditor.Clamp(Pos);
    const std::vector<int>& E = L.Edges[size_t(Pos.Line)];
    return { L.Lefts[size_t(Pos.Line)]
            + E[size_t(std::min<qsizetype>(Pos.Char, qsizetype(E.size()) - 1))],
        L.Tops[size_t(Pos.Line)] };
}

TCharPos TGridObject::PixelToChar(const TEditorLayout& L, QPoint P) const
{
    const int Count = fEditor.LineCount();
    int Line = 0;
    if (P.y() >= L.Tops.front()) {
        Line = Count - 1;
        for (int I = 0; I < Count; ++I)
            if (P.y() < L.Tops[size_t(I)] + L.LineHeight + 1) {
                Line = I;
                break;
            }
    }
    const std::vector<int>& E = L.Edges[size_t(Line)];
    const int X = P.x() - L.Lefts[size_t(Line)];
    const qint32 Length = qint32(E.size()) - 1;
    if (X <= 0 || Length == 0)
        return { Line, 0 };
    if (X >= E.back())
        return { Line, Length };
    // The first edge right of the point; the caret takes the nearer of the
    // two edges around it.
    const auto It = std::upper_bound(E.begin(), E.end(), X);
    const qint32 After = qint32(It - E.begin());
    const int Mid = (E[size_t(After - 1)] + E[size_t(After)]) / 2;
    return { Line, X < Mid ? After - 1 : After };
}

QRect TGridObject::CaretRect() const
{
    if (!IsInternalEditorOpen())
        return QRect();
    const TEditorLayout L = LayoutEditor();
    const QPoint P = CharToPixel(L, fEditor.CaretPos()) + fTextOrigin;
    return QRect(P.x(), P.y(), 1, L.LineHeight);
}

void TGridObject::RememberCaretColumn()
{
    if (!IsInternalEditorOpen())
        return;
    const TEditorLayout L = LayoutEditor();
    fSavedCaretX = CharToPixel(L, fEditor.CaretPos()).x();
}

void TGridObject::ScrollCaretIntoView()
{
    if (!IsInternalEditorOpen())
        return;
    const TEditorLayout L = LayoutEditor();
    const QRect Client = GetClientRect();
    QRect V = L.TextRect.intersected(Client);
    if (V.isEmpty())
        return;
    if (L.Rect.right() > Client.right())
        V.setRight(V.right() - 1);
    V.setBottom(V.bottom() - L.LineHeight + 1);
    const QPoint P = CharToPixel(L, fEditor.CaretPos());
    QPoint O = fTextOrigin;
    if (P.x() + O.x() > V.right() && P.x() > V.left())
        O.setX(V.right() - P.x());
    else if (P.x() + O.x() < V.left())
        O.setX(std::min(0, V.left() - P.x()));
    if (P.y() + O.y() > V.bottom())
        O.setY(V.bottom() - P.y());
    else if (P.y() + O.y() < V.top())
        O.setY(std::min(0, V.top() - P.y()));
    if (O != fTextOrigin) {
        fTextOrigin = O;
        InvalidateRect(L.Rect);
    }
}

void TGridObject::EditorChanged(const QRect& OldRect)
{
    fEditorShadow = fEditor.Text();
    fWideStrings.SetWideText(fEditorShadow);
    RememberCaretColumn();
    ScrollCaretIntoView();
    InvalidateRect(OldRect.united(EditorRect()));
}

void TGridObject::SetEditorState(const QString& Text, TCharPos Caret, TCharPos Start)
{
    if (!fEditorMode)
        return;
    const QRect Old = EditorRect();
    fEditor.SetText(Text);
    fEditor.SetSelection(Caret, Start);
    EditorChanged(Old);
}

void TGridObject::InsertText(const QString& Text)
{
    if (!IsInternalEditorOpen() || !fCanWrite)
        return;
    SyncEditor();
    if (Text.isEmpty() && !fEditor.HasSelection())
        return;
    BeginEditStep();
    const QRect Old = EditorRect();
    fEditor.InsertText(Text);
    EditorChanged(Old);
}

void TGridObject::MoveCaret(TCharPos Pos, bool Extend, bool Horizontal)
{
    if (!IsInternalEditorOpen())
        return;
    SyncEditor();
    fEditor.SetCaret(Pos, Extend);
    if (Horizontal)
        RememberCaretColumn();
    ScrollCaretIntoView();
    InvalidateRect(EditorRect());
}

void TGridObject::MoveCaretVertically(int Direction, bool Extend)
{
    if (!IsInternalEditorOpen())
        return;
    SyncEditor();
    const qint32 Line = fEditor.CaretPos().Line + Direction;
    if (Line < 0 || Line >= fEditor.LineCount())
        return;
    const TEditorLayout L = LayoutEditor();
    const TCharPos To = PixelToChar(L, QPoint(fSavedCaretX, L.Tops[size_t(Line)]));
    MoveCaret(To, Extend, false);
}

void TGridObject::SetCaretAtPoint(qint32 X, qint32 Y, bool Extend)
{
    if (!IsInternalEditorOpen())
        return;
    const TEditorLayout L = LayoutEditor();
    // A caret placed by the pointer means the user works inside the text:
    // from now on the arrows move the caret instead of leaving the cell.
    fStartEditor = false;
    MoveCaret(PixelToChar(L, QPoint(X, Y) - fTextOrigin), Extend, true);
}

void TGridObject::SelectAllEditorText()
{
    if (!IsInternalEditorOpen())
        return;
    SyncEditor();
    fEditor.SelectAll();
    RememberCaretColumn();
    ScrollCaretIntoView();
    InvalidateRect(EditorRect());
}

void TGridObject::CopyToClipboard()
{
    TMyClipboard& Clipboard = TMyClipboard::Instance();
    if (IsInternalEditorOpen()) {
        SyncEditor();
        if (fEditor.HasSelection())
            Clipboard.SetAsWideText(fEditor.SelectedText());
        return;
    }
    if (fEditorMode)
        return;
    CopySelectionToClipboard(*this, Clipboard);
}

void TGridObject::PasteFromClipboard(bool PasteValues)
{
    const QString Text = TMyClipboard::Instance().AsWideText();
    if (IsInternalEditorOpen()) {
        const TEditStateScope Pasting(*this, esPasteText);
        InsertText(Text);
        return;
    }
    if (fEditorMode)
        return;
    PasteIntoSelection(*this, TMyClipboard::Instance(), PasteValues);
}

bool TGridObject::ClearSelection()
{
    if (fReadOnly || fEditorMode)
        return false;
    // The cells are found in the list, not by walking the positions: a
    // whole selected column of a million rows holds only its few cells.
    std::vector<TCell*> Targets;
    std::unordered_set<const TCell*> Seen;
    for (int I = 0; I < fSelection->Count(); ++I) {
        const TGridRegion R = fSelection->Items(I)->Coord().Normalized();
        int Index = 0;
        fCells->Find(R.FirstCol, R.FirstRow, Index);
        for (; Index < fCells->Count(); ++Index) {
            TCell* Cell = fCells->Items(Index);
            const TGridRegion& C = Cell->RegionCoord();
            if (C.FirstRow > R.LastRow)
                break;
            if (C.FirstCol < R.FirstCol || C.FirstCol > R.LastCol)
                continue;
            if (!Seen.insert(Cell).second)
                continue;
            if (!CanEdit(C.FirstCol, C.FirstRow, TCellStates(), fColHeads->FindHead(C.FirstCol),
                    fRowHeads->FindHead(C.FirstRow), Cell))
                continue;
            Targets.push_back(Cell);
        }
    }
    if (Targets.empty())
        return false;
    std::unique_ptr<TUndoGroup> Group;
    if (fUndoEnabled && !fEditState.Contains(esUndo))
        Group = std::make_unique<TUndoGroup>(this);
    {
        TCollectionUpdate Update(*fCells);
        for (TCell* Cell : Targets) {
            const TGridRegion C = Cell->RegionCoord();
            if (Group) {
                // The record keeps a detached copy; the cell itself leaves
                // through the list, which unlinks whatever refers to it.
                auto Copy = std::make_unique<TCell>(this);
                Copy->Assign(*Cell);
                Group->Add(std::make_unique<TUndoCell>(this, std::move(Copy)));
            }
            delete Cell;
            InvalidateCell(C.FirstCol, C.FirstRow);
        }
    }
    if (Group)
        fUndoList->AddItem(std::move(Group));
    return true;
}
