#pragma once

#include <QStringView>

#include <functional>

class TFunctionList;
class TFunctionIdentifier;

class Tfp;

// One parser event: the token's text (running on to the end of the formula),
// its 1-based position and length, its registry ID (0 for a number or string,
// -1 for an identifier), its precedence level and whether it begins its list
// element.
using TParseEvent = std::function<void(Tfp& Sender, QStringView Term, qint32 Position,
    qint32 Length, qint32 Operator, qint32 Level, bool StartToken)>;

// Bracket pairs nested deeper than this end the parse: the parser descends
// once per bracket, and formula text must not be able to exhaust the stack.
constexpr qint32 MaxBracketDepth = 256;

// A precedence climber over the registry's levels. It builds nothing: it
// reports every token in text order (OnToken) and every operator or function
// once its right operand has been read (OnParse), so the second stream comes
// in evaluation order.
class Tfp {
public:
    explicit Tfp(const TFunctionList& List);

    // False when P is absent. The text is borrowed and read up to its first
    // NUL character; errors raised by the event handlers end the parse and
    // propagate, and so does ENestingTooDeep.
    bool Execute(const QChar* P);
    bool Execute(QStringView Text);

    void SetOnToken(TParseEvent E) { fOnToken = std::move(E); }
    void SetOnParse(TParseEvent E) { fOnParse = std::move(E); }

private:
    void ParseGroup();
    void ParseList();
    void ParseLevel(qint32 Level);
    void ParseOperand(qint32 Level);
    bool ScanToken(qint32 Level);
    void ScanNumber();
    void ScanIdentifier();

    bool AtEnd(qsizetype P) const { return P >= fEnd; }
    QChar At(qsizetype P) const { return P < fEnd ? fFormula[P] : QChar(); }
    void SkipWhitespace();
    bool IsIdentifierEnd(qsizetype P) const;
    QStringView TermAt(qsizetype P) const { return QStringView(fFormula + P, fEnd - P); }

    const TFunctionList& fList;
    const QChar* fFormula = nullptr;
    qsizetype fEnd = 0;
    qsizetype fStart = 0;
    qsizetype fStop = 0;
    qint32 fBracketCount = 0;
    bool fSeparationState = false;
    bool fTerminated = false;
    bool fStartToken = false;
    qint32 fPosition = 0;
    qint32 fCount = 0;
    qint32 fOperator = 0;
    qint32 fLevel = 0;
    qint64 fTokenCount = 0;
    qsizetype fScanAt = -1;
    qsizetype fScanLength = 0;
    const TFunctionIdentifier* fScanKeyword = nullptr;
    TParseEvent fOnToken;
    TParseEvent fOnParse;
};
