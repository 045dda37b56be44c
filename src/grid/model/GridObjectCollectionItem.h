#pragma once

#include "grid/model/ItemKey.h"
#include "text/Persistent.h"

#include <QString>

class TGridObjectCollection;
class IGridHost;

// An item of an owned, ordered collection: it knows its collection and its
// position there, and it leaves the collection when it is destroyed.
class TGridObjectCollectionItem : public TPersistent {
public:
    TGridObjectCollectionItem() = default;
    ~TGridObjectCollectionItem() override;
    TGridObjectCollectionItem(const TGridObjectCollectionItem&) = delete;
    TGridObjectCollectionItem& operator=(const TGridObjectCollectionItem&) = delete;

    TGridObjectCollection* Collection() const { return fCollection; }
    // The grid of the collection, or none.
    IGridHost* Grid() const;
    int Index() const;
    // Moves the item to another position of its collection.
    virtual void SetIndex(int Value);
    int ID() const { return fID; }

    QString Name() const { return GetName(); }
    void SetName(const QString& Value) { SetNameValue(Value); }
    virtual QString GetName() const { return fName; }
    // Refuses a name another item of the collection has already.
    virtual void SetNameValue(const QString& Value);
    virtual QString DisplayName() const;
    // Puts back a stored name as it was saved, without the uniqueness check
    // (names given by position may repeat).
    void RestoreName(const QString& Value) { fName = Value; }

    // What an ordered collection sorts and searches the item by.
    virtual TItemKey SortKey() const { return {}; }

    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TGridObjectCollectionItem"); }

protected:
    // Signals a change of this item, or of the whole collection.
    void Changed(bool AllItems);
    // Leaves the collection; safe to call twice. Descendants whose state the
    // collection's notification reads call it first in their destructor.
    void Detach();
    // The name is stored without the uniqueness check (names given by
    // position may repeat).
    void StoreName(const QString& Value) { fName = Value; }
    virtual void CollectionJoined() { }
    // Must follow every change of what SortKey returns, so that the
    // collection's copy of the key stays in step.
    void SortKeyChanged();

private:
    friend class TGridObjectCollection;
    friend class TItemStore;

    TGridObjectCollection* fCollection = nullptr;
    void* fStoreBlock = nullptr;
    int fID = 0;
    QString fName;
};
