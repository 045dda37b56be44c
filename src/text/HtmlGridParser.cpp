#include "text/HtmlGridParser.h"

#include <algorithm>

namespace {

bool Is(const QByteArray& Name, const char* Upper)
{
    return qstricmp(Name.constData(), Upper) == 0;
}

bool IsBlock(const QByteArray& N)
{
    static const char* const Blocks[]
        = { "P", "DIV", "LI", "H1", "H2", "H3", "H4", "H5", "H6", "UL", "OL", "BLOCKQUOTE", "PRE" };
    for (const char* B : Blocks)
        if (Is(N, B))
            return true;
    return false;
}

qint64 Span(const QByteArray& Value, qint64 Max)
{
    bool Ok = false;
    const qint64 N = Value.trimmed().toLongLong(&Ok);
    return Ok && N > 0 ? std::min(N, Max) : 1;
}

// The decimal number after a header line's prefix; -1 when it is none.
qsizetype HeaderNumber(const QByteArray& Line, qsizetype PrefixLength)
{
    bool Ok = false;
    const qint64 N = Line.mid(PrefixLength).trimmed().toLongLong(&Ok);
    return Ok ? qsizetype(N) : -1;
}

void ChopSpaces(QByteArray& S)
{
    qsizetype N = S.size();
    while (N > 0 && S[N - 1] == ' ')
        --N;
    S.truncate(N);
}

}

THTMLGridParser::THTMLGridParser(bool AKludged, bool APasteAsValue)
    : fKludged(AKludged)
    , fPasteAsValue(APasteAsValue)
{
    fParser.OnTag = [this](const QByteArray& Name, TTagKind Kind) { Tag(Name, Kind); };
    fParser.OnText = [this](const QByteArray& S) { Text(S); };
}

void THTMLGridParser::Parse(const QByteArray& AClipData, qint32 APCol, qint32 APRow)
{
    TCustomGridParser::Parse(AClipData, APCol, APRow);
    fStartFragment = 0;
    fEndFragment = fClipData.size();
    if (fClipData.isEmpty())
        return;
    qsizetype Body = 0;
    if (fKludged)
        ReadHeader(fStartFragment, fEndFragment, Body);
    ParseRange(fStartFragment, fEndFragment);
    // Offsets that name the wrong bytes leave the fragment without a table;
    // the document around it still has one.
    if (CellCount() == 0 && (fStartFragment > Body || fEndFragment < fClipData.size())) {
        Reset();
        fStartFragment = Body;
        fEndFragment = fClipData.size();
        ParseRange(fStartFragment, fEndFragment);
    }
}

void THTMLGridParser::ReadHeader(qsizetype& Start, qsizetype& End, qsizetype& Body)
{
    const qsizetype Size = fClipData.size();
    qsizetype HeaderStart = -1;
    qsizetype HeaderEnd = -1;
    for (;;) {
        const qsizetype LineStart = fPosition;
        const QByteArray Line = ReadLine();
        if (Line.isEmpty() || Line.startsWith('<') || !Line.contains(':')) {
            Body = LineStart;
            break;
        }
        const QByteArray Upper = Line.toUpper();
        if (Upper.startsWith("STARTFRAGMENT:"))
            HeaderStart = HeaderNumber(Line, 14);
        else if (Upper.startsWith("ENDFRAGMENT:"))
            HeaderEnd = HeaderNumber(Line, 12);
    }
    // The markers stand in the data itself, so they cannot be off by the
    // difference between bytes and characters, as some writers' offsets are.
    static const QByteArray StartMarker = "<!--StartFragment";
    static const QByteArray EndMarker = "<!--EndFragment";
    const qsizetype MarkerAt = fClipData.indexOf(StartMarker, Body);
    if (MarkerAt >= 0) {
        const qsizetype MarkerEnd = fClipData.indexOf("-->", MarkerAt + StartMarker.size());
        if (MarkerEnd >= 0) {
            const qsizetype EndAt = fClipData.indexOf(EndMarker, MarkerEnd);
            Start = MarkerEnd + 3;
            End = EndAt >= 0 ? EndAt : Size;
            return;
        }
    }
    if (HeaderStart >= 0 || HeaderEnd >= 0) {
        Start = std::clamp<qsizetype>(HeaderStart, 0, Size);
        End = HeaderEnd < 0 ? Size : std::clamp<qsizetype>(HeaderEnd, Start, Size);
        return;
    }
    Start = 0;
    End = Size;
}

void THTMLGridParser::Reset()
{
    fRow = 0;
    fCol = 0;
    fCellCount = 0;
    fCoveredUntil.clear();
}

void THTMLGridParser::ParseRange(qsizetype Start, qsizetype End)
{
    fDepth = 0;
    fTableDepth = 0;
    fRowTableDepth = 0;
    fCellTableDepth = 0;
    fSkipText = 0;
    fCollect.clear();
    fIsFormula = false;
    fParser.Parse(fClipData.constData() + Start, End - Start);
    // A browser shows the cells of a table cut short; so does the paste.
    if (fDepth > 0)
        EndRow();
}

