#pragma once

#include "grid/model/CellObjectList.h"
#include "grid/model/Head.h"

#include <vector>

// The column heads or the row heads of a grid.
class THeadList : public TCellObjectList {
public:
    explicit THeadList(IGridHost* Grid);

    THead* Items(int Index) const { return static_cast<THead*>(Item(Index)); }
    THead* Add() { return static_cast<THead*>(AddItem()); }
    // The head with that number, created with the list's defaults when there
    // is none.
    THead* GetHead(TCellNumber Cell);
    THead* FindHead(TCellNumber Cell) const { return static_cast<THead*>(FindObject(Cell)); }
    // Moves the block of Count numbers starting at From so that, moving
    // forwards, its last number becomes To, and moving backwards, its first;
    // the numbers passed over close up. Numbers without a head are empty
    // slots, so a move among empty slots renumbers no head.
    void MoveHeads(qint32 From, qint32 To, qint32 Count);

    qint32 DefHeadSize() const { return fDefHeadSize; }
    void SetDefHeadSize(qint32 Value) { fDefHeadSize = Value; }
    std::vector<THead*>& CollapseHistory() { return fCollapseHistory; }

    QString ClassName() const override { return QStringLiteral("THeadList"); }

protected:
    std::unique_ptr<TGridObjectCollectionItem> CreateItem() const override;
    int NewItemIndex(const TGridObjectCollectionItem& Item) const override;
    void Notify(TGridObjectCollectionItem* Item, TCollectionNotification Action) override;
    void Update(TGridObjectCollectionItem* Item) override;

private:
    qint32 fDefHeadSize = 20;
    std::vector<THead*> fCollapseHistory;
};
