#include "grid/GridObject.h"

#include "grid/DropList.h"
#include "grid/GridWindow.h"
#include "grid/Undo.h"
#include "grid/model/EffectiveFormat.h"

#include <algorithm>

TGridObject::TGridObject(IGridWindow* AGridControl)
    : fGridControl(AGridControl)
    , fColors { clBtnFace, clGray, clWhite, clBtnFace, clGray, clNavy, clWhite }
{
    fColHeads = CreateColHeads();
    fRowHeads = CreateRowHeads();
    fColHeads->SetDefHeadSize(fCellSize.x());
    fRowHeads->SetDefHeadSize(fCellSize.y());
    fCells = std::make_unique<TCellList>(this);
    fSelection = std::make_unique<TSelection>(this);
    fSelection->OnChange = [this](TRange& R, TGridObjectCollectionItem* Item) {
        SelectionChanged(R, Item);
    };
    fReferences = std::make_unique<TRange>(this);
    fSelection->Add(TGridRegion::Cell(fCurrent.Col, fCurrent.Row));
    fUndoList = std::make_unique<TUndoList>(this);
}

TGridObject::~TGridObject()
{
    StopTimer();
    TCustomDropList::GridDestroying(this);
    fUndoList.reset();
    // Regions and cells go before the heads they point at; nothing is
    // repainted or reported while the grid is taken apart.
    fSelection->OnChange = nullptr;
    fSelection->SetCanRedraw(false);
    fSelection->Clear();
    fReferences->Clear();
    fCells->Clear();
    fRowHeads->Clear();
    fColHeads->Clear();
}

std::unique_ptr<THeadList> TGridObject::CreateColHeads() { return std::make_unique<THeadList>(this); }

std::unique_ptr<THeadList> TGridObject::CreateRowHeads() { return std::make_unique<THeadList>(this); }

void TGridObject::Assign(const TPersistent& Source)
{
    const auto* G = dynamic_cast<const TGridObject*>(&Source);
    if (!G) {
        TPersistent::Assign(Source);
        return;
    }
    if (G == this)
        return;
    fColors = G->fColors;
    fArea = G->fArea;
    fCellSize = G->fCellSize;
    fSpaceSize = G->fSpaceSize;
    fCtl3D = G->fCtl3D;
    fHideSelection = G->fHideSelection;
    fSelectionFrame = G->fSelectionFrame;
    fHighlight = G->fHighlight;
    fExcelCursors = G->fExcelCursors;
    fAutoCollapse = G->fAutoCollapse;
    fRowSizing = G->fRowSizing;
    fColSizing = G->fColSizing;
    fRowMoving = G->fRowMoving;
    fColMoving = G->fColMoving;
    fAutoNumCols = G->fAutoNumCols;
    fAutoNumRows = G->fAutoNumRows;
    fStartRow = G->fStartRow;
    fReadOnly = G->fReadOnly;
    // Cells refer to heads; cells whose heads are replaced would point at
    // nothing, so they leave first. Cells are not copied.
    fCells->Clear();
    fColHeads->SetDefHeadSize(fCellSize.x());
    fRowHeads->SetDefHeadSize(fCellSize.y());
    fRowHeads->Assign(*G->fRowHeads);
    fColHeads->Assign(*G->fColHeads);
    fOrderHistory = G->fOrderHistory;
    // The scroll position and the current cell stay where they were, moved
    // inside the new dimensions.
    fFirst.Col = std::clamp(fFirst.Col, FixedCols(), fArea.LastCol);
    fFirst.Row = std::clamp(fFirst.Row, FixedRows(), fArea.LastRow);
    FocusCell(std::clamp(fCurrent.Col, FixedCols(), fArea.LastCol),
        std::clamp(fCurrent.Row, FixedRows(), fArea.LastRow), false, true);
    fSelection->UpdateRange();
    GeometryChanged();
}

void TGridObject::SetFlag(bool& Field, bool Value)
{
    if (Field == Value)
        return;
    Field = Value;
    InvalidateGrid();
}

void TGridObject::GeometryChanged()
{
    InvalidateGrid();
    UpdateScrollBars();
}

void TGridObject::SetGridColor(TGridColorIndex Index, TColor Value)
{
    if (fColors[size_t(Index)] == Value)
        return;
    fColors[size_t(Index)] = Value;
    InvalidateGrid();
}

