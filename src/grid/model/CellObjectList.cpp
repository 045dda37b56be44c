#include "grid/model/CellObjectList.h"

#include <algorithm>

bool TCellObjectList::Find(int Start, int Stop, TCellNumber Cell, int& Index) const
{
    if (Start < 0 || Start >= Count() || Stop < Start || Stop >= Count())
        return false;
    const TItemKey* Key = nullptr;
    Index = Store().LowerBound(
        Start, Stop + 1, [Cell](const TItemKey& K) { return K.Number < Cell; }, &Key);
    return Key && Key->Number == Cell;
}

bool TCellObjectList::Find(int Start, TCellNumber Cell, int& Index) const
{
    return Find(Start, Count() - 1, Cell, Index);
}

bool TCellObjectList::Find(TCellNumber Cell, int& Index) const
{
    return Find(0, Count() - 1, Cell, Index);
}

TCellObject* TCellObjectList::FindObject(TCellNumber Cell) const
{
    int Index = 0;
    return Find(Cell, Index) ? Items(Index) : nullptr;
}

void TCellObjectList::Exchange(int Index1, int Index2)
{
    TCellObject* First = Items(Index1);
    TCellObject* Second = Items(Index2);
    if (!First || !Second || First == Second)
        return;
    TCollectionUpdate Update(*this);
    MoveItem(IndexOf(Second), Index1);
    MoveItem(IndexOf(First), Index2);
}

int TCellObjectList::CompareKey(TCellNumber Cell, int Index) const
{
    if (Index >= Count())
        return -1;
    const TCellNumber D = Items(Index)->Cell() - Cell;
    return D < 0 ? -1 : (D > 0 ? 1 : 0);
}

int TCellObjectList::CompareItems(int Index1, int Index2) const
{
    if (Index1 >= Count() || Index2 >= Count())
        return -1;
    const TCellNumber D = Items(Index1)->Cell() - Items(Index2)->Cell();
    return D < 0 ? -1 : (D > 0 ? 1 : 0);
}

std::unique_ptr<TGridObjectCollectionItem> TCellObjectList::CreateItem() const
{
    return std::make_unique<TCellObject>(Grid());
}

int TCellObjectList::NewItemIndex(const TGridObjectCollectionItem& Item) const
{
    // After every item whose number is not above the new one, so that the
    // order holds from the moment the item joins.
    const TCellNumber Cell = static_cast<const TCellObject&>(Item).Cell();
    int Index = Count();
    Find(Cell + 1, Index);
    return Index;
}

void TCellObjectList::PlaceItem(TCellObject& It, TCellNumber Value)
{
    const int Cur = IndexOf(&It);
    int P = Count();
    Find(Value, P);
    // The item leaves its old place first.
    if (Cur < P)
        --P;
    It.fCell = Value;
    if (Cur == P) {
        Store().RefreshAt(P);
    } else {
        Store().Remove(Cur);
        Store().Insert(P, &It);
    }
    // Unnumbered items may share -1; only real numbers are kept unique.
    if (Value >= 0) {
        TCellNumber Last = Value;
        for (int I = P + 1; I < Count() && Store().KeyAt(I).Number == Last; ++I)
            StoreNumberAt(I, ++Last);
    }
    Changed();
}

TCellObject* TCellObjectList::AddNumbered(TCellNumber Cell, int Index)
{
    auto* Item = static_cast<TCellObject*>(CreateItem().release());
    Item->fCell = Cell;
    InsertItem(Item, Index);
    return Item;
}

void TCellObjectList::StoreNumberAt(int Index, TCellNumber Value)
{
    if (TCellObject* It = Items(Index)) {
        It->fCell = Value;
        Store().RefreshAt(Index);
    }
}

void TCellObjectList::MoveItemTo(TCellObject& It, int NewIndex)
{
    const int Cur = IndexOf(&It);
    if (Cur < 0 || NewIndex < 0 || NewIndex >= Count())
        return;
    MoveItem(Cur, NewIndex);
}

bool TCellObjectList::CheckConsistency(QString* Fault) const
{
    auto Fail = [&](const QString& Why) {
        if (Fault)
            *Fault = Why;
        return false;
    };
    if (!Store().CheckConsistency())
        return Fail(QStringLiteral("item store is broken"));
    for (int I = 0; I < Count(); ++I) {
        const TCellObject* It = Items(I);
        if (It->Collection() != this || It->Index() != I)
            return Fail(QStringLiteral("item %1 does not know its place").arg(I));
        if (I > 0) {
            const TCellNumber Prev = Items(I - 1)->Cell();
            if (Prev > It->Cell() || (Prev == It->Cell() && Prev >= 0))
                return Fail(QStringLiteral("numbers out of order at %1: %2, %3")
                                .arg(I)
                                .arg(Prev)
                                .arg(It->Cell()));
        }
    }
    return true;
}
