#include "grid/model/Region.h"

#include "grid/model/Cell.h"
#include "grid/model/CellList.h"
#include "grid/model/GridHost.h"

TRegion::TRegion(IGridHost* Grid)
    : TCellObject(Grid)
{
}

TRegion::~TRegion()
{
    if (IGridHost* G = Grid())
        G->RegionDestroying(*this);
    RemoveRelations();
    Detach();
}

void TRegion::CollectionJoined()
{
    TCellObject::CollectionJoined();
    if (fRegionID < 0)
        fRegionID = ID();
}

void TRegion::SetFirstCol(qint32 Value)
{
    TGridRegion R = fCoord;
    R.FirstCol = Value;
    SetCoord(R);
}

void TRegion::SetFirstRow(qint32 Value)
{
    TGridRegion R = fCoord;
    R.FirstRow = Value;
    SetCoord(R);
}

void TRegion::SetLastCol(qint32 Value)
{
    TGridRegion R = fCoord;
    R.LastCol = Value;
    SetCoord(R);
}

void TRegion::SetLastRow(qint32 Value)
{
    TGridRegion R = fCoord;
    R.LastRow = Value;
    SetCoord(R);
}

TCell* TRegion::Cells(qint64 Index) const
{
    IGridHost* G = Grid();
    const qint64 Cols = ColCount();
    if (!G || !G->CellList() || Cols <= 0 || Index < 0 || Index >= Count())
        return nullptr;
    return G->CellList()->FindCell(
        qint32(fCoord.FirstCol + Index % Cols), qint32(fCoord.FirstRow + Index / Cols));
}

void TRegion::StoreCoord(const TGridRegion& Value)
{
    const bool Moved = Value.FirstCol != fCoord.FirstCol || Value.FirstRow != fCoord.FirstRow;
    fCoord = Value;
    if (Moved)
        SortKeyChanged();
}

void TRegion::SetCoord(const TGridRegion& Region)
{
    StoreCoord(Region);
    if (IGridHost* G = Grid())
        StoreName(G->GetRegionName(Region));
    SignalChange();
}

TColor TRegion::GetColor() const
{
    static constexpr TColor Palette[14] = {
        RGBColor(0x80, 0, 0),
        RGBColor(0, 0x80, 0),
        RGBColor(0x80, 0x80, 0),
        RGBColor(0, 0, 0x80),
        RGBColor(0x80, 0, 0x80),
        RGBColor(0, 0x80, 0x80),
        RGBColor(0x80, 0x80, 0x80),
        RGBColor(0xC0, 0xC0, 0xC0),
        RGBColor(0xFF, 0, 0),
        RGBColor(0, 0xFF, 0),
        RGBColor(0xFF, 0xFF, 0),
        RGBColor(0, 0, 0xFF),
        RGBColor(0xFF, 0, 0xFF),
        RGBColor(0, 0xFF, 0xFF),
    };
    const int I = Index();
    return Palette[I < 0 ? 0 : I % 14];
}

void TRegion::RemoveRelations()
{
    // Only the links are dropped here: a cell object is never destroyed for
    // losing its last formula reference, it holds the user's content.
    while (fRelations.Count() > 0) {
        auto* Other = dynamic_cast<TRegion*>(fRelations.Items(fRelations.Count() - 1));
        fRelations.Remove(fRelations.Items(fRelations.Count() - 1));
        if (!Other)
            continue;
        Other->fRelations.Remove(this);
        if (Other->fRelations.Count() == 0 && !dynamic_cast<TCell*>(Other)
            && Other->Collection() && !Other->Removing())
            delete Other;
    }
}

void TRegion::Assign(const TPersistent& Source)
{
    TCellObject::Assign(Source);
    if (const auto* Other = dynamic_cast<const TRegion*>(&Source); Other && Other != this)
        StoreCoord(Other->fCoord);
}
