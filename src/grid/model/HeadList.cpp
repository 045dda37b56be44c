#include "grid/model/HeadList.h"

#include "grid/model/CellList.h"
#include "grid/model/GridHost.h"

#include <algorithm>

THeadList::THeadList(IGridHost* Grid)
    : TCellObjectList(Grid)
{
}

std::unique_ptr<TGridObjectCollectionItem> THeadList::CreateItem() const
{
    auto Head = std::make_unique<THead>(Grid(), fDefHeadSize);
    if (IGridHost* G = Grid(); G && G->IsDesigning())
        StoreNumber(*Head, Count() > 0 ? Items(Count() - 1)->Cell() + 1 : 0);
    return Head;
}

int THeadList::NewItemIndex(const TGridObjectCollectionItem& Item) const
{
    return TCellObjectList::NewItemIndex(Item);
}

THead* THeadList::GetHead(TCellNumber Cell)
{
    int Index = Count();
    if (Find(Cell, Index))
        return Items(Index);
    // The search already found the head's sorted place, and no head there
    // has its number to bump; the list reports the new head once.
    TCollectionUpdate Update(*this);
    auto* Head = static_cast<THead*>(AddNumbered(Cell, Index));
    Head->SetSize(fDefHeadSize);
    if (IGridHost* G = Grid()) {
        Head->SetBackColor(G->EditCellColor());
        if (G->ControlFont())
            Head->SetFont(*G->ControlFont());
    }
    return Head;
}

void THeadList::ShiftNumbers(int I, int J)
{
    if (I < J)
        for (int K = std::max(I + 1, 0); K <= J && K < Count(); ++K)
            StoreNumberAt(K, Items(K)->Cell() - 1);
    else if (J < I)
        for (int K = std::max(J, 0); K < I && K < Count(); ++K)
            StoreNumberAt(K, Items(K)->Cell() + 1);
}

void THeadList::MoveHeads(qint32 From, qint32 To, qint32 N)
{
    if (Count() == 0 || N <= 0 || From == To || (From < To && From + N > To))
        return;
    if (From > To)
        From = From + N - 1;
    {
        TCollectionUpdate Update(*this);
        for (qint32 K = 0; K < N; ++K) {
            int I = Count();
            int J = Count();
            const bool HasFrom = Find(From, I);
            if (!Find(To, J) && From < To)
                --J;
            J = std::clamp(J, 0, Count() - 1);
            if (HasFrom) {
                THead* Head = Items(I);
                StoreNumber(*Head, To);
                ShiftNumbers(I, J);
                MoveItem(I, J);
            } else {
                if (From < To)
                    --I;
                ShiftNumbers(I, J);
            }
        }
    }
    if (IGridHost* G = Grid(); G && G->CellList())
        G->CellList()->UpdateIndexes();
}

void THeadList::Notify(TGridObjectCollectionItem* Item, TCollectionNotification Action)
{
    if (Action == cnAdded)
        return;
    auto* Head = static_cast<THead*>(Item);
    std::erase(fCollapseHistory, Head);
    if (IGridHost* G = Grid())
        G->HeadDestroying(*Head);
}

void THeadList::Update(TGridObjectCollectionItem* Item)
{
    IGridHost* G = Grid();
    if (G && G->IsDesigning())
        G->LayoutChanged();
    else
        TCellObjectList::Update(Item);
}