void TGridObject::ResetOrigin()
{
    fFirst = { FixedCols(), FixedRows() };
    FocusCell(fFirst.Col, fFirst.Row, false, true);
    fActiveCell = { -1, -1 };
}

void TGridObject::SetFixedCols(qint32 Value)
{
    Value = std::clamp(Value, 0, ColCount() - 1);
    if (Value == FixedCols())
        return;
    fArea.FirstCol = Value;
    fSelection->UpdateRange();
    ResetOrigin();
    GeometryChanged();
}

void TGridObject::SetFixedRows(qint32 Value)
{
    Value = std::clamp(Value, 0, RowCount() - 1);
    if (Value == FixedRows())
        return;
    fArea.FirstRow = Value;
    fSelection->UpdateRange();
    ResetOrigin();
    GeometryChanged();
}

void TGridObject::SetColCount(qint32 Value)
{
    Value = std::max(Value, 1);
    if (Value == ColCount())
        return;
    fArea.LastCol = Value - 1;
    fArea.FirstCol = std::min(fArea.FirstCol, Value - 1);
    auto Fit = [this](qint32 C) {
        if (C < FixedCols())
            C = StepVisibleCol(FixedCols() - 1, 1);
        else if (C > fArea.LastCol)
            C = StepVisibleCol(ColCount(), -1);
        // With every column hidden no step finds one; the index still has to
        // stay inside the scrollable columns.
        return std::clamp(C, FixedCols(), fArea.LastCol);
    };
    fFirst.Col = Fit(fFirst.Col);
    fSelection->UpdateRange();
    const qint32 C = Fit(fCurrent.Col);
    if (C != fCurrent.Col)
        FocusCell(C, fCurrent.Row, true, true);
    else
        fAnchor.Col = std::min(fAnchor.Col, fArea.LastCol);
    GeometryChanged();
}

void TGridObject::SetRowCount(qint32 Value)
{
    Value = std::max(Value, 1);
    if (Value == RowCount())
        return;
    fArea.LastRow = Value - 1;
    fArea.FirstRow = std::min(fArea.FirstRow, Value - 1);
    auto Fit = [this](qint32 R) {
        if (R < FixedRows())
            R = StepVisibleRow(FixedRows() - 1, 1);
        else if (R > fArea.LastRow)
            R = StepVisibleRow(RowCount(), -1);
        return std::clamp(R, FixedRows(), fArea.LastRow);
    };
    fFirst.Row = Fit(fFirst.Row);
    fSelection->UpdateRange();
    const qint32 R = Fit(fCurrent.Row);
    if (R != fCurrent.Row)
        FocusCell(fCurrent.Col, R, true, true);
    else
        fAnchor.Row = std::min(fAnchor.Row, fArea.LastRow);
    GeometryChanged();
}

void TGridObject::SetDefaultColWidth(qint32 Value)
{
    if (Value == fCellSize.x())
        return;
    fCellSize.setX(Value);
    fColHeads->SetDefHeadSize(Value);
    GeometryChanged();
}

void TGridObject::SetDefaultRowHeight(qint32 Value)
{
    if (Value == fCellSize.y())
        return;
    fCellSize.setY(Value);
    fRowHeads->SetDefHeadSize(Value);
    GeometryChanged();
}

void TGridObject::SetSpaceWidth(qint32 Value)
{
    if (Value == fSpaceSize.x())
        return;
    fSpaceSize.setX(Value);
    GeometryChanged();
}

void TGridObject::SetSpaceHeight(qint32 Value)
{
    if (Value == fSpaceSize.y())
        return;
    fSpaceSize.setY(Value);
    GeometryChanged();
}

void TGridObject::SetAutoNumRows(bool Value)
{
    if (Value == fAutoNumRows)
        return;
    fAutoNumRows = Value;
    if (Value)
        AdjustWidth(0);
    InvalidateGrid();
}

void TGridObject::SetAutoRowStart(qint32 Value)
{
    if (Value == fStartRow)
        return;
    fStartRow = Value;
    InvalidateGrid();
}

