#pragma once

#include "text/GridCopyWriter.h"

#include <QString>

#include <vector>

class TGridObject;
class TMyClipboard;
struct TPastedCell;

// The grid's copy and paste through the clipboard: the selection goes out as
// an HTML table and tab-separated text at once, and comes in from either.

// The selection's bounding block in both forms; false, with Copy untouched,
// for an empty selection.
bool GridSelectionCopy(TGridObject& Grid, TGridCopy& Copy);
// Replaces the clipboard's content by the selection; an empty selection
// leaves the clipboard as it was.
void CopySelectionToClipboard(TGridObject& Grid, TMyClipboard& Clip);

// Writes the cells as one undoable paste; cells that may not be written are
// left out, and a paste that wrote nothing leaves no undo record. Called
// inside the grid's own paste bracket (esPasteRegion set, its undo record
// current), it only writes, and the bracket's record keeps the cells.
void PasteCells(TGridObject& Grid, const std::vector<TPastedCell>& Cells);
// Pastes the clipboard from the top-left cell of the selection's first
// region on; PasteValues pastes the shown values of formula cells instead
// of their formulas. Nothing happens to a read-only grid or without a
// selection, and a clipboard without a table or text pastes nothing.
void PasteIntoSelection(TGridObject& Grid, TMyClipboard& Clip, bool PasteValues);
