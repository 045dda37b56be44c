#include "formula/FormulaParser.h"

#include "formula/FormulaErrors.h"
#include "formula/FormulaSeparators.h"
#include "formula/FunctionList.h"

namespace {

bool IsWhitespace(QChar C) { return C == u'\t' || C == u'\n' || C == u'\r' || C == u' '; }

bool IsOperatorSymbol(QChar C)
{
    switch (C.unicode()) {
    case u'*':
    case u'+':
    case u'-':
    case u'/':
    case u'<':
    case u'=':
    case u'>':
    case u'@':
    case u'^':
        return true;
    default:
        return false;
    }
}

bool IsDigit(QChar C) { return C >= u'0' && C <= u'9'; }

}

Tfp::Tfp(const TFunctionList& List)
    : fList(List)
{
}

bool Tfp::Execute(const QChar* P)
{
    if (!P)
        return false;
    qsizetype N = 0;
    while (!P[N].isNull())
        ++N;
    return Execute(QStringView(P, N));
}

bool Tfp::Execute(QStringView Text)
{
    if (!Text.data())
        return false;
    fFormula = Text.data();
    const qsizetype Nul = Text.indexOf(QChar());
    fEnd = Nul < 0 ? Text.size() : Nul;
    fStart = 0;
    fStop = 0;
    fBracketCount = 0;
    fSeparationState = false;
    fTerminated = false;
    fStartToken = false;
    fTokenCount = 0;
    fScanAt = -1;
    ParseGroup();
    return true;
}

void Tfp::ParseGroup()
{
    if (fBracketCount >= MaxBracketDepth)
        throw ENestingTooDeep(MaxBracketDepth);
    ++fBracketCount;
    ParseList();
    --fBracketCount;
}

void Tfp::ParseList()
{
    const bool Saved = fSeparationState;
    fSeparationState = true;
    do {
        const qsizetype Before = fStop;
        fStartToken = true;
        ParseLevel(-5);
        fTerminated = false;
        // Every character is taken at some level; a pass that took none would
        // repeat for ever, so it ends the list instead.
        if (fStop == Before && fSeparationState)
            break;
    } while (fSeparationState && !AtEnd(fStop));
    fSeparationState = Saved;
}

void Tfp::ParseLevel(qint32 Level)
{
    ParseOperand(Level);
    while (!fTerminated && ScanToken(Level)) {
        const qint32 Position = fPosition;
        const qint32 Count = fCount;
        const qint32 Operator = fOperator;
        const qint32 TokenLevel = fLevel;
        ParseOperand(Level);
        if (Operator > 0 && fOnParse)
            fOnParse(*this, TermAt(Position - 1), Position, Count, Operator, TokenLevel, false);
    }
}

void Tfp::ParseOperand(qint32 Level)
{
    if (Level == 1)
        ScanToken(1);
    else
        ParseLevel(Level + 1);
}

void Tfp::SkipWhitespace()
{
    while (!AtEnd(fStop) && IsWhitespace(fFormula[fStop]))
        ++fStop;
}

bool Tfp::IsIdentifierEnd(qsizetype P) const
{
    if (AtEnd(P))
        return true;
    const QChar C = fFormula[P];
    return C == u'(' || C == u')' || C == FormulaSeparators().List || IsWhitespace(C)
        || IsOperatorSymbol(C);
}

