#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <new>
#include <utility>
#include <vector>

// The kinds a calculation value can hold. The integer widths only matter for
// display and for integer tests; arithmetic widens rather than wraps.
enum TValueKind : quint8 {
    vkEmpty,
    vkNull,
    vkBoolean,
    vkInt8,
    vkInt32,
    vkInt64,
    vkFloat,
    vkCurrency,
    vkText,
    vkError,
    vkArray,
};

class TCalcValue;
using TCalcArray = std::vector<TCalcValue>;

// One tagged value of the formula engine: what a token holds after it was
// calculated and what the function callbacks combine.
class TCalcValue {
public:
    TCalcValue() { }
    TCalcValue(const TCalcValue& Other)
        : fKind(Other.fKind)
    {
        CopyFrom(Other);
    }
    TCalcValue(TCalcValue&& Other) noexcept
        : fKind(Other.fKind)
    {
        MoveFrom(Other);
    }
    // Through a temporary, as the source may be an item of this value's own
    // array, which releasing this value first could free.
    TCalcValue& operator=(const TCalcValue& Other)
    {
        if (this != &Other)
            *this = TCalcValue(Other);
        return *this;
    }
    // Array items are constant, so a moved value is never one of this
    // value's own items and this value can be released first.
    TCalcValue& operator=(TCalcValue&& Other) noexcept
    {
        if (this != &Other) {
            Release();
            fKind = Other.fKind;
            MoveFrom(Other);
        }
        return *this;
    }
    ~TCalcValue() { Release(); }

    static TCalcValue Null() { return TCalcValue(vkNull); }
    static TCalcValue Boolean(bool B);
    static TCalcValue Int8(qint8 I);
    static TCalcValue Int32(qint32 I);
    // The narrowest of the 32- and 64-bit kinds that holds I.
    static TCalcValue Integer(qint64 I);
    static TCalcValue Float(double D);
    static TCalcValue CurrencyZero() { return TCalcValue(vkCurrency); }
    static TCalcValue Text(QString S);
    static TCalcValue Error(qint32 Code);
    static TCalcValue Array(TCalcArray Items);

    TValueKind Kind() const { return fKind; }
    bool IsEmpty() const { return fKind == vkEmpty; }
    bool IsText() const { return fKind == vkText; }
    bool IsFloat() const { return fKind == vkFloat; }
    bool IsInteger() const { return fKind == vkInt8 || fKind == vkInt32 || fKind == vkInt64; }
    // Integer or Boolean.
    bool IsOrdinal() const { return IsInteger() || fKind == vkBoolean; }
    // Integer, Boolean or float.
    bool IsNumeric() const { return IsOrdinal() || fKind == vkFloat; }

    bool AsBoolean() const { return AsInteger() != 0; }
    // The ordinal's value; a Boolean counts as 1 or 0. A text or an array
    // gives 0.
    qint64 AsInteger() const { return HoldsNumber() ? fInt : 0; }
    // Any numeric kind as a float.
    double AsFloat() const
    {
        return fKind == vkFloat ? fFloat : HoldsNumber() ? double(fInt) : 0.0;
    }
    // The text of a text value, the empty text for any other kind.
    const QString& AsText() const;
    const TCalcArray& AsArray() const;

    // Empty and null give empty; numbers stay; text becomes an integer, a float
    // or a Boolean when it reads as one, else stays text; anything else is empty.
    TCalcValue Natural() const;

    // Appends the value text: arrays flattened, empty, null and NaN contribute
    // nothing, pieces joined with ";".
    void AppendValueText(QString& To) const;
    QString ValueText() const;

private:
    using TArrayPtr = std::shared_ptr<const TCalcArray>;

    explicit TCalcValue(TValueKind K)
        : fKind(K)
    {
        if (K == vkText)
            new (&fText) QString();
        else if (K == vkArray)
            new (&fArray) TArrayPtr();
    }
    bool HoldsNumber() const { return fKind != vkText && fKind != vkArray; }
    // Constructs this value's member from Other's of the same kind.
    void CopyFrom(const TCalcValue& Other)
    {
        if (fKind == vkText)
            new (&fText) QString(Other.fText);
        else if (fKind == vkArray)
            new (&fArray) TArrayPtr(Other.fArray);
        else
            fInt = Other.fInt;
    }
    void MoveFrom(TCalcValue& Other) noexcept
    {
        if (fKind == vkText)
            new (&fText) QString(std::move(Other.fText));
        else if (fKind == vkArray)
            new (&fArray) TArrayPtr(std::move(Other.fArray));
        else
            fInt = Other.fInt;
    }
    void Release() noexcept
    {
        if (fKind == vkText)
            fText.~QString();
        else if (fKind == vkArray)
            fArray.~TArrayPtr();
    }

    TValueKind fKind = vkEmpty;
    // One member by kind, so that every token's value takes 32 bytes: text
    // fText, an array fArray, floats fFloat, all other kinds fInt.
    union {
        qint64 fInt = 0;
        double fFloat;
        QString fText;
        TArrayPtr fArray;
    };
};

// The general-format text of a float: 15 significant digits, "E" notation for
// very large or small magnitudes, the formula decimal separator, "INF" and
// "-INF"; NaN gives the empty text.
QString FloatText(double D);

// Reads text as the formula engine reads cell text: a 32-bit integer first,
// then a float with the formula decimal separator. False when neither.
bool ParseInteger32(QStringView S, qint32& Value);
bool ParseFloat(QStringView S, double& Value);
