#include "grid/model/CellList.h"

#include "grid/model/DrawCellInfo.h"
#include "grid/model/GridHost.h"
#include "grid/model/HeadList.h"
#include "grid/model/TextFlags.h"

#include <algorithm>

TCellList::TCellList(IGridHost* Grid)
    : TCellObjectList(Grid)
{
}

std::unique_ptr<TGridObjectCollectionItem> TCellList::CreateItem() const
{
    return std::make_unique<TCell>(Grid());
}

TCell* TCellList::Add(THead* AColHead, THead* ARowHead)
{
    IGridHost* G = Grid();
    if (!AColHead || !ARowHead || !G || !G->ColHeads() || !G->RowHeads()
        || AColHead->Collection() != G->ColHeads() || ARowHead->Collection() != G->RowHeads())
        return nullptr;
    const TGridCell C { qint32(AColHead->Cell()), qint32(ARowHead->Cell()) };
    if (AColHead->Cell() != C.Col || ARowHead->Cell() != C.Row || !G->GridArea().Contains(C))
        return nullptr;
    if (TCell* Existing = FindCell(C.Col, C.Row))
        return Existing;
    TCollectionUpdate Update(*this);
    TCell* Cell = Add();
    Cell->SetHeads(AColHead, ARowHead);
    Cell->SetCoord(C);
    return Cell;
}

TCell* TCellList::Add(qint32 ACol, qint32 ARow)
{
    IGridHost* G = Grid();
    if (!G || !G->GridArea().Contains(ACol, ARow))
        return nullptr;
    int At = 0;
    if (Find(ACol, ARow, At))
        return Items(At);
    TDrawCellInfo Info;
    const bool HasFormat = G->GetCellFormat(ACol, ARow, Info);
    TCollectionUpdate Update(*this);
    // A cell whose number is free joins the list in its final place with its
    // number and position already set, so that SetCoord below neither moves
    // it nor renumbers anything. Otherwise it joins unnumbered, as Add()
    // makes it, and SetCoord leaves it so.
    const TCellNumber Number = TCell::NumberOf(*G, TGridCell { ACol, ARow });
    TCell* Cell = nullptr;
    if (!G->ColHeads() || !G->RowHeads() || !NumberPlace(Number, At)) {
        Cell = Add();
    } else {
        Cell = static_cast<TCell*>(CreateItem().release());
        Cell->StorePlace(TGridRegion::Cell(ACol, ARow), Number);
        InsertItem(Cell, At);
    }
    if (HasFormat) {
        Cell->SetBackColor(Info.CellColor);
        Cell->SetAlignment(FlagsToAlignment(Info.Flags));
        Cell->SetDropList(Info.DropList);
        Cell->SetFont(Info.Font());
    } else {
        Cell->SetBackColor(G->EditCellColor());
        Cell->SetAlignment(FlagsToAlignment(TextFlags::tfObjectDefault));
        if (G->ControlFont())
            Cell->SetFont(*G->ControlFont());
    }
    Cell->SetCoord(TGridCell { ACol, ARow });
    return Cell;
}

bool TCellList::NumberPlace(TCellNumber Number, int& Index) const
{
    // While numbers follow positions, the place found by position is the
    // place for the number too. The neighbours' numbers prove it against the
    // list as it is now, so a guess made before the list changed is safe.
    if (Index >= 0 && Index <= Count()) {
        const bool AfterPrevious = Index == 0 || Store().KeyAt(Index - 1).Number < Number;
        const bool BeforeNext = Index == Count() || Store().KeyAt(Index).Number > Number;
        if (AfterPrevious && BeforeNext)
            return true;
    }
    Index = 0;
    return !Find(Number, Index);
}

TCell* TCellList::GetCell(qint32 Col, qint32 Row)
{
    if (TCell* Existing = FindCell(Col, Row))
        return Existing;
    return Add(Col, Row);
}

TCell* TCellList::FindCell(qint32 Col, qint32 Row) const
{
    int Index = 0;
    return Find(Col, Row, Index) ? Items(Index) : nullptr;
}

bool TCellList::Find(qint32 Col, qint32 Row, int& Index) const
{
    const qint64 Position = TItemKey::PositionOf(Col, Row);
    const TItemKey* Key = nullptr;
    Index = Store().LowerBound(
        0, Count(), [Position](const TItemKey& K) { return K.Position < Position; }, &Key);
    return Key && Key->Number >= 0 && Key->Position == Position;
}

void TCellList::Sort()
{
    std::vector<TGridObjectCollectionItem*> All = Store().ToVector();
    std::stable_sort(All.begin(), All.end(), [](auto* A, auto* B) {
        return static_cast<TCell*>(A)->Cell() < static_cast<TCell*>(B)->Cell();
    });
    Store().Assign(All);
    Changed();
}

void TCellList::UpdateIndexes()
{
    TCollectionUpdate Update(*this);
    // A column or row dragged elsewhere takes its cells along: each cell is
    // placed where its heads now are. Head numbers are unique, so no two
    // cells meet at one place.
    if (IGridHost* G = Grid())
        for (int I = 0; I < Count(); ++I) {
            TCell* C = Items(I);
            const TGridCell At = C->Coord();
            const TGridRegion Place = TGridRegion::Cell(At.Col, At.Row);
            if (At.Col < 0 || At.Row < 0 || C->RegionCoord() == Place)
                continue;
            C->StorePlace(Place, TCell::NumberOf(*G, At));
            C->StoreName(G->GetRegionName(Place));
        }
    Sort();
}

bool TCellList::CheckConsistency(QString* Fault) const
{
    if (!TCellObjectList::CheckConsistency(Fault))
        return false;
    // Numbered cells must also run in (row, column) order, or the search by
    // position goes astray.
    const TCell* Prev = nullptr;
    for (int I = 0; I < Count(); ++I) {
        const TCell* C = Items(I);
        if (C->Cell() < 0)
            continue;
        if (Prev
            && (Prev->FirstRow() > C->FirstRow()
                || (Prev->FirstRow() == C->FirstRow() && Prev->FirstCol() >= C->FirstCol()))) {
            if (Fault)
                *Fault = QStringLiteral("cell %1 at (%2, %3) is out of position order")
                             .arg(I)
                             .arg(C->FirstCol())
                             .arg(C->FirstRow());
            return false;
        }
        Prev = C;
    }
    return true;
}
