#include "text/WideStringsCollection.h"

TWideStringsCollectionItem::TWideStringsCollectionItem(TWideStringsCollection* Collection)
    : fCollection(Collection)
{
}

void TWideStringsCollectionItem::SetWideStrings(const TWideStrings& Value)
{
    fWideStrings.Assign(Value);
    Changed();
}

void TWideStringsCollectionItem::SetWideText(const QString& Value)
{
    fWideStrings.SetWideText(Value);
    Changed();
}

void TWideStringsCollectionItem::SetData(qint32 Value)
{
    if (Value == fData)
        return;
    fData = Value;
    Changed();
}

QString TWideStringsCollectionItem::DisplayName() const
{
    return fWideStrings.Count() > 0 ? fWideStrings.Get(0) : ClassName();
}

void TWideStringsCollectionItem::Assign(const TPersistent& Source)
{
    if (auto* Item = dynamic_cast<const TWideStringsCollectionItem*>(&Source)) {
        if (Item == this)
            return;
        fWideStrings.Assign(Item->fWideStrings);
        fData = Item->fData;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

bool TWideStringsCollectionItem::AssignTo(TPersistent& Dest) const
{
    if (auto* Lines = dynamic_cast<TWideStrings*>(&Dest)) {
        Lines->Assign(fWideStrings);
        return true;
    }
    return TPersistent::AssignTo(Dest);
}

void TWideStringsCollectionItem::Changed()
{
    if (fCollection)
        fCollection->Update();
}

TWideStringsCollectionItem& TWideStringsCollection::Add()
{
    // The item is complete before it joins, so that a handler reacting to
    // the change finds its lines.
    auto Item = std::make_unique<TWideStringsCollectionItem>(this);
    fItems.push_back(std::move(Item));
    Update();
    return *fItems.back();
}

TWideStringsCollectionItem& TWideStringsCollection::Add(const QString& Text, qint32 Data)
{
    auto Item = std::make_unique<TWideStringsCollectionItem>(this);
    Item->fWideStrings.SetWideText(Text);
    Item->fData = Data;
    fItems.push_back(std::move(Item));
    Update();
    return *fItems.back();
}

void TWideStringsCollection::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    fItems.erase(fItems.begin() + Index);
    Update();
}

void TWideStringsCollection::Clear()
{
    if (fItems.empty())
        return;
    fItems.clear();
    Update();
}

int TWideStringsCollection::IndexOf(const QString& Value) const
{
    for (int I = 0; I < Count(); ++I)
        if (fItems[size_t(I)]->WideText().compare(Value, Qt::CaseInsensitive) == 0)
            return I;
    return -1;
}

void TWideStringsCollection::Assign(const TPersistent& Source)
{
    auto* Other = dynamic_cast<const TWideStringsCollection*>(&Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    BeginUpdate();
    fItems.clear();
    for (const auto& Item : Other->fItems) {
        auto Copy = std::make_unique<TWideStringsCollectionItem>(this);
        Copy->fWideStrings.Assign(Item->fWideStrings);
        Copy->fData = Item->fData;
        fItems.push_back(std::move(Copy));
    }
    fPendingUpdate = true;
    EndUpdate();
}

void TWideStringsCollection::EndUpdate()
{
    if (fUpdateCount > 0 && --fUpdateCount == 0 && fPendingUpdate) {
        fPendingUpdate = false;
        if (OnUpdate)
            OnUpdate(*this);
    }
}

void TWideStringsCollection::Update()
{
    if (fUpdateCount > 0) {
        fPendingUpdate = true;
        return;
    }
    if (OnUpdate)
        OnUpdate(*this);
}