void TGridObject::SetRowSelect(bool Value)
{
    if (Value == fRowSelect)
        return;
    fRowSelect = Value;
    if (Value) {
        fSelection->SetCanRedraw(true);
        if (fSelection->IsMultiRegion())
            fSelection->Clear();
        fSelection->ChangeLast({ FixedCols(), fCurrent.Row }, { fArea.LastCol, fCurrent.Row });
    }
    InvalidateGrid();
}

void TGridObject::SetLeftCol(qint32 Value)
{
    if (Value < FixedCols() || Value > fArea.LastCol)
        return;
    SetFirst(Value, fFirst.Row);
}

void TGridObject::SetTopRow(qint32 Value)
{
    if (Value < FixedRows() || Value > fArea.LastRow)
        return;
    SetFirst(fFirst.Col, Value);
}

void TGridObject::SetCol(qint32 Value)
{
    if (Value < FixedCols() || Value > fArea.LastCol)
        return;
    MakeVisible(Value, fCurrent.Row);
    FocusCell(Value, fCurrent.Row, true, true);
}

void TGridObject::SetRow(qint32 Value)
{
    if (Value < FixedRows() || Value > fArea.LastRow)
        return;
    MakeVisible(fCurrent.Col, Value);
    FocusCell(fCurrent.Col, Value, true, true);
}

bool TGridObject::IsFocused(qint32 ACol, qint32 ARow) const
{
    const TGridCell C = fEditorMode ? fEditCell : fCurrent;
    return C.Col == ACol && C.Row == ARow;
}

bool TGridObject::IsSelected(qint32 ACol, qint32 ARow) const
{
    if (fEditorMode)
        return fEditCell.Col == ACol && fEditCell.Row == ARow;
    return fSelection->IsSelected(ACol, ARow);
}

void TGridObject::FocusCell(qint32 ACol, qint32 ARow, bool CanRedraw, bool Collapse)
{
    if (fCurrent.Col == ACol && fCurrent.Row == ARow && !fSelection->IsEmpty() && !fFormulaState)
        return;
    if (fEditorMode && !fFormulaState)
        CloseEditor();
    if (CanRedraw)
        InvalidateCell(fCurrent);
    fCurrent = fAnchor = { ACol, ARow };
    fSelection->SetCanRedraw(CanRedraw);
    if (fRowSelect) {
        if (fSelection->IsMultiRegion())
            fSelection->Clear();
        fSelection->ChangeLast({ FixedCols(), ARow }, { fArea.LastCol, ARow });
    } else if (Collapse) {
        if (fSelection->IsMultiRegion())
            fSelection->Clear();
        fSelection->ChangeLast(fCurrent, fCurrent);
    } else {
        fSelection->Add(TGridRegion::Cell(ACol, ARow));
    }
    if (fSelection->IsSingleRegion() && fSelection->Last()->Count() == 1)
        fActiveCell = fCurrent;
    if (CanRedraw)
        InvalidateCell(fCurrent);
}

void TGridObject::ExtendSelection(qint32 ACol, qint32 ARow)
{
    if (fRowSelect || (fAnchor.Col == ACol && fAnchor.Row == ARow))
        return;
    if (fEditorMode)
        CloseEditor();
    fAnchor = { ACol, ARow };
    fSelection->SetCanRedraw(true);
    fSelection->ChangeLast(fCurrent, fAnchor);
}

void TGridObject::SelectAll()
{
    if (fEditorMode)
        CloseEditor();
    fCurrent = fFirst;
    fSelection->SetCanRedraw(true);
    {
        TCollectionUpdate Update(*fSelection);
        fSelection->Clear();
    }
    fSelection->Add(fArea);
    fAnchor = fArea.Last();
    InvalidateGrid();
}

void TGridObject::SelectionChanged(TRange& Range, TGridObjectCollectionItem* Item)
{
    if (fGridControl)
        fGridControl->SelectionChanged(Range, Item);
}

bool TGridObject::IsLoading() const
{
    return fLoading || (fGridControl && fGridControl->IsLoading());
}

bool TGridObject::IsDesigning() const { return fGridControl && fGridControl->IsDesigning(); }

const TGridFont* TGridObject::ControlFont() const
{
    return fGridControl ? &fGridControl->Font() : nullptr;
}

qint32 TGridObject::NextOrder(int K) { return ++fOrderHistory[size_t(K)]; }

