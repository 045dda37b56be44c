#pragma once

#include "grid/model/CellObject.h"
#include "grid/model/GridObjectCollection.h"

// A collection of cell objects kept in ascending order of their number Cell.
// Items without a number (-1) sit at the front; numbers from 0 up are unique.
class TCellObjectList : public TGridObjectCollection {
public:
    using TGridObjectCollection::TGridObjectCollection;

    TCellObject* Items(int Index) const { return static_cast<TCellObject*>(Item(Index)); }

    // Binary search among Start .. Stop. False, Index untouched, for a bad
    // range; otherwise Index is the first item with the number (true) or
    // where it would be inserted (false).
    bool Find(int Start, int Stop, TCellNumber Cell, int& Index) const;
    bool Find(int Start, TCellNumber Cell, int& Index) const;
    bool Find(TCellNumber Cell, int& Index) const;
    TCellObject* FindObject(TCellNumber Cell) const;

    virtual void Exchange(int Index1, int Index2);
    virtual int CompareKey(TCellNumber Cell, int Index) const;
    virtual int CompareItems(int Index1, int Index2) const;

    // Verifies order, uniqueness and the item store; Fault names the first
    // broken rule.
    virtual bool CheckConsistency(QString* Fault = nullptr) const;
    QString ClassName() const override { return QStringLiteral("TCellObjectList"); }

protected:
    friend class TCellObject;
    friend class THead;

    std::unique_ptr<TGridObjectCollectionItem> CreateItem() const override;
    int NewItemIndex(const TGridObjectCollectionItem& Item) const override;
    // Gives Item the number Value, moves it to its sorted place and bumps the
    // following items whose numbers collide.
    void PlaceItem(TCellObject& Item, TCellNumber Value);
    void MoveItemTo(TCellObject& Item, int NewIndex);
    // A new item with the number Cell, inserted at Index. Index must be where
    // Find put the number when it found no item with it, so that the order
    // holds without moving the item again.
    TCellObject* AddNumbered(TCellNumber Cell, int Index);
    // Stores a number without moving the item (by reference or by index); the
    // caller keeps the order.
    static void StoreNumber(TCellObject& Item, TCellNumber Value) { Item.StoreCell(Value); }
    void StoreNumberAt(int Index, TCellNumber Value);
};
