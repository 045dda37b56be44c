#pragma once

#include <QByteArray>

#include <functional>

// Receives one pasted cell: its grid column and row and its UTF-8 text.
using TCellEvent = std::function<void(qint32 ACol, qint32 ARow, const QByteArray& AString)>;

// Reads pasted data into cells placed from an origin on. Cells further than
// the limits from the origin are read but not delivered, so that a paste
// never reaches past what its grid can hold.
class TCustomGridParser {
public:
    virtual ~TCustomGridParser() = default;

    TCellEvent OnCell;
    void SetLimits(qint32 MaxCols, qint32 MaxRows)
    {
        fMaxCols = MaxCols;
        fMaxRows = MaxRows;
    }
    // The cells of the last parse, empty ones included, delivered or not.
    qint64 CellCount() const { return fCellCount; }

    virtual void Parse(const QByteArray& AClipData, qint32 APCol, qint32 APRow);

protected:
    // The bytes up to the next CR, LF or zero byte, or to the end; then CR
    // LF, a lone CR or a lone LF is passed over.
    QByteArray ReadLine();
    bool AtEnd() const;
    void DeliverCell(qint64 ACol, qint64 ARow, const QByteArray& S);

    qsizetype fPosition = 0;
    QByteArray fClipData;
    qint64 fRow = 0;
    qint64 fCol = 0;
    qint32 fPRow = 0;
    qint32 fPCol = 0;
    qint32 fMaxCols = 16384;
    qint32 fMaxRows = 1 << 24;
    qint64 fCellCount = 0;
};
