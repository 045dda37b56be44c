#pragma once

#include <QString>
#include <QStringView>

#include <memory>
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
    TCalcValue() = default;

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

    bool AsBoolean() const { return fInt != 0; }
    // The ordinal's value; a Boolean counts as 1 or 0.
    qint64 AsInteger() const { return fInt; }
    // Any numeric kind as a float.
    double AsFloat() const { return fKind == vkFloat ? fFloat : double(fInt); }
    const QString& AsText() const { return fText; }
    const TCalcArray& AsArray() const;

    // Empty and null give empty; numbers stay; text becomes an integer, a float
    // or a Boolean when it reads as one, else stays text; anything else is empty.
    TCalcValue Natural() const;

    // Appends the value text: arrays flattened, empty, null and NaN contribute
    // nothing, pieces joined with ";".
    void AppendValueText(QString& To) const;
    QString ValueText() const;

private:
    explicit TCalcValue(TValueKind K)
        : fKind(K)
    {
    }

    TValueKind fKind = vkEmpty;
    // Floats use fFloat, the ordinal kinds, errors and the rest fInt.
    union {
        qint64 fInt = 0;
        double fFloat;
    };
    QString fText;
    std::shared_ptr<const TCalcArray> fArray;
};

// The general-format text of a float: 15 significant digits, "E" notation for
// very large or small magnitudes, the formula decimal separator, "INF" and
// "-INF"; NaN gives the empty text.
QString FloatText(double D);

// Reads text as the formula engine reads cell text: a 32-bit integer first,
// then a float with the formula decimal separator. False when neither.
bool ParseInteger32(QStringView S, qint32& Value);
bool ParseFloat(QStringView S, double& Value);
