#pragma once

#include <QByteArray>
#include <QHash>

#include <functional>
#include <vector>

class QIODevice;

enum TTagKind { tkOpen, tkClose, tkSingle, tkSpecial };

struct TNameValue {
    QByteArray Name;
    QByteArray Value;
};
using TNameValueArr = std::vector<TNameValue>;

using TOnText = std::function<void(const QByteArray& S)>;
using TOnOption = std::function<void(const QByteArray& AName, const QByteArray& AValue)>;
using TOnTag = std::function<void(const QByteArray& S, TTagKind Kind)>;

// A forgiving tokenizer for HTML- and XML-like markup: it reports text, the
// attributes of each tag and the tag itself, byte strings exactly as they
// stand. It builds no tree and decodes nothing. Runs of whitespace in text
// come out as one space. A comment ("<!--" to "-->") is reported as one
// tkSpecial tag named "--" without its body, so that markup inside it (a
// conditional comment's VML, form-field data) never looks like content.
class TXMLParser {
public:
    TOnText OnText;
    TOnOption OnOption;
    TOnTag OnTag;

    // Valid during OnTag for the tag being reported.
    const QByteArray& Tag() const { return fTag; }
    const TNameValueArr& TagOptions() const { return fTagOptions; }
    // The value of the current tag's attribute, its name compared
    // case-insensitively; null when the tag has none.
    QByteArray Option(const QByteArray& LowerName) const;

    void Parse(const QByteArray& Str) { Parse(Str.constData(), Str.size()); }
    void Parse(const char* Data, qsizetype Size);
    void Parse(QIODevice& Stream);

private:
    void Feed(char C);
    void Finish();
    void EmitOption();
    void EndTag();
    void FlushText();
    void ClearOptions();

    enum TState { stText, stTagName, stOptionName, stOptionValue, stComment };

    QByteArray fTag;
    TNameValueArr fTagOptions;
    // Lower-case name to index in fTagOptions: a tag with many attributes
    // is still read in linear time.
    QHash<QByteArray, size_t> fOptionIndex;

    QByteArray fText;
    QByteArray fName;
    QByteArray fOptionName;
    QByteArray fValue;
    TState fState = stText;
    TTagKind fKind = tkOpen;
    bool fInQuotes = false;
    char fQuote = '"';
    bool fSpacePending = true;
    char fPrev = 0;
    int fDashes = 0;
};
