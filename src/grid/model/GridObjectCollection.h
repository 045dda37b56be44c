#pragma once

#include "grid/model/ItemStore.h"
#include "text/Persistent.h"

#include <QString>

#include <memory>

class IGridHost;
class TGridObjectCollectionItem;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// An owned collection that knows its grid. It owns its items and notifies
// its owner of changes outside update brackets.
class TGridObjectCollection : public TPersistent {
public:
    explicit TGridObjectCollection(IGridHost* Grid);
    explicit TGridObjectCollection(TGridObjectCollection* Owner);
    ~TGridObjectCollection() override;
    TGridObjectCollection(const TGridObjectCollection&) = delete;
    TGridObjectCollection& operator=(const TGridObjectCollection&) = delete;

    IGridHost* Grid() const;
    int Count() const { return fItems.Count(); }
    TGridObjectCollectionItem* Item(int Index) const { return fItems.At(Index); }
    int IndexOf(const TGridObjectCollectionItem* Item) const { return fItems.IndexOf(Item); }

    // The first item whose name equals AName ignoring case; none for an empty
    // name.
    TGridObjectCollectionItem* FindItem(const QString& AName) const;
    TGridObjectCollectionItem* AddItem();
    void Delete(int Index);
    void Clear();

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return fUpdateCount; }
    // A change of the whole collection (outside update brackets).
    void Changed();

    // Copies the items of another collection of the same kind.
    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TGridObjectCollection"); }

protected:
    virtual std::unique_ptr<TGridObjectCollectionItem> CreateItem() const;
    // Where a new item joins; the end by default.
    virtual int NewItemIndex(const TGridObjectCollectionItem& Item) const;
    virtual void Update(TGridObjectCollectionItem* Item);
    virtual void Notify(TGridObjectCollectionItem* Item, TCollectionNotification Action);
    // Plain re-indexing without any renumbering.
    void MoveItem(int CurIndex, int NewIndex);
    void InsertItem(TGridObjectCollectionItem* Item, int Index);
    void RemoveItem(TGridObjectCollectionItem* Item);
    const TItemStore& Store() const { return fItems; }
    TItemStore& Store() { return fItems; }

private:
    friend class TGridObjectCollectionItem;

    IGridHost* fGrid = nullptr;
    TGridObjectCollection* fOwner = nullptr;
    TItemStore fItems;
    int fUpdateCount = 0;
    int fNextID = 0;
};

// Keeps a collection inside one update bracket, also when an error passes.
class TCollectionUpdate {
public:
    explicit TCollectionUpdate(TGridObjectCollection& C)
        : fCollection(C)
    {
        fCollection.BeginUpdate();
    }
    ~TCollectionUpdate() { fCollection.EndUpdate(); }
    TCollectionUpdate(const TCollectionUpdate&) = delete;
    TCollectionUpdate& operator=(const TCollectionUpdate&) = delete;

private:
    TGridObjectCollection& fCollection;
};
