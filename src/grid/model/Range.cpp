#include "grid/model/Range.h"

#include "grid/model/GridHost.h"

#include <algorithm>

TRange::TRange(IGridHost* Grid)
    : TGridObjectCollection(Grid)
{
}

std::unique_ptr<TGridObjectCollectionItem> TRange::CreateItem() const
{
    return std::make_unique<TRegion>(Grid());
}

void TRange::NormalizeRegion(TGridRegion& Region) const
{
    Region = Region.Normalized();
    IGridHost* G = Grid();
    if (!G)
        return;
    const TGridRegion A = G->GridArea();
    if (G->IsCopyDragging()) {
        auto Shift = [](qint32& First, qint32& Last, qint32 Low, qint32 High) {
            if (First < Low) {
                Last += Low - First;
                First = Low;
            }
            if (Last > High) {
                First -= Last - High;
                Last = High;
            }
        };
        Shift(Region.FirstCol, Region.LastCol, A.FirstCol, A.LastCol);
        Shift(Region.FirstRow, Region.LastRow, A.FirstRow, A.LastRow);
    }
    // A region larger than the area cannot be shifted inside; clamping keeps
    // every region of a grid within its data cells.
    Region.FirstCol = std::clamp(Region.FirstCol, A.FirstCol, std::max(A.FirstCol, A.LastCol));
    Region.LastCol = std::clamp(Region.LastCol, A.FirstCol, std::max(A.FirstCol, A.LastCol));
    Region.FirstRow = std::clamp(Region.FirstRow, A.FirstRow, std::max(A.FirstRow, A.LastRow));
    Region.LastRow = std::clamp(Region.LastRow, A.FirstRow, std::max(A.FirstRow, A.LastRow));
}

TRegion* TRange::Add() { return static_cast<TRegion*>(AddItem()); }

TRegion* TRange::Add(const TGridRegion& Region)
{
    TGridRegion R = Region;
    NormalizeRegion(R);
    TRegion* New = nullptr;
    {
        TCollectionUpdate Update(*this);
        New = Add();
        New->SetCoord(R);
    }
    return New;
}

void TRange::UpdateRange()
{
    bool Any = false;
    for (int I = 0; I < Count(); ++I) {
        TGridRegion R = Items(I)->Coord();
        NormalizeRegion(R);
        if (R != Items(I)->Coord()) {
            Items(I)->SetCoord(R);
            Any = true;
        }
    }
    if (Any)
        Changed();
}

int TRange::Region(qint32 ACol, qint32 ARow) const
{
    for (int I = Count() - 1; I >= 0; --I)
        if (Items(I)->Coord().Contains(ACol, ARow))
            return I;
    return -1;
}

bool TRange::UnionArea(TGridRegion& GridRegion) const
{
    if (IsEmpty())
        return false;
    TGridRegion U = Items(0)->Coord();
    for (int I = 1; I < Count(); ++I) {
        const TGridRegion& R = Items(I)->Coord();
        U.FirstCol = std::min(U.FirstCol, R.FirstCol);
        U.FirstRow = std::min(U.FirstRow, R.FirstRow);
        U.LastCol = std::max(U.LastCol, R.LastCol);
        U.LastRow = std::max(U.LastRow, R.LastRow);
    }
    GridRegion = U;
    return U.IsNormal();
}

TRangeState TRange::Classify() const
{
    if (Count() == 0)
        return rsEmpty;
    if (Count() > 1)
        return rsMultiRange;
    const TGridRegion R = Items(0)->Coord();
    const TGridRegion A = Grid()->GridArea();
    if (!A.Contains(R.First()) || !A.Contains(R.Last()))
        return rsUnknown;
    const bool OneAreaRow = A.FirstRow == A.LastRow;
    const bool OneAreaCol = A.FirstCol == A.LastCol;
    const bool FullRows = R.FirstRow == A.FirstRow && R.LastRow == A.LastRow;
    const bool FullCols = R.FirstCol == A.FirstCol && R.LastCol == A.LastCol;
    if (R.FirstCol == R.LastCol && R.FirstRow == R.LastRow) {
        if (OneAreaRow && OneAreaCol)
            return rsCell;
        if (OneAreaRow)
            return rsColumn;
        if (OneAreaCol)
            return rsRow;
        return rsCell;
    }
    if (R.FirstCol == R.LastCol) {
        if (FullRows)
            return rsColumn;
        return OneAreaCol ? rsMultiRow : rsRange;
    }
    if (R.FirstRow == R.LastRow) {
        if (FullCols)
            return rsRow;
        return OneAreaRow ? rsMultiColumn : rsRange;
    }
    if (FullCols && FullRows)
        return rsArea;
    if (FullCols)
        return rsMultiRow;
    if (FullRows)
        return rsMultiColumn;
    return rsRange;
}

void TRange::Update(TGridObjectCollectionItem* Item)
{
    if (Grid() && !Item) {
        fRangeState = Classify();
        // A region outside the data area is not reported as a change.
        if (fRangeState == rsUnknown)
            return;
    }
    if (OnChange)
        OnChange(*this, Item);
}

bool TRange::CheckConsistency(QString* Fault) const
{
    if (!Store().CheckConsistency()) {
        if (Fault)
            *Fault = QStringLiteral("item store is broken");
        return false;
    }
    IGridHost* G = Grid();
    for (int I = 0; I < Count(); ++I) {
        const TGridRegion& R = Items(I)->Coord();
        const bool Inside
            = !G || (G->GridArea().Contains(R.First()) && G->GridArea().Contains(R.Last()));
        if (!R.IsNormal() || !Inside) {
            if (Fault)
                *Fault = QStringLiteral("region %1 (%2,%3)-(%4,%5) is not normal or not inside")
                             .arg(I)
                             .arg(R.FirstCol)
                             .arg(R.FirstRow)
                             .arg(R.LastCol)
                             .arg(R.LastRow);
            return false;
        }
    }
    return true;
}