bool Tfp::ScanToken(qint32 Level)
{
    SkipWhitespace();
    if (AtEnd(fStop))
        return false;
    fStart = fStop;
    fOperator = 0;

    // After an operand every level from 1 down asks about the same position
    // until one takes the operator there; the keyword is read once for all,
    // and a registered name answers every other level at once.
    if (fScanAt != fStart) {
        fScanAt = fStart;
        fScanLength = fList.ScanKeyword(TermAt(fStart), fScanKeyword);
    }
    const TFunctionIdentifier* Keyword = fScanKeyword;
    if (Keyword && Keyword->Priority() != Level
        && (IsOperatorSymbol(fFormula[fStart]) || IsIdentifierEnd(fStart + fScanLength)))
        return false;
    fStop = fStart + fScanLength;

    bool Accepted = false;
    bool AsIdentifier = false;
    if (Keyword) {
        if (!IsOperatorSymbol(fFormula[fStart]) && !IsIdentifierEnd(fStop)) {
            // "PIE" is a name of its own, not the constant followed by "E".
            fStop = fStart;
            AsIdentifier = true;
        } else if (Keyword->Priority() == Level) {
            Accepted = true;
            fOperator = Keyword->ID();
        } else {
            fStop = fStart;
        }
    } else {
        fStop = fStart;
        AsIdentifier = true;
    }

    bool ClosingQuote = false;
    if (Level == 1 && !Accepted) {
        const QChar C = fFormula[fStart];
        const QChar ListSeparator = FormulaSeparators().List;
        if (C == u'"') {
            ++fStart;
            fStop = fStart;
            while (!AtEnd(fStop) && fFormula[fStop] != u'"')
                ++fStop;
            ClosingQuote = !AtEnd(fStop);
            Accepted = true;
        } else if (C == u'(') {
            fStop = fStart + 1;
            const bool WasStart = fStartToken;
            const qint64 Before = fTokenCount;
            ParseGroup();
            // An empty pair, as in ROW(), must not leave the flag that the
            // list inside set: the operator after it would start a new list
            // element instead of taking the call as its left operand.
            fStartToken = fTokenCount == Before ? WasStart : false;
            AsIdentifier = false;
        } else if (C == u')') {
            fStart = fStop = fStart + 1;
            fSeparationState = false;
            fTerminated = true;
            AsIdentifier = false;
        } else if (IsDigit(C)) {
            ScanNumber();
            Accepted = true;
        } else if (C == ListSeparator) {
            fStart = fStop = fStart + 1;
            fStartToken = true;
            fTerminated = true;
            AsIdentifier = false;
        }
    }
    if (!Accepted && AsIdentifier) {
        const QChar C = fFormula[fStart];
        if (C != u'(' && C != u')' && C != FormulaSeparators().List) {
            ScanIdentifier();
            Accepted = fStop > fStart;
        }
    }

    fPosition = qint32(fStart + 1);
    fCount = qint32(fStop - fStart);
    fLevel = Level + 7 * fBracketCount - 2;
    if (Accepted) {
        ++fTokenCount;
        if (fOnToken)
            fOnToken(*this, TermAt(fStart), fPosition, fCount, fOperator, fLevel, fStartToken);
        fStartToken = false;
        if (ClosingQuote)
            ++fStop;
    }
    return Accepted;
}

void Tfp::ScanNumber()
{
    const QChar Decimal = FormulaSeparators().Decimal;
    bool Signs = true;
    bool Letters = true;
    bool Point = true;
    fStop = fStart;
    while (!AtEnd(fStop)) {
        const QChar C = fFormula[fStop];
        const bool Sign = C == u'+' || C == u'-';
        const bool Letter = C == u'E' || C == u'e';
        const bool IsPoint = C == Decimal && C.unicode() < 256;
        if (!(IsDigit(C) || (Sign && Signs) || (Letter && Letters) || (IsPoint && Point)))
            break;
        if (Sign) {
            const QChar Before = fStop > fStart ? fFormula[fStop - 1] : QChar();
            if (Before != u'E' && Before != u'e')
                break;
            Signs = false;
        }
        if (Letter)
            Letters = false;
        if (IsPoint)
            Point = false;
        ++fStop;
    }
}

void Tfp::ScanIdentifier()
{
    fOperator = -1;
    fStop = fStart;
    bool Looked = false;
    do {
        ++fStop;
        if (!Looked && !AtEnd(fStop)
            && (IsWhitespace(fFormula[fStop]) || fFormula[fStop] == u':')) {
            // "A1 : B2" is one region name; "A1 B2" two names.
            Looked = true;
            const qsizetype Mark = fStop;
            SkipWhitespace();
            if (!AtEnd(fStop) && fFormula[fStop] == u':') {
                ++fStop;
                SkipWhitespace();
            } else {
                fStop = Mark;
            }
        }
    } while (!IsIdentifierEnd(fStop));
}
