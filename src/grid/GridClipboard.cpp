#include "grid/GridClipboard.h"

#include "grid/EditStateScope.h"
#include "grid/GridCanvas.h"
#include "grid/GridObject.h"
#include "grid/GridWindow.h"
#include "grid/Undo.h"
#include "text/MyClipboard.h"
#include "text/PastedCells.h"

#include <algorithm>

namespace {

// The desktop's usual values of the system colours a grid uses, for a grid
// whose window cannot resolve them (none, or not drawable now).
TColor DefaultSystemColor(quint8 Index)
{
    switch (Index) {
    case 5: // window
    case 14: // highlighted text
        return clWhite;
    case 4: // menu
    case 15: // button face
        return RGBColor(240, 240, 240);
    case 13: // highlight
        return RGBColor(0, 120, 215);
    case 16: // button shadow
        return RGBColor(160, 160, 160);
    default:
        return clBlack;
    }
}

TColor PlainColor(TGridObject& Grid, TColor Color)
{
    if (!IsSystemColor(Color))
        return Color;
    if (IGridWindow* W = Grid.GridControl())
        if (IGridCanvas* Canvas = W->Canvas())
            return Canvas->ResolveColor(Color);
    return DefaultSystemColor(SystemColorIndex(Color));
}

}

bool GridSelectionCopy(TGridObject& Grid, TGridCopy& Copy)
{
    TGridRegion U;
    if (!Grid.Selection().UnionArea(U))
        return false;
    // While copying, formula cells answer with their formula in relative
    // form, which a paste elsewhere turns back into references.
    TEditStateScope Copying(Grid, esCopyRegion, true);
    TDrawCellInfo Info;
    const TSelection& Selection = Grid.Selection();
    Copy = WriteGridCopy(
        U.FirstCol, U.FirstRow, U.LastCol, U.LastRow, [&](qint32 C, qint32 R, TCopyCell& Cell) {
            if (!Selection.IsSelected(C, R) || !Grid.GetCellInfo(C, R, TCellStates(), Info))
                return false;
            Cell.FullText = Info.FullText;
            {
                TEditStateScope Showing(Grid, esCopyRegion, false);
                Cell.Value = Grid.GetCellText(C, R, TCellStates());
            }
            Cell.FontName = Info.Font().Name();
            Cell.FontSize = Info.Font().Size();
            Cell.FontColor = PlainColor(Grid, Info.Font().Color());
            Cell.BackColor = PlainColor(Grid, Info.BackColor);
            return true;
        });
    return true;
}

void CopySelectionToClipboard(TGridObject& Grid, TMyClipboard& Clip)
{
    TGridCopy Copy;
    if (!GridSelectionCopy(Grid, Copy))
        return;
    TClipboardBracket Bracket(Clip);
    Clip.Clear();
    Clip.SetAsHTML(Copy.Html);
    Clip.SetAsWideText(Copy.Text);
}

void PasteCells(TGridObject& Grid, const std::vector<TPastedCell>& Cells)
{
    const TGridRegion& Area = Grid.Area();
    const auto Writable = [&](const TPastedCell& Cell) {
        return Cell.Col >= Area.FirstCol && Cell.Row >= Area.FirstRow && Cell.Col <= Area.LastCol
            && Cell.Row <= Area.LastRow && Grid.CanEdit(Cell.Col, Cell.Row);
    };
    // Inside the grid's own paste bracket its record takes each cell's
    // former state as the cell is written.
    if (Grid.EditState().Contains(esPasteRegion)) {
        for (const TPastedCell& Cell : Cells)
            if (Writable(Cell))
                Grid.SetCellValue(Cell.Col, Cell.Row, Cell.Text);
        return;
    }
    TUndoList* List = Grid.UndoList();
    const bool Recording = Grid.UndoEnabled() && List && !Grid.EditState().Contains(esUndo);
    TUndoPaste* Record = Recording
        ? static_cast<TUndoPaste*>(List->AddItem(std::make_unique<TUndoPaste>(&Grid)))
        : nullptr;
    {
        // In the paste state the grid takes no undo record per cell; this
        // one record keeps each cell's former text and look.
        TEditStateScope Pasting(Grid, esPasteRegion, true);
        for (const TPastedCell& Cell : Cells) {
            if (!Writable(Cell))
                continue;
            if (Record)
                Record->Store(Cell.Col, Cell.Row, nullptr);
            Grid.SetCellValue(Cell.Col, Cell.Row, Cell.Text);
        }
    }
    if (Record) {
        if (Record->Count() == 0)
            List->Remove(Record);
        else
            List->Trim();
    }
}

void PasteIntoSelection(TGridObject& Grid, TMyClipboard& Clip, bool PasteValues)
{
    if (Grid.ReadOnly() || Grid.Selection().IsEmpty())
        return;
    const TGridRegion& Origin = Grid.Selection().First()->Coord();
    const qint32 Col = std::min(Origin.FirstCol, Origin.LastCol);
    const qint32 Row = std::min(Origin.FirstRow, Origin.LastRow);
    const TGridRegion& Area = Grid.Area();
    if (Col > Area.LastCol || Row > Area.LastRow)
        return;
    std::vector<TPastedCell> Cells = ReadPastedCells(Clip.AsHTML(), Clip.AsWideText(), Col, Row,
        PasteValues, Area.LastCol - Col + 1, Area.LastRow - Row + 1);
    if (Cells.empty())
        return;
    // Written cell by cell with calculation on, a block would recalculate
    // its dependants at every write.
    struct TCalculation {
        TGridObject& G;
        bool Saved;
        ~TCalculation() { G.SetEnableCalculation(Saved); }
    } Calculation { Grid, Grid.EnableCalculation() };
    Grid.SetEnableCalculation(false);
    PasteCells(Grid, Cells);
}
