#pragma once

#include "grid/model/Cell.h"
#include "grid/model/CellObjectList.h"

class THead;

// The cells of a grid, ordered by number and so by (row, column).
class TCellList : public TCellObjectList {
public:
    explicit TCellList(IGridHost* Grid);

    TCell* Items(int Index) const { return static_cast<TCell*>(Item(Index)); }
    // A new, empty cell without coordinates.
    TCell* Add() { return static_cast<TCell*>(AddItem()); }
    // None unless both heads are the grid's and lie in the data area; the
    // existing cell there when there is one.
    TCell* Add(THead* AColHead, THead* ARowHead);
    // A new cell at a data position, taking the position's current format;
    // the existing cell there when there is one, none outside the data area
    // or without a grid.
    TCell* Add(qint32 ACol, qint32 ARow);
    TCell* GetCell(qint32 Col, qint32 Row);
    TCell* FindCell(qint32 Col, qint32 Row) const;

    using TCellObjectList::Find;
    // Binary search by (row, column) of the cells' regions: the match or the
    // insertion point.
    bool Find(qint32 Col, qint32 Row, int& Index) const;
    void Sort();
    void UpdateIndexes();

    bool CheckConsistency(QString* Fault = nullptr) const override;
    QString ClassName() const override { return QStringLiteral("TCellList"); }

protected:
    std::unique_ptr<TGridObjectCollectionItem> CreateItem() const override;

private:
    // Whether no cell has Number; then Index, on entry a guess, is where a
    // cell with it belongs.
    bool NumberPlace(TCellNumber Number, int& Index) const;
};