void TGridObject::RaiseOrder(int K, qint32 Value)
{
    fOrderHistory[size_t(K)] = std::max(fOrderHistory[size_t(K)], Value);
}

TCellStates TGridObject::CellState(qint32 ACol, qint32 ARow) const
{
    TCellStates S;
    if (IsFixed(ACol, ARow))
        S.Include(csFixed);
    if (IsFocused(ACol, ARow))
        S.Include(csFocused);
    if (IsSelected(ACol, ARow))
        S.Include(csSelected);
    if (fEditorMode && fEditCell.Col == ACol && fEditCell.Row == ARow)
        S.Include(csEditor);
    return S;
}

bool TGridObject::GetCellFormat(qint32 ACol, qint32 ARow, TDrawCellInfo& Info)
{
    GetCellInfo(ACol, ARow, CellState(ACol, ARow), Info);
    return true;
}

bool TGridObject::GetCellInfo(qint32 ACol, qint32 ARow, TCellStates AState, TDrawCellInfo& Info)
{
    if (ACol < 0 || ARow < 0 || ACol > fArea.LastCol || ARow > fArea.LastRow) {
        // A record left over from another cell would show that cell's text.
        Info.SetWideText(QString());
        Info.FullText.clear();
        Info.IsValue = false;
        Info.ColHead = Info.RowHead = Info.Cell = nullptr;
        Info.SetPosition(ACol, ARow);
        Info.State = AState;
        return false;
    }
    return BuildCellInfo(ACol, ARow, AState, fColHeads->FindHead(ACol), fRowHeads->FindHead(ARow),
        fCells->FindCell(ACol, ARow), Info);
}

bool TGridObject::BuildCellInfo(qint32 ACol, qint32 ARow, TCellStates AState, THead* ColHead,
    THead* RowHead, TCell* Cell, TDrawCellInfo& Info)
{
    const bool Editing = AState.Contains(csEditor);
    if (Editing && !CanEdit(ACol, ARow))
        AState.Include(csReadOnly);
    Info.EditorLock = false;
    TFormatDefaults D;
    D.FixedCols = FixedCols();
    D.FixedRows = FixedRows();
    D.FixedCellColor = clFixedCell();
    D.EditCellColor = clEditCell();
    D.EditorColor = clEditor();
    D.ControlFont = ControlFont();
    MergeCellFormat(D, ACol, ARow, AState, ColHead, RowHead, Cell, Info);
    QString Text = Editing ? fWideStrings.GetWideText()
                           : CellText(ACol, ARow, AState, ColHead, RowHead, Cell);
    Info.IsValue = !Text.isEmpty();
    Info.SetWideText(Text);
    Info.FullText = Text;
    [&] {
        if (fGridControl && fGridControl->GetCellInfo(ACol, ARow, AState, ColHead, RowHead, Info))
            return;
        if (ColHead && ColHead->GetCellInfo(ACol, ARow, AState, ColHead, RowHead, Info))
            return;
        if (RowHead && RowHead->GetCellInfo(ACol, ARow, AState, ColHead, RowHead, Info))
            return;
        if (Cell)
            Cell->GetCellInfo(ACol, ARow, AState, ColHead, RowHead, Info);
    }();
    if (Editing) {
        // The editor lays its text out line by line and never shows prefixes.
        Info.SetWideText(fWideStrings.GetWideText());
        Info.FullText = Info.WideText();
        Info.Flags = (Info.Flags & ~quint32(0x20 | 0x400 | 0x800)) | 0x400 | 0x800;
    } else if (!fEditState.Contains(esCopyRegion)) {
        FormatValue(Info);
    }
    return true;
}

bool TGridObject::CanEdit(qint32 ACol, qint32 ARow) const
{
    return CanEdit(ACol, ARow, TCellStates(), fColHeads->FindHead(ACol), fRowHeads->FindHead(ARow),
        fCells->FindCell(ACol, ARow));
}

void TGridObject::SetUndoEnabled(bool Value)
{
    fUndoEnabled = Value;
    if (!Value)
        fUndoList->Clear();
}

