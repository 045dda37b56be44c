#pragma once

#include "grid/model/GridCell.h"
#include "grid/model/GridColor.h"
#include "grid/model/GridTypes.h"

#include <QString>

class TGridFont;
class TDrawCellInfo;
class THeadList;
class TCellList;
class TGridObjectCollection;
class TGridObjectCollectionItem;
class TRegion;
class THead;

// What the heads, cells and ranges ask of the grid that owns them. The grid
// object implements it; the model knows nothing else of the grid.
class IGridHost {
public:
    virtual ~IGridHost() = default;

    // The data cells: FixedCols .. ColCount-1 by FixedRows .. RowCount-1.
    virtual TGridRegion GridArea() const = 0;
    virtual bool HasControl() const = 0;
    // The control is being read from a stream: stamps and moves are replayed,
    // not made.
    virtual bool IsLoading() const = 0;
    virtual bool IsDesigning() const = 0;
    // The control's font, or none without a control.
    virtual const TGridFont* ControlFont() const = 0;
    virtual TColor EditCellColor() const = 0;
    virtual bool Highlight() const = 0;
    virtual TEditStates EditState() const = 0;
    virtual bool IsCopyDragging() const = 0;
    virtual bool EnableCalculation() const = 0;
    virtual void SetEnableCalculation(bool Value) = 0;

    // Advances the grid's change counter of attribute K (font, alignment,
    // colour, drop list) and returns the new stamp.
    virtual qint32 NextOrder(int K) = 0;
    // Raises the grid's counter K to at least Value.
    virtual void RaiseOrder(int K, qint32 Value) = 0;

    virtual THeadList* ColHeads() = 0;
    virtual THeadList* RowHeads() = 0;
    virtual TCellList* CellList() = 0;

    // Fills Info with the effective format of a cell; false when the grid
    // cannot compute it.
    virtual bool GetCellFormat(qint32 ACol, qint32 ARow, TDrawCellInfo& Info) = 0;
    virtual QString GetRegionName(const TGridRegion& Region) const = 0;

    virtual void CollectionChanged(TGridObjectCollection& Collection,
        TGridObjectCollectionItem* Item)
        = 0;
    virtual void RegionDestroying(TRegion& Region) = 0;
    virtual void HeadDestroying(THead& Head) = 0;
    virtual void InvalidateRegion(const TGridRegion& Region) = 0;
    // Sizes or visibility of heads changed: lay out and repaint everything.
    virtual void LayoutChanged() = 0;
};
