#pragma once

#include "text/GridParser.h"

// Reads text whose lines are rows and whose fields, split at a separator,
// are cells, as every spreadsheet and editor writes it: CR LF, CR or LF end
// a line, a final line break adds no row, and an empty line is an empty row.
class TTabGridParser : public TCustomGridParser {
public:
    explicit TTabGridParser(char ASep = '\t')
        : fSep(ASep)
    {
    }
    void Parse(const QByteArray& AClipData, qint32 APCol, qint32 APRow) override;

private:
    char fSep;
};