void TGridObject::SetCellValue(qint32 ACol, qint32 ARow, const QString& Text)
{
    if (ACol < FixedCols() || ARow < FixedRows() || ACol > fArea.LastCol || ARow > fArea.LastRow)
        return;
    const bool Undoing = fEditState.Contains(esUndo);
    if (!Undoing && !CanEdit(ACol, ARow))
        return;
    THead* ColHead = fColHeads->FindHead(ACol);
    THead* RowHead = fRowHeads->FindHead(ARow);
    if (fUndoEnabled && !Undoing) {
        if (fEditState.Contains(esPasteRegion)) {
            if (fPasteUndo)
                fPasteUndo->Store(ACol, ARow, nullptr);
        } else if (CellText(ACol, ARow, TCellStates(), ColHead, RowHead, fCells->FindCell(ACol, ARow))
            != Text) {
            fUndoList->AddItem(std::make_unique<TUndoEdit>(this, ACol, ARow));
        }
    }
    const TCellStates State;
    if (fGridControl && fGridControl->SetEditText(ACol, ARow, State, ColHead, RowHead, Text))
        ;
    else if (ColHead && ColHead->SetEditText(ACol, ARow, State, ColHead, RowHead, Text))
        ;
    else if (RowHead && RowHead->SetEditText(ACol, ARow, State, ColHead, RowHead, Text))
        ;
    else if (TCell* Cell = Text.isEmpty() ? fCells->FindCell(ACol, ARow) : fCells->GetCell(ACol, ARow))
        Cell->SetEditText(ACol, ARow, State, ColHead, RowHead, Text);
    InvalidateCell(ACol, ARow);
}

void TGridObject::PasteTexts(
    qint32 ACol, qint32 ARow, const std::vector<std::vector<QString>>& Rows)
{
    TUndoPaste* Record = nullptr;
    if (fUndoEnabled && !fEditState.Contains(esUndo))
        Record = static_cast<TUndoPaste*>(
            fUndoList->AddItem(std::make_unique<TUndoPaste>(this)));
    const TEditStates Saved = fEditState;
    TEditStates Pasting = Saved;
    Pasting.Include(esPasteRegion);
    fEditState = Pasting;
    fPasteUndo = Record;
    struct TRestore {
        TGridObject& G;
        TEditStates Saved;
        ~TRestore()
        {
            G.fEditState = Saved;
            G.fPasteUndo = nullptr;
        }
    } Restore { *this, Saved };
    for (size_t R = 0; R < Rows.size(); ++R)
        for (size_t C = 0; C < Rows[R].size(); ++C) {
            const qint64 Col = qint64(ACol) + qint64(C);
            const qint64 Row = qint64(ARow) + qint64(R);
            if (Col > fArea.LastCol || Row > fArea.LastRow)
                continue;
            SetCellValue(qint32(Col), qint32(Row), Rows[R][C]);
        }
    if (Record) {
        if (Record->Count() == 0)
            fUndoList->Remove(Record);
        else
            fUndoList->Trim();
    }
}

QString TGridObject::GetCellText(qint32 ACol, qint32 ARow, TCellStates AState)
{
    return CellText(ACol, ARow, AState, fColHeads->FindHead(ACol), fRowHeads->FindHead(ARow),
        fCells->FindCell(ACol, ARow));
}

QString TGridObject::CellText(qint32 ACol, qint32 ARow, TCellStates AState, THead* ColHead,
    THead* RowHead, TCell* Cell)
{
    QString Text;
    if (fGridControl && fGridControl->GetEditText(ACol, ARow, AState, ColHead, RowHead, Text))
        return Text;
    if (ColHead && ColHead->GetEditText(ACol, ARow, AState, ColHead, RowHead, Text))
        return Text;
    if (RowHead && RowHead->GetEditText(ACol, ARow, AState, ColHead, RowHead, Text))
        return Text;
    if (Cell && Cell->GetEditText(ACol, ARow, AState, ColHead, RowHead, Text))
        return Text;
    // Header cells show their head's title, or a number when they have none.
    if (ACol < FixedCols() && ARow >= FixedRows() && ColHead && ColHead->Title().Count() > 0)
        return ColHead->Title().GetWideText();
    if (ARow < FixedRows() && ACol >= FixedCols() && RowHead && RowHead->Title().Count() > 0)
        return RowHead->Title().GetWideText();
    if (ACol == 0 && ARow >= FixedRows() && FixedCols() > 0 && fAutoNumRows)
        return GetAutoRowName(ARow);
    if (ARow == 0 && ACol >= FixedCols() && FixedRows() > 0 && fAutoNumCols)
        return GetAutoColName(ACol);
    return QString();
}

