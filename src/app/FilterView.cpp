#include "app/FilterView.h"

#include "app/Journal.h"
#include "app/JournalGrid.h"
#include "grid/GridObject.h"

TFilterView::TFilterView(const TJournal& journal, TJournalGrid& grid,
    std::function<void()> applyQuery, QObject* parent)
    : QObject(parent)
    , fGrid(grid)
    , fApplyQuery(std::move(applyQuery))
{
    fGrid.ShowFieldLabels(journal);
    fGrid.OnKeyDown = [this](int key, Qt::KeyboardModifiers modifiers) {
        return gcFilterKeyDown(key, modifiers);
    };
}

void TFilterView::AliasesApplied(int aliasedCount)
{
    // The conditions stay in their rows: a query that changed only the records keeps the
    // fields where they were.
    fGrid.SetDataRows(aliasedCount);
    fGrid.Grid().InvalidateGrid();
}

QString TFilterView::FilterValue(int row)
{
    TGridObject& g = fGrid.Grid();
    if (row < g.FixedRows() || row >= g.RowCount())
        return QString();
    return g.GetCellText(TJournalGrid::jcValue, row, TCellStates());
}

int TFilterView::FilterRowCount() const
{
    const TGridObject& g = fGrid.Grid();
    return g.RowCount() - g.FixedRows();
}

void TFilterView::HandOverEdit() { fGrid.CommitEditor(); }

bool TFilterView::gcFilterKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || (modifiers & Qt::AltModifier))
        return false;
    TGridObject& g = fGrid.Grid();
    if (g.EditorMode()) {
        fGrid.CommitEditor();
        return true;
    }
    if (g.Current().Col != TJournalGrid::jcValue)
        return false;
    if (fApplyQuery)
        fApplyQuery();
    return true;
}
