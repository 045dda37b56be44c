#pragma once

#include "grid/model/GridCell.h"
#include "grid/model/GridColor.h"
#include "grid/model/GridTypes.h"

class TCell;
class THead;
class TGridFont;
class TDrawCellInfo;

// What the merge of a cell's format needs to know of its grid.
struct TFormatDefaults {
    qint32 FixedCols = 1;
    qint32 FixedRows = 1;
    TColor FixedCellColor = clBtnFace;
    TColor EditCellColor = clWhite;
    TColor EditorColor = clWhite;
    const TGridFont* ControlFont = nullptr;
};

// Fills Info with the effective format of (ACol, ARow) merged from the heads
// and the cell object that exist there (any may be missing): for each of
// font, alignment, colour and drop list the source set last wins, ties going
// to the cell, then the row head. Stores the heads, the cell, the position
// and the state; the handler chain is the caller's business.
void MergeCellFormat(const TFormatDefaults& Defaults, qint32 ACol, qint32 ARow,
    TCellStates AState, THead* AColHead, THead* ARowHead, TCell* ACell, TDrawCellInfo& Info);
