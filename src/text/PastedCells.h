#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// One cell of a paste, placed in the grid, its text decoded.
struct TPastedCell {
    qint32 Col;
    qint32 Row;
    QString Text;
};

// The cells the clipboard's two forms give from (ACol, ARow) on: the tables
// of the HTML ("HTML Format" bytes, header included, or plain HTML) when it
// has any, otherwise the tab-separated text. Empty cells are left out, so
// that they leave their target as it was. Cells further than MaxCols or
// MaxRows from the origin are not given.
std::vector<TPastedCell> ReadPastedCells(const QByteArray& Html, const QString& Text, qint32 ACol,
    qint32 ARow, bool PasteValues, qint32 MaxCols, qint32 MaxRows);
