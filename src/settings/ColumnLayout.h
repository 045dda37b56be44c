#pragma once

#include "settings/GridColumnHeads.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QObject;
class QTableView;
class TConfigStorage;

// One column head of a grid as stored: 13 packed little-endian bytes.
struct TColInfo {
    int32_t Width = 0;
    bool Visible = true;
    int32_t ID = 0;
    int32_t Cell = 0;

    static constexpr int kSize = 13;
    QByteArray Encode() const;
    static bool Decode(const QByteArray& bytes, TColInfo* info);
};

// The value name of a grid's layout: the window's name, the grid's name and ".Cols".
QString GridColumnsValueName(const QObject* window, const QObject* grid);

// Writes the layout of every grid control (see IGridColumnHeads) among the descendants of
// component into the open key of storage. Grids without a name are skipped.
void StoreGridColumns(QObject* component, TConfigStorage* storage);
// Reads them back; a grid whose number of column heads changed since keeps its layout.
void RestoreGridColumns(QObject* component, TConfigStorage* storage);

// The table view's widths in column order, -1 for a hidden column, as the value "Cols".
QByteArray EncodeTableColumns(const QTableView* view);
// Applies a stored "Cols" to the view; false (and nothing changed) when the value holds
// more entries than the view has columns or is not a whole number of entries. Columns
// beyond the stored entries get width 0 and stay visible.
bool ApplyTableColumns(QTableView* view, const QByteArray& value);

// The main window's entry points. Both use a registry store of their own on the current
// user's key regPath (the window state's RegPath) and handle the grids on window as well.
//
// When the window closes, after the window state: the view's "Cols" and every grid's
// layout. Nothing is written when the view has no columns. Returns success.
bool StoreColumnLayouts(QTableView* view, QObject* window, const QString& regPath);
// After every open of the journal query (once the fields have their labels and order):
// the view's widths and hidden columns, then the grids' layouts. Returns whether "Cols"
// was applied.
bool RestoreColumnWidths(QTableView* view, QObject* window, const QString& regPath);
// The same over a store whose key is already open (either engine).
bool StoreColumnLayouts(QTableView* view, QObject* window, TConfigStorage* storage);
bool RestoreColumnWidths(QTableView* view, QObject* window, TConfigStorage* storage);