void TGridObject::CollectionChanged(TGridObjectCollection& Collection, TGridObjectCollectionItem*)
{
    if (&Collection == fColHeads.get() || &Collection == fRowHeads.get())
        GeometryChanged();
    else if (&Collection == fCells.get())
        InvalidateGrid();
}

void TGridObject::RegionDestroying(TRegion&) { }

void TGridObject::HeadDestroying(THead& Head)
{
    for (int I = 0; I < fCells->Count(); ++I)
        fCells->Items(I)->ForgetHead(&Head);
}

void TGridObject::LayoutChanged() { GeometryChanged(); }

void TGridObject::InvalidateGrid()
{
    if (fGridControl)
        InvalidateRect(GetClientRect());
}

void TGridObject::UpdateScrollBars()
{
    if (fGridControl)
        fGridControl->UpdateScrollBars();
}

void TGridObject::InvalidateRect(const QRect& ARect)
{
    if (!fGridControl)
        return;
    const QRect R = ARect.intersected(GetClientRect());
    if (R.isEmpty())
        return;
    fDrawRect = fDrawRect.united(R);
    fGridControl->InvalidateRect(R, false);
}

void TGridObject::InvalidateRegion(const TGridRegion& Region)
{
    if (fGridControl)
        InvalidateRect(RegionToRect(Region));
}

void TGridObject::InvalidateCell(qint32 ACol, qint32 ARow)
{
    InvalidateRegion(TGridRegion::Cell(ACol, ARow));
}

void TGridObject::InvalidateCol(qint32 ACol) { InvalidateRegion({ ACol, 0, ACol, fArea.LastRow }); }

void TGridObject::InvalidateRow(qint32 ARow) { InvalidateRegion({ 0, ARow, fArea.LastCol, ARow }); }

bool TGridObject::CheckConsistency(QString* Fault) const
{
    auto Fail = [&](const QString& Why) {
        if (Fault)
            *Fault = Why;
        return false;
    };
    if (ColCount() < 1 || RowCount() < 1 || FixedCols() < 0 || FixedCols() > ColCount() - 1
        || FixedRows() < 0 || FixedRows() > RowCount() - 1)
        return Fail(QStringLiteral("dimensions out of range"));
    if (LeftCol() < FixedCols() || LeftCol() > fArea.LastCol || TopRow() < FixedRows()
        || TopRow() > fArea.LastRow)
        return Fail(QStringLiteral("first cell (%1, %2) out of range").arg(LeftCol()).arg(TopRow()));
    if (!fArea.Contains(fCurrent))
        return Fail(QStringLiteral("current cell (%1, %2) outside the data area")
                        .arg(fCurrent.Col)
                        .arg(fCurrent.Row));
    QString Inner;
    if (!fColHeads->CheckConsistency(&Inner) || !fRowHeads->CheckConsistency(&Inner)
        || !fCells->CheckConsistency(&Inner) || !fSelection->CheckConsistency(&Inner))
        return Fail(Inner);
    if (!fRowSelect && !fSelection->IsEmpty()
        && !fSelection->Last()->Coord().Contains(fCurrent))
        return Fail(QStringLiteral("current cell outside the last selected region"));
    if (!fUndoList->CheckConsistency(&Inner))
        return Fail(Inner);
    if (fEditorMode != (fEditCell != TGridCell { -1, -1 }))
        return Fail(QStringLiteral("edit cell and editor mode disagree"));
    if (fEditorMode && (!fArea.Contains(fEditCell) || IsFixed(fEditCell)))
        return Fail(QStringLiteral("edit cell outside the data area"));
    if (!fEditorMode && (fSessionUndo || fStartEditor))
        return Fail(QStringLiteral("editing state left after the editor closed"));
    if (fEditorMode) {
        const TCellEditor& E = Editor();
        if (!(E.Clamp(E.CaretPos()) == E.CaretPos()) || !(E.Clamp(E.StartPos()) == E.StartPos()))
            return Fail(QStringLiteral("caret outside the editor's text"));
        if (E.Text() != fWideStrings.GetWideText())
            return Fail(QStringLiteral("editor text and its lines disagree"));
    }
    return true;
}