void THTMLGridParser::StartRow()
{
    fDepth = 1;
    fRowTableDepth = fTableDepth;
    fCol = 0;
}

void THTMLGridParser::EndRow()
{
    if (fDepth == 2)
        EndCell();
    if (fDepth == 0)
        return;
    fDepth = 0;
    ++fRow;
    fCol = 0;
}

void THTMLGridParser::StartCell()
{
    if (fDepth == 2)
        EndCell();
    if (fDepth == 0)
        StartRow();
    const qint64 Width = qint64(fCoveredUntil.size());
    while (fCol < Width && fCoveredUntil[size_t(fCol)] >= fRow)
        ++fCol;
    const qint64 ColSpan = Span(fParser.Option("colspan"), MaxColSpan);
    const qint64 RowSpan = Span(fParser.Option("rowspan"), MaxRowSpan);
    if (RowSpan > 1 && fCol < fMaxCols) {
        const qint64 Last = std::min(fCol + ColSpan, qint64(fMaxCols));
        if (Last > Width)
            fCoveredUntil.resize(size_t(Last), -1);
        for (qint64 C = fCol; C < Last; ++C)
            fCoveredUntil[size_t(C)] = std::max(fCoveredUntil[size_t(C)], fRow + RowSpan - 1);
    }
    fCellCol = fCol;
    fCellRow = fRow;
    fCol += ColSpan;
    const QByteArray Formula = fParser.Option("x:fmla");
    fIsFormula = !Formula.isNull();
    fFormula = Formula;
    fCollect.clear();
    fBlockBreak = false;
    fCellSpace = false;
    fCellTableDepth = fTableDepth;
    fDepth = 2;
}

void THTMLGridParser::EndCell()
{
    fDepth = 1;
    ChopSpaces(fCollect);
    // LibreOffice writes an empty cell as "<br>" alone; a browser shows it
    // empty, and pasting it must leave its target as it was.
    bool OnlyBreaks = true;
    for (char C : std::as_const(fCollect))
        OnlyBreaks = OnlyBreaks && (C == '\r' || C == '\n');
    if (OnlyBreaks)
        fCollect.clear();
    DeliverCell(fCellCol, fCellRow, fIsFormula && !fPasteAsValue ? fFormula : fCollect);
    fIsFormula = false;
    fCollect.clear();
}

void THTMLGridParser::AppendBreak()
{
    ChopSpaces(fCollect);
    fCollect += "\r\n";
    fBlockBreak = false;
    fCellSpace = false;
}

void THTMLGridParser::Tag(const QByteArray& Name, TTagKind Kind)
{
    if (Kind == tkSpecial)
        return;
    const bool Open = Kind == tkOpen;
    const bool Close = Kind == tkClose;
    if (Is(Name, "BR")) {
        if (fDepth == 2)
            AppendBreak();
    } else if (Is(Name, "TABLE")) {
        if (Open) {
            ++fTableDepth;
        } else if (Close && fTableDepth > 0) {
            if (fDepth > 0 && fTableDepth <= fRowTableDepth)
                EndRow();
            --fTableDepth;
            if (fDepth == 2 && fTableDepth == fCellTableDepth)
                fBlockBreak = true;
        }
    } else if (Is(Name, "TR")) {
        if (Nested()) {
            if (Open)
                fBlockBreak = true;
        } else if (Open) {
            EndRow();
            StartRow();
        } else if (Close) {
            EndRow();
        }
    } else if (Is(Name, "TD") || Is(Name, "TH")) {
        if (Nested()) {
            if (Open)
                fCellSpace = true;
        } else if (Open || Kind == tkSingle) {
            StartCell();
            if (Kind == tkSingle)
                EndCell();
        } else if (Close && fDepth == 2) {
            EndCell();
        }
    } else if (Is(Name, "STYLE") || Is(Name, "SCRIPT") || Is(Name, "TITLE")) {
        if (Open)
            ++fSkipText;
        else if (Close && fSkipText > 0)
            --fSkipText;
    } else if (fDepth == 2 && IsBlock(Name) && (Open || Close)) {
        fBlockBreak = true;
    }
}

void THTMLGridParser::Text(const QByteArray& S)
{
    if (fDepth != 2 || fSkipText > 0)
        return;
    const bool LineStart = fCollect.isEmpty() || fCollect.endsWith('\n');
    qsizetype From = 0;
    if (LineStart || fBlockBreak || fCellSpace || fCollect.endsWith(' '))
        while (From < S.size() && S[From] == ' ')
            ++From;
    if (From == S.size())
        return;
    if (fBlockBreak && !LineStart)
        AppendBreak();
    else if (fCellSpace && !LineStart && !fCollect.endsWith(' '))
        fCollect += ' ';
    fBlockBreak = false;
    fCellSpace = false;
    fCollect.append(S.constData() + From, S.size() - From);
}
