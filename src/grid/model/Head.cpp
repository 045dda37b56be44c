#include "grid/model/Head.h"

#include "grid/model/GridHost.h"
#include "grid/model/HeadList.h"

THead::THead(IGridHost* Grid, qint32 DefSize)
    : TCellObject(Grid)
    , fSize(DefSize)
{
}

THead::~THead() { Detach(); }

void THead::SetSize(qint32 Value)
{
    if (Value == fSize)
        return;
    fSize = Value;
    SignalChange();
}

void THead::SetVisible(bool Value)
{
    if (Value == fVisible)
        return;
    fVisible = Value;
    SignalChange();
}

void THead::SetTitle(const TWideStrings& Value)
{
    WideStrings().Assign(Value);
    SignalChange();
}

std::vector<THead*>* THead::CollapseHistory()
{
    auto* List = dynamic_cast<THeadList*>(Collection());
    return List ? &List->CollapseHistory() : nullptr;
}

void THead::SetIndex(int Value)
{
    auto* List = dynamic_cast<TCellObjectList*>(Collection());
    IGridHost* G = Grid();
    if (!List || !G || !G->HasControl() || G->IsLoading()) {
        TCellObject::SetIndex(Value);
        return;
    }
    const int I = Index();
    if (Value < 0 || Value >= List->Count() || Value == I || List->Count() < 2)
        return;
    const TCellNumber Remembered = List->Items(Value)->Cell();
    if (I < Value)
        for (int K = Value; K > I; --K)
            List->StoreNumberAt(K, List->Items(K - 1)->Cell());
    else
        for (int K = Value; K < I; ++K)
            List->StoreNumberAt(K, List->Items(K + 1)->Cell());
    TCellObjectList::StoreNumber(*this, Remembered);
    MoveTo(Value);
    Changed(true);
}

void THead::Assign(const TPersistent& Source)
{
    TCellObject::Assign(Source);
    if (const auto* Other = dynamic_cast<const THead*>(&Source); Other && Other != this) {
        fSize = Other->fSize;
        fAnchorSize = Other->fAnchorSize;
        fVisible = Other->fVisible;
    }
}
