#include "text/TabGridParser.h"

void TTabGridParser::Parse(const QByteArray& AClipData, qint32 APCol, qint32 APRow)
{
    TCustomGridParser::Parse(AClipData, APCol, APRow);
    // A single-column copy with an empty cell in it has an empty line there;
    // the rows after it belong to the paste as much as those before.
    while (!AtEnd()) {
        const QByteArray Line = ReadLine();
        qsizetype Start = 0;
        for (;;) {
            const qsizetype Sep = Line.indexOf(fSep, Start);
            if (Sep < 0) {
                if (Start < Line.size())
                    DeliverCell(fCol, fRow, Line.mid(Start));
                break;
            }
            DeliverCell(fCol, fRow, Line.mid(Start, Sep - Start));
            ++fCol;
            Start = Sep + 1;
        }
        ++fRow;
        fCol = 0;
    }
}
