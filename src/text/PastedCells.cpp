#include "text/PastedCells.h"

#include "text/HtmlGridParser.h"
#include "text/HtmlText.h"
#include "text/TabGridParser.h"

std::vector<TPastedCell> ReadPastedCells(const QByteArray& Html, const QString& Text, qint32 ACol,
    qint32 ARow, bool PasteValues, qint32 MaxCols, qint32 MaxRows)
{
    std::vector<TPastedCell> Cells;
    if (MaxCols <= 0 || MaxRows <= 0)
        return Cells;
    if (!Html.isEmpty()) {
        THTMLGridParser Parser(true, PasteValues);
        Parser.SetLimits(MaxCols, MaxRows);
        Parser.OnCell = [&](qint32 C, qint32 R, const QByteArray& S) {
            if (!S.isEmpty())
                Cells.push_back({ C, R, DecodeHTML(QString::fromUtf8(S)) });
        };
        Parser.Parse(Html, ACol, ARow);
        // A table of empty cells is still a table: it pastes nothing rather
        // than the text form of something else.
        if (Parser.CellCount() > 0)
            return Cells;
    }
    TTabGridParser Parser('\t');
    Parser.SetLimits(MaxCols, MaxRows);
    Parser.OnCell = [&](qint32 C, qint32 R, const QByteArray& S) {
        if (!S.isEmpty())
            Cells.push_back({ C, R, QString::fromUtf8(S) });
    };
    Parser.Parse(Text.toUtf8(), ACol, ARow);
    return Cells;
}
