#include "grid/model/HeadList.h"

#include "grid/model/CellList.h"
#include "grid/model/GridHost.h"

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
    // A head made on the way to a cell carries defaults, not a change of the user's: without
    // stamps it cannot outrank formats set before on the other heads.
    Head->LoadChangedOrders(TChangedOrders {});
    return Head;
}

void THeadList::MoveHeads(qint32 From, qint32 To, qint32 N)
{
    if (Count() == 0 || N <= 0 || From == To || From < 0 || To < 0
        || (From < To && qint64(From) + N > To))
        return;
    // The move permutes the numbers Low..High: the block and the run of numbers it passes
    // over trade places, each keeping its order. Heads outside that range keep their
    // numbers, however far the block or its destination lies from any head.
    const bool Forward = From < To;
    const TCellNumber First = From;
    const TCellNumber Last = First + N - 1;
    const TCellNumber Low = Forward ? First : To;
    const TCellNumber High = Forward ? To : Last;
    auto NewNumber = [&](TCellNumber X) -> TCellNumber {
        if (Forward)
            return X <= Last ? X + (To - Last) : X - N;
        return X >= First ? X - (First - To) : X + N;
    };
    int A = Count();
    int Mid = Count();
    int B = Count();
    Find(Low, A);
    Find(Forward ? Last + 1 : First, Mid);
    Find(High + 1, B);
    if (A == B)
        return;
    {
        TCollectionUpdate Update(*this);
        for (int K = A; K < B; ++K)
            StoreNumberAt(K, NewNumber(Items(K)->Cell()));
        // Both ways the heads of the second group (the run passed over forwards, the block
        // backwards) end up in front of the first; moving the smaller group rotates them.
        if (Mid - A <= B - Mid)
            for (int K = A; K < Mid; ++K)
                MoveItem(A, B - 1);
        else
            for (int K = Mid; K < B; ++K)
                MoveItem(K, A + (K - Mid));
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
