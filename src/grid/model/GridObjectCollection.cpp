#include "grid/model/GridObjectCollection.h"

#include "grid/model/GridError.h"
#include "grid/model/GridHost.h"
#include "grid/model/GridObjectCollectionItem.h"

TGridObjectCollection::TGridObjectCollection(IGridHost* Grid)
    : fGrid(Grid)
{
}

TGridObjectCollection::TGridObjectCollection(TGridObjectCollection* Owner)
    : fOwner(Owner)
{
}

TGridObjectCollection::~TGridObjectCollection()
{
    // Deleting items one by one would notify the owner for each; the owner
    // is going away with us.
    ++fUpdateCount;
    while (Count() > 0)
        delete Item(Count() - 1);
}

IGridHost* TGridObjectCollection::Grid() const
{
    return fOwner ? fOwner->Grid() : fGrid;
}

TGridObjectCollectionItem* TGridObjectCollection::FindItem(const QString& AName) const
{
    if (AName.isEmpty())
        return nullptr;
    for (int I = 0; I < Count(); ++I) {
        TGridObjectCollectionItem* It = Item(I);
        if (It->GetName().compare(AName, Qt::CaseInsensitive) == 0)
            return It;
    }
    return nullptr;
}

std::unique_ptr<TGridObjectCollectionItem> TGridObjectCollection::CreateItem() const
{
    return std::make_unique<TGridObjectCollectionItem>();
}

int TGridObjectCollection::NewItemIndex(const TGridObjectCollectionItem&) const { return Count(); }

TGridObjectCollectionItem* TGridObjectCollection::AddItem()
{
    std::unique_ptr<TGridObjectCollectionItem> New = CreateItem();
    TGridObjectCollectionItem* Result = New.release();
    InsertItem(Result, NewItemIndex(*Result));
    return Result;
}

void TGridObjectCollection::InsertItem(TGridObjectCollectionItem* It, int Index)
{
    It->fCollection = this;
    It->fID = fNextID++;
    fItems.Insert(Index, It);
    It->CollectionJoined();
    Notify(It, cnAdded);
    Changed();
}

void TGridObjectCollection::RemoveItem(TGridObjectCollectionItem* It)
{
    Notify(It, cnExtracting);
    fItems.Remove(fItems.IndexOf(It));
    It->fCollection = nullptr;
    Changed();
}

void TGridObjectCollection::Delete(int Index)
{
    delete Item(Index);
}

void TGridObjectCollection::Clear()
{
    if (Count() == 0)
        return;
    TCollectionUpdate Update(*this);
    while (Count() > 0)
        delete Item(Count() - 1);
}

void TGridObjectCollection::MoveItem(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    TGridObjectCollectionItem* It = fItems.Remove(CurIndex);
    if (It)
        fItems.Insert(NewIndex, It);
}

void TGridObjectCollection::BeginUpdate() { ++fUpdateCount; }

void TGridObjectCollection::EndUpdate()
{
    --fUpdateCount;
    if (fUpdateCount == 0)
        Changed();
}

void TGridObjectCollection::Changed()
{
    if (fUpdateCount == 0)
        Update(nullptr);
}

void TGridObjectCollection::Update(TGridObjectCollectionItem* It)
{
    if (IGridHost* G = Grid())
        G->CollectionChanged(*this, It);
}

void TGridObjectCollection::Notify(TGridObjectCollectionItem*, TCollectionNotification) { }

void TGridObjectCollection::Assign(const TPersistent& Source)
{
    const auto* Other = dynamic_cast<const TGridObjectCollection*>(&Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    TCollectionUpdate Update(*this);
    Clear();
    for (int I = 0; I < Other->Count(); ++I)
        AddItem()->Assign(*Other->Item(I));
}

TGridObjectCollectionItem::~TGridObjectCollectionItem() { Detach(); }

void TGridObjectCollectionItem::Detach()
{
    if (fCollection)
        fCollection->RemoveItem(this);
}

IGridHost* TGridObjectCollectionItem::Grid() const
{
    return fCollection ? fCollection->Grid() : nullptr;
}

void TGridObjectCollectionItem::SortKeyChanged()
{
    if (fCollection)
        fCollection->fItems.Refresh(this);
}

int TGridObjectCollectionItem::Index() const
{
    return fCollection ? fCollection->IndexOf(this) : -1;
}

void TGridObjectCollectionItem::SetIndex(int Value)
{
    if (!fCollection)
        return;
    const int Cur = Index();
    if (Value >= 0 && Value < fCollection->Count() && Value != Cur) {
        fCollection->MoveItem(Cur, Value);
        Changed(true);
    }
}

void TGridObjectCollectionItem::SetNameValue(const QString& Value)
{
    if (Value.compare(fName, Qt::CaseInsensitive) == 0)
        return;
    if (!Value.isEmpty() && fCollection) {
        TGridObjectCollectionItem* Other = fCollection->FindItem(Value);
        if (Other && Other != this)
            throw EGridError(QStringLiteral("A object named %1 already exists").arg(Value));
    }
    fName = Value;
    Changed(false);
}

QString TGridObjectCollectionItem::DisplayName() const
{
    return fName.isEmpty() ? ClassName() : fName;
}

void TGridObjectCollectionItem::Assign(const TPersistent& Source)
{
    if (const auto* Other = dynamic_cast<const TGridObjectCollectionItem*>(&Source)) {
        if (Other != this)
            fName = Other->fName;
        return;
    }
    TPersistent::Assign(Source);
}

void TGridObjectCollectionItem::Changed(bool AllItems)
{
    if (fCollection && fCollection->UpdateCount() == 0)
        fCollection->Update(AllItems ? nullptr : this);
}
