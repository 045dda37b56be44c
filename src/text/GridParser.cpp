#include "text/GridParser.h"

void TCustomGridParser::Parse(const QByteArray& AClipData, qint32 APCol, qint32 APRow)
{
    fClipData = AClipData;
    fPCol = APCol;
    fPRow = APRow;
    fRow = 0;
    fCol = 0;
    fPosition = 0;
    fCellCount = 0;
}

bool TCustomGridParser::AtEnd() const
{
    return fPosition >= fClipData.size() || fClipData[fPosition] == '\0';
}

QByteArray TCustomGridParser::ReadLine()
{
    const qsizetype Start = fPosition;
    const qsizetype Size = fClipData.size();
    const char* D = fClipData.constData();
    while (fPosition < Size && D[fPosition] != '\r' && D[fPosition] != '\n' && D[fPosition] != '\0')
        ++fPosition;
    const QByteArray Line = fClipData.mid(Start, fPosition - Start);
    if (fPosition < Size && D[fPosition] == '\r')
        ++fPosition;
    if (fPosition < Size && D[fPosition] == '\n')
        ++fPosition;
    return Line;
}

void TCustomGridParser::DeliverCell(qint64 ACol, qint64 ARow, const QByteArray& S)
{
    ++fCellCount;
    if (ACol < 0 || ARow < 0 || ACol >= fMaxCols || ARow >= fMaxRows || !OnCell)
        return;
    OnCell(qint32(fPCol + ACol), qint32(fPRow + ARow), S);
}
