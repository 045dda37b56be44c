#pragma once

#include "text/GridParser.h"
#include "text/XmlParser.h"

#include <vector>

// Reads the rows and cells of HTML tables as other programs put them on the
// clipboard: the "HTML Format" header with its fragment offsets, optional end
// tags, header cells, spanned cells and nested tables, with the text of each
// cell as a browser shows it (whitespace collapsed and trimmed, "<br>" and
// paragraph ends as CR LF). Character references are left encoded; the
// caller decodes them after turning the bytes into text.
class THTMLGridParser : public TCustomGridParser {
public:
    // AKludged: the data may begin with the "HTML Format" header.
    // APasteAsValue: a cell with an "x:fmla" formula gives its shown value.
    THTMLGridParser(bool AKludged, bool APasteAsValue);
    void Parse(const QByteArray& AClipData, qint32 APCol, qint32 APRow) override;

    // Where the last parse read the table from: the fragment the header or
    // its markers name, or the whole data.
    qsizetype StartFragment() const { return fStartFragment; }
    qsizetype EndFragment() const { return fEndFragment; }

    // The largest spans HTML itself honours.
    static constexpr qint64 MaxColSpan = 1000;
    static constexpr qint64 MaxRowSpan = 65534;

private:
    void ReadHeader(qsizetype& Start, qsizetype& End, qsizetype& Body);
    void ParseRange(qsizetype Start, qsizetype End);
    void Reset();
    void Tag(const QByteArray& Name, TTagKind Kind);
    void Text(const QByteArray& S);

    void StartRow();
    void EndRow();
    void StartCell();
    void EndCell();
    void AppendBreak();
    bool Nested() const { return fDepth == 2 && fTableDepth > fCellTableDepth; }

    TXMLParser fParser;
    bool fKludged;
    bool fPasteAsValue;
    qsizetype fStartFragment = 0;
    qsizetype fEndFragment = 0;

    int fDepth = 0; // 0 outside rows, 1 inside a row, 2 inside a cell
    int fTableDepth = 0;
    int fRowTableDepth = 0;
    int fCellTableDepth = 0;
    int fSkipText = 0; // inside style, script or title
    QByteArray fCollect;
    bool fBlockBreak = false; // a paragraph ended: a line break before more text
    bool fCellSpace = false; // a nested table's cell ended: a space before more text
    QByteArray fFormula;
    bool fIsFormula = false;
    qint64 fCellCol = 0;
    qint64 fCellRow = 0;
    // For each column from the origin, the last row a cell spanning down
    // from above covers, -1 for none.
    std::vector<qint64> fCoveredUntil;
};
