#include "text/XmlParser.h"

#include <QIODevice>

namespace {

bool IsSpace(char C) { return quint8(C) < 33; }
bool IsSpecialMark(char C) { return C == '!' || C == '%' || C == '?'; }
bool IsQuote(char C) { return C == '"' || C == '\''; }

}

QByteArray TXMLParser::Option(const QByteArray& LowerName) const
{
    const auto It = fOptionIndex.constFind(LowerName);
    return It == fOptionIndex.constEnd() ? QByteArray() : fTagOptions[*It].Value;
}

void TXMLParser::Parse(const char* Data, qsizetype Size)
{
    for (qsizetype I = 0; I < Size; ++I)
        Feed(Data[I]);
    Finish();
}

void TXMLParser::Parse(QIODevice& Stream)
{
    char Buffer[4096];
    for (;;) {
        const qint64 N = Stream.read(Buffer, sizeof Buffer);
        if (N <= 0)
            break;
        for (qint64 I = 0; I < N; ++I)
            Feed(Buffer[I]);
    }
    Finish();
}

void TXMLParser::Feed(char C)
{
    switch (fState) {
    case stText:
        if (C == '<') {
            FlushText();
            fState = stTagName;
            fKind = tkOpen;
        } else if (IsSpace(C)) {
            if (!fSpacePending) {
                fSpacePending = true;
                fText += ' ';
            }
        } else {
            fText += C;
            fSpacePending = false;
        }
        break;
    case stTagName:
        if (IsSpace(C)) {
            if (!fName.isEmpty())
                fState = stOptionName;
        } else if (IsSpecialMark(C) && fName.isEmpty()) {
            fKind = tkSpecial;
        } else if (C == '/' && fName.isEmpty()) {
            fKind = tkClose;
        } else if (C == '>') {
            EndTag();
        } else {
            fName += C;
            if (fKind == tkSpecial && fName == "--") {
                fState = stComment;
                fDashes = 2;
            }
        }
        break;
    case stOptionName:
        if (IsQuote(C)) {
            fInQuotes = !fInQuotes;
        } else if (IsSpace(C)) {
            if (fInQuotes)
                fOptionName += C;
            else if (!fOptionName.isEmpty())
                EmitOption();
        } else if (C == '=') {
            if (!fInQuotes)
                fState = stOptionValue;
        } else if (C == '>') {
            if (!fInQuotes)
                EndTag();
        } else {
            fOptionName += C;
        }
        break;
    case stOptionValue:
        // Only the quote that opened a value closes it: style values quote
        // font names with the other kind ("font-family:'Times New Roman'").
        // A ">" inside quotes is part of the value, as in a formula.
        if (fInQuotes) {
            if (C == fQuote) {
                if (fValue.isEmpty())
                    EmitOption();
                fInQuotes = false;
            } else {
                fValue += C;
            }
        } else if (IsQuote(C)) {
            fInQuotes = true;
            fQuote = C;
        } else if (IsSpace(C)) {
            if (!fValue.isEmpty())
                EmitOption();
        } else if (C == '>') {
            EndTag();
        } else {
            fValue += C;
        }
        break;
    case stComment:
        if (C == '-') {
            ++fDashes;
        } else if (C == '>' && fDashes >= 2) {
            ClearOptions();
            fTag = "--";
            fName.clear();
            fText.clear();
            fState = stText;
            if (OnTag)
                OnTag(fTag, tkSpecial);
        } else {
            fDashes = 0;
        }
        break;
    }
    fPrev = C;
}

void TXMLParser::EmitOption()
{
    if (!fOptionName.isEmpty()) {
        const QByteArray Key = fOptionName.toLower();
        const auto It = fOptionIndex.constFind(Key);
        if (It != fOptionIndex.constEnd()) {
            fTagOptions[*It].Value = fValue;
        } else {
            fOptionIndex.insert(Key, fTagOptions.size());
            fTagOptions.push_back({ fOptionName, fValue });
        }
        if (OnOption)
            OnOption(fOptionName, fValue);
    }
    fOptionName.clear();
    fValue.clear();
    fState = stOptionName;
}

void TXMLParser::EndTag()
{
    // "<br/>" and "<?xml ... ?>": the closing mark belongs to the tag, not
    // to the name or value it was read into.
    if ((IsSpecialMark(fPrev) && fKind == tkSpecial) || (fPrev == '/' && fKind != tkSpecial)) {
        fKind = fKind == tkOpen ? tkSingle : tkSpecial;
        QByteArray* Collected = fState == stTagName ? &fName
            : fState == stOptionName                ? &fOptionName
                                                    : &fValue;
        if (!Collected->isEmpty())
            Collected->chop(1);
    }
    fTag = fName;
    if (fState == stOptionName || fState == stOptionValue)
        EmitOption();
    fText.clear();
    fInQuotes = false;
    fState = stText;
    if (!fName.isEmpty() && OnTag)
        OnTag(fName, fKind);
    fName.clear();
}

void TXMLParser::FlushText()
{
    // The text is taken once: an unfinished tag at the end of the input
    // must not report it a second time.
    if (!fText.isEmpty() && OnText)
        OnText(fText);
    fText.clear();
    fName.clear();
    fOptionName.clear();
    fValue.clear();
    fInQuotes = false;
    ClearOptions();
}

void TXMLParser::ClearOptions()
{
    fTagOptions.clear();
    fOptionIndex.clear();
}

void TXMLParser::Finish()
{
    FlushText();
    fState = stText;
    fKind = tkOpen;
    fSpacePending = true;
    fPrev = 0;
    fDashes = 0;
}
