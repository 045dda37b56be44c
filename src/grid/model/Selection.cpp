#include "grid/model/Selection.h"

#include "grid/model/CellList.h"
#include "grid/model/GridHost.h"
#include "grid/model/HeadList.h"

#include <algorithm>

TSelection::TSelection(IGridHost* Grid)
    : TRange(Grid)
{
}

TRegion* TSelection::Add(const TGridRegion& Region)
{
    TRegion* Previous = Last();
    TRegion* New = TRange::Add(Region);
    if (UpdateCount() == 0 && OnChange)
        OnChange(*this, New);
    if (fCanRedraw && Grid()) {
        InvalidateRegion(New->Coord());
        if (Previous)
            InvalidateRegion(Previous->Coord());
    }
    return New;
}

void TSelection::Notify(TGridObjectCollectionItem* Item, TCollectionNotification Action)
{
    if (Action != cnAdded)
        if (auto* Region = dynamic_cast<TRegion*>(Item))
            MarkRemoving(*Region);
}

void TSelection::MarkRemoving(TRegion& Region)
{
    Region.SetRemoving(true);
    InvalidateRegion(Region.Coord());
}

void TSelection::InvalidateRegion(const TGridRegion& R)
{
    IGridHost* G = Grid();
    if (!fCanRedraw || !G)
        return;
    if (G->Highlight()) {
        const TGridRegion A = G->GridArea();
        if (A.FirstRow > 0)
            G->InvalidateRegion({ R.FirstCol, 0, R.LastCol, A.FirstRow - 1 });
        if (A.FirstCol > 0)
            G->InvalidateRegion({ 0, R.FirstRow, A.FirstCol - 1, R.LastRow });
    }
    G->InvalidateRegion(R);
}

bool TSelection::IsSelected(qint32 ACol, qint32 ARow) const
{
    IGridHost* G = Grid();
    const bool HighlightedHeader = G && G->Highlight()
        && (ACol < G->GridArea().FirstCol || ARow < G->GridArea().FirstRow);
    for (int I = 0; I < Count(); ++I) {
        const TRegion* Region = Items(I);
        const TGridRegion& R = Region->Coord();
        if (HighlightedHeader) {
            if ((ACol >= R.FirstCol && ACol <= R.LastCol) || (ARow >= R.FirstRow && ARow <= R.LastRow))
                return !Region->Removing();
        } else if (R.Contains(ACol, ARow)) {
            return true;
        }
    }
    return false;
}

void TSelection::ChangeLast(TGridCell AFirst, TGridCell ALast)
{
    TGridRegion New = TGridRegion::Of(AFirst, ALast);
    NormalizeRegion(New);
    TRegion* Old = Last();
    if (!Old) {
        Add(New);
        return;
    }
    const TGridRegion OldCoord = Old->Coord();
    if (New == OldCoord)
        return;
    const bool Saved = fCanRedraw;
    fCanRedraw = false;
    const qint32 ID = Old->RegionID();
    delete Old;
    TRegion* Replacement = Add(New);
    Replacement->SetRegionID(ID);
    fCanRedraw = Saved;
    if (fCanRedraw && Grid())
        InvalidateStrips(OldCoord, New);
}

void TSelection::InvalidateStrips(const TGridRegion& O, const TGridRegion& N)
{
    IGridHost* G = Grid();
    const TGridRegion I { std::max(O.FirstCol, N.FirstCol), std::max(O.FirstRow, N.FirstRow),
        std::min(O.LastCol, N.LastCol), std::min(O.LastRow, N.LastRow) };
    const TGridRegion U { std::min(O.FirstCol, N.FirstCol), std::min(O.FirstRow, N.FirstRow),
        std::max(O.LastCol, N.LastCol), std::max(O.LastRow, N.LastRow) };
    if (U.FirstCol != I.FirstCol)
        G->InvalidateRegion({ U.FirstCol, U.FirstRow, I.FirstCol, U.LastRow });
    if (U.FirstRow != I.FirstRow)
        G->InvalidateRegion({ I.FirstCol, U.FirstRow, U.LastCol, I.FirstRow });
    if (U.LastCol != I.LastCol)
        G->InvalidateRegion({ I.LastCol, I.FirstRow, U.LastCol, U.LastRow });
    if (U.LastRow != I.LastRow)
        G->InvalidateRegion({ I.FirstCol, I.LastRow, I.LastCol, U.LastRow });
    if (!G->Highlight())
        return;
    const TGridRegion A = G->GridArea();
    if (A.FirstRow > 0) {
        if (U.FirstCol != I.FirstCol)
            G->InvalidateRegion({ U.FirstCol, 0, I.FirstCol, A.FirstRow - 1 });
        if (U.LastCol != I.LastCol)
            G->InvalidateRegion({ I.LastCol, 0, U.LastCol, A.FirstRow - 1 });
    }
    if (A.FirstCol > 0) {
        if (U.FirstRow != I.FirstRow)
            G->InvalidateRegion({ 0, U.FirstRow, A.FirstCol - 1, I.FirstRow });
        if (U.LastRow != I.LastRow)
            G->InvalidateRegion({ 0, I.LastRow, A.FirstCol - 1, U.LastRow });
    }
}

void TSelection::Invalidate()
{
    fCanRedraw = true;
    for (int I = 0; I < Count(); ++I)
        InvalidateRegion(Items(I)->Coord());
}

