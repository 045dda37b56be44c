#include "grid/model/Cell.h"

#include "grid/model/CellList.h"
#include "grid/model/GridHost.h"
#include "grid/model/HeadList.h"

TCell::TCell(IGridHost* Grid)
    : TRegion(Grid)
{
}

TCell::~TCell() { Detach(); }

void TCell::SetHeads(THead* AColHead, THead* ARowHead)
{
    fColHead = AColHead;
    fRowHead = ARowHead;
}

void TCell::ForgetHead(const THead* Head)
{
    if (fColHead == Head)
        fColHead = nullptr;
    if (fRowHead == Head)
        fRowHead = nullptr;
}

TGridCell TCell::Coord() const
{
    return { fColHead ? qint32(fColHead->Cell()) : -1, fRowHead ? qint32(fRowHead->Cell()) : -1 };
}

void TCell::SetCellFormat(TCellFormat Value)
{
    if (Value == fCellFormat)
        return;
    fCellFormat = Value;
    SignalChange();
}

void TCell::SetPrecision(quint8 Value)
{
    if (Value > 15 || Value == fPrecision)
        return;
    fPrecision = Value;
    SignalChange();
}

void TCell::SetContent(const QString& Value)
{
    WideStrings().SetWideText(Value);
    fLoaded = true;
    SignalChange();
}

void TCell::SetCoord(TGridCell C)
{
    TRegion::SetCoord(TGridRegion::Cell(C.Col, C.Row));
    IGridHost* G = Grid();
    auto* List = dynamic_cast<TCellList*>(Collection());
    if (!G || !List || !G->ColHeads() || !G->RowHeads() || !G->GridArea().Contains(C))
        return;
    const TCellNumber Number = NumberOf(*G, C);
    // Numbers are unique in the list, so a cell that has its number already
    // need not look for another.
    if (Cell() != Number)
        if (TCellObject* Other = List->FindObject(Number); Other && Other != this)
            return;
    fColHead = G->ColHeads()->GetHead(C.Col);
    fRowHead = G->RowHeads()->GetHead(C.Row);
    SetCell(Number);
}

TCellNumber TCell::NumberOf(IGridHost& Grid, TGridCell Cell)
{
    return TCellNumber(Cell.Row) * (Grid.GridArea().LastCol + 1) + Cell.Col;
}

void TCell::SetFirstCol(qint32 Value)
{
    TRegion::SetFirstCol(Value);
    if (IGridHost* G = Grid(); G && !fColHead && G->ColHeads())
        fColHead = G->ColHeads()->GetHead(Value);
}

void TCell::SetFirstRow(qint32 Value)
{
    TRegion::SetFirstRow(Value);
    if (IGridHost* G = Grid(); G && !fRowHead && G->RowHeads())
        fRowHead = G->RowHeads()->GetHead(Value);
}

void TCell::Calculate()
{
    if (IsFormula())
        CalculateFormula();
    SetOperationState(osCalculated);
}

bool TCell::GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, QString& Value)
{
    if (TCellObject::GetEditText(ACol, ARow, AState, AColHead, ARowHead, Value))
        return true;
    IGridHost* G = Grid();
    const TEditStates Edit = G ? G->EditState() : TEditStates();
    const bool Carrying = Edit.Contains(esCopyRegion) || Edit.Contains(esDragRegion);
    if (IsFormula() && !AState.Contains(csEditor) && !fCyclicalReference && !Carrying)
        Value = fFunction->ValueText();
    else if (IsFormula() && Carrying)
        Value = QStringLiteral("=") + fFunction->RelativeText();
    else
        Value = Content();
    return true;
}

bool TCell::SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, const QString& Value)
{
    if (TCellObject::SetEditText(ACol, ARow, AState, AColHead, ARowHead, Value))
        return true;
    WideStrings().SetWideText(Value);
    ParseFormula();
    Calculate();
    SignalChange();
    return true;
}

void TCell::Assign(const TPersistent& Source)
{
    TRegion::Assign(Source);
    if (const auto* Other = dynamic_cast<const TCell*>(&Source); Other && Other != this) {
        fLoaded = Other->fLoaded || Other->IsFormula();
        fCellFormat = Other->fCellFormat;
        fPrecision = Other->fPrecision;
    }
}
