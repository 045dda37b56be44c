#pragma once

#include "grid/model/GridObjectCollection.h"
#include "grid/model/Region.h"

#include <functional>

enum TRangeState {
    rsUnknown,
    rsEmpty,
    rsCell,
    rsColumn,
    rsMultiColumn,
    rsRow,
    rsMultiRow,
    rsRange,
    rsArea,
    rsMultiRange
};

class TRange;
using TCollectionChanged = std::function<void(TRange& Range, TGridObjectCollectionItem* Item)>;

// An ordered collection of rectangular regions of one grid, which knows the
// shape it forms (whole rows, whole columns, one cell, several areas).
class TRange : public TGridObjectCollection {
public:
    explicit TRange(IGridHost* Grid);

    TRegion* Items(int Index) const { return static_cast<TRegion*>(Item(Index)); }
    TRangeState RangeState() const { return fRangeState; }

    // Puts the corners in order and, with a grid, keeps the region inside the
    // data area: shifted during a copy drag, clamped otherwise.
    virtual void NormalizeRegion(TGridRegion& Region) const;
    virtual TRegion* Add();
    virtual TRegion* Add(const TGridRegion& Region);
    // Normalises every region again, after the grid changed its size.
    virtual void UpdateRange();
    // The last region that contains the cell, or -1.
    virtual int Region(qint32 ACol, qint32 ARow) const;
    TRegion* First() const { return Count() > 0 ? Items(0) : nullptr; }
    TRegion* Last() const { return Count() > 0 ? Items(Count() - 1) : nullptr; }
    // False for an empty range, GridRegion untouched; otherwise whether the
    // bounding rectangle, stored in GridRegion, is normalised.
    virtual bool UnionArea(TGridRegion& GridRegion) const;
    bool IsEmpty() const { return Count() == 0; }
    bool IsSingleRegion() const { return Count() == 1; }
    bool IsMultiRegion() const { return Count() > 1; }

    bool CheckConsistency(QString* Fault = nullptr) const;
    QString ClassName() const override { return QStringLiteral("TRange"); }

    TCollectionChanged OnChange;

protected:
    std::unique_ptr<TGridObjectCollectionItem> CreateItem() const override;
    void Update(TGridObjectCollectionItem* Item) override;

private:
    TRangeState Classify() const;

    TRangeState fRangeState = rsEmpty;
};