namespace {

// Restores the grid's calculation switch, also when a command throws.
class TCalculationPause {
public:
    explicit TCalculationPause(IGridHost& G)
        : fGrid(G)
        , fSaved(G.EnableCalculation())
    {
        fGrid.SetEnableCalculation(false);
    }
    ~TCalculationPause() { fGrid.SetEnableCalculation(fSaved); }
    TCalculationPause(const TCalculationPause&) = delete;
    TCalculationPause& operator=(const TCalculationPause&) = delete;

private:
    IGridHost& fGrid;
    bool fSaved;
};

}

bool TSelection::ExecuteCommand(int Cmd, int Param, bool bForward, const TCmdProc& Proc)
{
    IGridHost* G = Grid();
    TGridRegion Union;
    if (!G || !UnionArea(Union))
        return false;
    TCalculationPause Pause(*G);
    if (Param != stCells)
        return RunCommand(Cmd, Param, Proc, bForward, Union);
    TCellList* Cells = G->CellList();
    if (!Cells)
        return false;
    // The command may take cells out of the list, so the walk goes by number
    // and looks each cell up again.
    std::vector<TCellNumber> Numbers;
    Numbers.reserve(size_t(Cells->Count()));
    for (int I = 0; I < Cells->Count(); ++I)
        Numbers.push_back(Cells->Items(I)->Cell());
    if (!bForward)
        std::reverse(Numbers.begin(), Numbers.end());
    for (TCellNumber Number : Numbers) {
        auto* Cell = dynamic_cast<TCell*>(Cells->FindObject(Number));
        if (!Cell || Number < 0)
            continue;
        const TGridCell C = Cell->Coord();
        if (Union.Contains(C)
            && !RunCommand(Cmd, Param, Proc, bForward, TGridRegion::Cell(C.Col, C.Row)))
            break;
    }
    return false;
}

bool TSelection::RunCommand(
    int Cmd, int Param, const TCmdProc& Proc, bool bForward, const TGridRegion& Rect)
{
    IGridHost* G = Grid();
    if (!G)
        return false;
    const qint64 Cols = qint64(G->GridArea().LastCol) + 1;
    TCellObjectList* List = Param == stColumns
        ? static_cast<TCellObjectList*>(G->ColHeads())
        : Param == stRows ? static_cast<TCellObjectList*>(G->RowHeads())
                          : static_cast<TCellObjectList*>(G->CellList());
    TCellNumber From = 0;
    TCellNumber To = -1;
    if (Param == stColumns) {
        From = Rect.FirstCol;
        To = Rect.LastCol;
    } else if (Param == stRows) {
        From = Rect.FirstRow;
        To = Rect.LastRow;
    } else {
        From = Rect.FirstCol + Rect.FirstRow * Cols;
        To = Rect.LastCol + Rect.LastRow * Cols;
    }
    auto Covers = [&](const TGridRegion& R, TCellNumber N) {
        if (Param == stColumns)
            return N >= R.FirstCol && N <= R.LastCol;
        if (Param == stRows)
            return N >= R.FirstRow && N <= R.LastRow;
        const TGridRegion O { std::max(R.FirstCol, Rect.FirstCol), std::max(R.FirstRow, Rect.FirstRow),
            std::min(R.LastCol, Rect.LastCol), std::min(R.LastRow, Rect.LastRow) };
        return O.IsNormal() && N >= O.FirstCol + O.FirstRow * Cols
            && N <= O.LastCol + O.LastRow * Cols;
    };
    // 0 continues, 1 stops with true, 2 stops with false.
    auto Apply = [&](TCellNumber N, TCellObject* Obj) {
        if (Cmd == scCustom) {
            int Result = -1;
            if (Proc)
                Proc(*this, N, Obj, Result);
            return Result == 0 ? 0 : (Result == 1 ? 1 : 2);
        }
        auto* Head = Param != stCells ? dynamic_cast<THead*>(Obj) : nullptr;
        if (!Head)
            return 2;
        switch (Cmd) {
        case scHide:
            Head->StoreVisible(false);
            return 0;
        case scAnyHidden:
            return Head->Visible() ? 0 : 1;
        case scCollapse:
            Head->SetAnchorSize(Head->Size());
            Head->StoreSize(0);
            return 0;
        case scAnyCollapsed:
            return Head->Size() < 1 ? 1 : 0;
        case scExpand: {
            auto* Heads = dynamic_cast<THeadList*>(Head->Collection());
            Head->StoreSize(Head->AnchorSize() > 0 ? Head->AnchorSize()
                                                   : (Heads ? Heads->DefHeadSize() : 20));
            Head->SetAnchorSize(0);
            return 0;
        }
        case scShow:
            Head->StoreVisible(true);
            return 0;
        default:
            return 2;
        }
    };
    const TCellNumber Step = bForward ? 1 : -1;
    for (TCellNumber N = bForward ? From : To; bForward ? N <= To : N >= From; N += Step) {
        bool Covered = false;
        for (int I = bForward ? 0 : Count() - 1; bForward ? I < Count() : I >= 0;
             I += bForward ? 1 : -1)
            if (Covers(Items(I)->Coord(), N)) {
                Covered = true;
                break;
            }
        if (!Covered)
            continue;
        const int Outcome = Apply(N, List ? List->FindObject(N) : nullptr);
        if (Outcome == 1)
            return true;
        if (Outcome == 2)
            return false;
    }
    if (Cmd == scAnyHidden || Cmd == scAnyCollapsed)
        return false;
    if (Cmd != scCustom)
        G->LayoutChanged();
    return true;
}
