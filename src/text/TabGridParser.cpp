#include "text/TabGridParser.h"

namespace {

bool EndsLine(char C) { return C == '\r' || C == '\n' || C == '\0'; }

}

void TTabGridParser::Parse(const QByteArray& AClipData, qint32 APCol, qint32 APRow)
{
    TCustomGridParser::Parse(AClipData, APCol, APRow);
    const char* D = fClipData.constData();
    const qsizetype Size = fClipData.size();
    // Spreadsheets put a cell holding a line break, a separator or a quote
    // between quotes, doubling the quotes inside. Once a quote was found
    // that nothing closes, later ones cannot be closed either, and reading
    // them as plain text keeps the paste linear in its size.
    bool Unclosed = false;
    // A single-column copy with an empty cell in it has an empty line there;
    // the rows after it belong to the paste as much as those before.
    while (!AtEnd()) {
        for (;;) {
            QByteArray Field;
            bool Quoted = false;
            if (!Unclosed && fPosition < Size && D[fPosition] == '"') {
                qsizetype Q = fPosition + 1;
                while (Q < Size && D[Q] != '\0') {
                    if (D[Q] == '"') {
                        if (Q + 1 < Size && D[Q + 1] == '"') {
                            Field += '"';
                            Q += 2;
                            continue;
                        }
                        Quoted = true;
                        ++Q;
                        break;
                    }
                    Field += D[Q++];
                }
                if (Quoted)
                    fPosition = Q;
                else {
                    Unclosed = true;
                    Field.clear();
                }
            }
            const qsizetype Start = fPosition;
            while (fPosition < Size && D[fPosition] != fSep && !EndsLine(D[fPosition]))
                ++fPosition;
            Field += fClipData.mid(Start, fPosition - Start);
            const bool AtSep = fPosition < Size && D[fPosition] == fSep;
            if (AtSep || Quoted || !Field.isEmpty())
                DeliverCell(fCol, fRow, Field);
            if (!AtSep)
                break;
            ++fPosition;
            ++fCol;
        }
        if (fPosition < Size && D[fPosition] == '\r')
            ++fPosition;
        if (fPosition < Size && D[fPosition] == '\n')
            ++fPosition;
        ++fRow;
        fCol = 0;
    }
}
