#pragma once

#include "grid/model/CellObject.h"
#include "grid/model/Range.h"

class TSelection;
// Called by the custom command for each selected number: Result starts at -1;
// 0 continues, 1 stops with true, anything else stops with false.
using TCmdProc = std::function<void(
    TSelection& Sender, TCellNumber ACell, TCellObject* ACellObject, int& Result)>;

enum TSelectionCommand {
    scHide = 1,
    scAnyHidden,
    scCollapse,
    scAnyCollapsed,
    scExpand,
    scShow,
    scCustom
};
enum TSelectionTarget { stColumns = 1, stRows, stCells };

// The grid's selection: the selection test, extension of the last region
// without flicker, and commands over the selected rows, columns or cells.
class TSelection : public TRange {
public:
    explicit TSelection(IGridHost* Grid);

    bool CanRedraw() const { return fCanRedraw; }
    void SetCanRedraw(bool Value) { fCanRedraw = Value; }

    using TRange::Add;
    TRegion* Add(const TGridRegion& Region) override;
    virtual void MarkRemoving(TRegion& Region);
    virtual void InvalidateRegion(const TGridRegion& Region);
    virtual bool IsSelected(qint32 ACol, qint32 ARow) const;
    // Replaces the last region by the rectangle spanned by two cells, keeping
    // its identity, and repaints only the cells that changed.
    virtual void ChangeLast(TGridCell AFirst, TGridCell ALast);
    virtual void Invalidate();
    virtual bool ExecuteCommand(int Cmd, int Param, bool bForward, const TCmdProc& Proc);

    QString ClassName() const override { return QStringLiteral("TSelection"); }

protected:
    virtual bool RunCommand(
        int Cmd, int Param, const TCmdProc& Proc, bool bForward, const TGridRegion& Rect);
    void Notify(TGridObjectCollectionItem* Item, TCollectionNotification Action) override;

private:
    void InvalidateStrips(const TGridRegion& Old, const TGridRegion& New);

    bool fCanRedraw = false;
};
