#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// What the copy writes of one cell.
struct TCopyCell {
    // The cell's full text: for a formula cell "=" and its formula.
    QString FullText;
    // The text the cell shows.
    QString Value;
    QString FontName;
    int FontSize = 0; // points
    quint32 FontColor = 0; // 0x00BBGGRR, system colours already resolved
    quint32 BackColor = 0;
};

// Fills Cell for a selected cell and answers true; false for a cell the copy
// leaves empty (outside every region of the selection, or without a record).
using TCopyCellSource = std::function<bool(qint32 ACol, qint32 ARow, TCopyCell& Cell)>;

// The two forms a copied block takes on the clipboard.
struct TGridCopy {
    QByteArray Html; // UTF-8, without the "HTML Format" header
    QString Text; // tab-separated
};

// Writes the block from (FirstCol, FirstRow) to (LastCol, LastRow) as an
// HTML table, which carries fonts, colours and formulas, and as
// tab-separated text. The bytes are fixed: other programs and our own paste
// read them.
TGridCopy WriteGridCopy(qint32 FirstCol, qint32 FirstRow, qint32 LastCol, qint32 LastRow,
    const TCopyCellSource& Source);
