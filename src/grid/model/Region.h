#pragma once

#include "grid/model/CellObject.h"
#include "grid/model/GridCell.h"
#include "grid/model/SortedObjectList.h"

class TCell;

// A named rectangle of cells; also a region of a selection or of the
// formula references.
class TRegion : public TCellObject {
public:
    explicit TRegion(IGridHost* Grid = nullptr);
    ~TRegion() override;

    const TGridRegion& RegionCoord() const { return fCoord; }
    const TGridRegion& Coord() const { return fCoord; }
    qint32 FirstCol() const { return fCoord.FirstCol; }
    qint32 FirstRow() const { return fCoord.FirstRow; }
    qint32 LastCol() const { return fCoord.LastCol; }
    qint32 LastRow() const { return fCoord.LastRow; }
    virtual void SetFirstCol(qint32 Value);
    virtual void SetFirstRow(qint32 Value);
    virtual void SetLastCol(qint32 Value);
    virtual void SetLastRow(qint32 Value);

    qint64 ColCount() const { return qint64(fCoord.LastCol) - fCoord.FirstCol + 1; }
    qint64 RowCount() const { return qint64(fCoord.LastRow) - fCoord.FirstRow + 1; }
    qint64 Count() const { return ColCount() * RowCount(); }
    TColor Color() const { return GetColor(); }
    // The existing cell object at position Index of the region (row by row),
    // or none.
    TCell* Cells(qint64 Index) const;

    // Stores the rectangle and names the region after it.
    virtual void SetCoord(const TGridRegion& Region);
    virtual TColor GetColor() const;
    virtual void RemoveRelations();
    virtual bool CheckCycles() { return false; }

    bool Removing() const { return fRemoving; }
    void SetRemoving(bool Value) { fRemoving = Value; }
    qint32 RegionID() const { return fRegionID; }
    void SetRegionID(qint32 Value) { fRegionID = Value; }
    qint32 EntryCount() const { return fEntryCount; }
    void SetEntryCount(qint32 Value) { fEntryCount = Value; }
    TSortedObjectList& Relations() { return fRelations; }
    bool CyclicalChecking() const { return fCyclicalChecking; }
    void SetCyclicalChecking(bool Value) { fCyclicalChecking = Value; }

    TItemKey SortKey() const override
    {
        return { Cell(), TItemKey::PositionOf(fCoord.FirstCol, fCoord.FirstRow) };
    }
    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TRegion"); }

protected:
    void CollectionJoined() override;
    // Stores the rectangle alone, keeping the collection's key in step.
    void StoreCoord(const TGridRegion& Value);

private:
    TGridRegion fCoord;
    bool fRemoving = false;
    qint32 fRegionID = -1;
    qint32 fEntryCount = 0;
    TSortedObjectList fRelations;
    bool fCyclicalChecking = false;
};
