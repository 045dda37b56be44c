#include "formula/CalcArithmetic.h"
#include "formula/FunctionCallbacks.h"

#include <cmath>
#include <limits>

namespace FormulaCallbacks {

namespace {

// The first Wanted operand values whose natural conversion is numeric; the
// answer is how many were found.
int Numbers(TToken& T, TCalcValue* Out, int Wanted)
{
    int Found = 0;
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        TCalcValue V = Raw.Natural();
        if (V.IsNumeric())
            Out[Found++] = std::move(V);
        return Found == Wanted;
    });
    return Found;
}

template <class TMath> void Unary(TToken& T, TCalcValue& R, TMath&& Math)
{
    TCalcValue X;
    if (Numbers(T, &X, 1) == 1)
        R = TCalcValue::Float(CheckedMath(Math(X.AsFloat()), X.AsFloat()));
}

// The trigonometric functions give an exact 0 where the float result is
// only rounding noise, so SIN(PI) reads "0".
template <class TMath> void Trig(TToken& T, TCalcValue& R, TMath&& Math)
{
    Unary(T, R, Math);
    if (R.IsFloat() && std::fabs(R.AsFloat()) <= 1e-15)
        R = TCalcValue::Int32(0);
}

template <class TCompare> void Comparison(TToken& T, TCalcValue& R, TCompare&& Compare)
{
    TCalcValue XY[2];
    if (Numbers(T, XY, 2) == 2)
        R = TCalcValue::Boolean(Compare(CalcCompare(XY[0], XY[1])));
}

void Shift(TToken& T, TCalcValue& R, bool Left)
{
    TCalcValue XY[2];
    if (Numbers(T, XY, 2) != 2 || !XY[0].IsOrdinal() || !XY[1].IsOrdinal())
        return;
    const qint64 X = XY[0].AsInteger();
    const qint64 Count = XY[1].AsInteger();
    // A negative count, or a value that 32 bits cannot hold, has no shift
    // that means anything; it fails rather than shift by chance.
    if (Count < 0 || X < std::numeric_limits<qint32>::min()
        || X > std::numeric_limits<quint32>::max())
        FailCalculation("Invalid shift");
    const quint32 Bits = quint32(X);
    const unsigned By = unsigned(Count % 32);
    R = TCalcValue::Int32(qint32(Left ? Bits << By : Bits >> By));
}

}

void Int(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return std::trunc(X); });
}

void Frac(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return X - std::trunc(X); });
}

void Trunc(TToken& T, const TCalcValue&, TCalcValue& R)
{
    TCalcValue X;
    if (Numbers(T, &X, 1) == 1)
        R = X.IsOrdinal() ? TCalcValue::Integer(X.AsInteger())
                          : TCalcValue::Integer(CheckedInt64(std::trunc(X.AsFloat())));
}

void Round(TToken& T, const TCalcValue&, TCalcValue& R)
{
    TCalcValue X;
    if (Numbers(T, &X, 1) == 1)
        R = X.IsOrdinal() ? TCalcValue::Integer(X.AsInteger())
                          : TCalcValue::Integer(CheckedInt64(std::nearbyint(X.AsFloat())));
}

void Ord(TToken& T, const TCalcValue&, TCalcValue& R)
{
    TCalcValue X;
    if (Numbers(T, &X, 1) == 1 && X.IsOrdinal())
        R = TCalcValue::Integer(X.AsInteger());
}

void Chr(TToken& T, const TCalcValue&, TCalcValue& R)
{
    TCalcValue X;
    if (Numbers(T, &X, 1) != 1 || !X.IsOrdinal())
        return;
    if (X.AsInteger() < 0 || X.AsInteger() > 0xFFFF)
        FailCalculation("Character code out of range");
    R = TCalcValue::Text(QString(QChar(char16_t(X.AsInteger()))));
}

void Sgn(TToken& T, const TCalcValue&, TCalcValue& R)
{
    TCalcValue X;
    if (Numbers(T, &X, 1) == 1)
        R = TCalcValue::Int8(qint8(CalcCompare(X, TCalcValue::Int32(0))));
}

void Abs(TToken& T, const TCalcValue&, TCalcValue& R)
{
    TCalcValue X;
    if (Numbers(T, &X, 1) != 1)
        return;
    if (X.IsFloat())
        R = TCalcValue::Float(std::fabs(X.AsFloat()));
    else if (X.AsInteger() == std::numeric_limits<qint64>::min())
        R = TCalcValue::Float(-double(X.AsInteger()));
    else
        R = TCalcValue::Integer(X.AsInteger() < 0 ? -X.AsInteger() : X.AsInteger());
}

void Not(TToken& T, const TCalcValue&, TCalcValue& R)
{
    TCalcValue X;
    if (Numbers(T, &X, 1) == 1)
        R = TCalcValue::Boolean(IsCalcZero(X));
}

void Ln(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return X > 0 ? std::log(X) : std::nan(""); });
}

void Log2(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return X > 0 ? std::log2(X) : std::nan(""); });
}

void Log10(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return X > 0 ? std::log10(X) : std::nan(""); });
}

void Log(TToken& T, const TCalcValue&, TCalcValue& R)
{
    TCalcValue XY[2];
    if (Numbers(T, XY, 2) != 2)
        return;
    const double Base = XY[0].AsFloat();
    const double X = XY[1].AsFloat();
    const double D = Base > 0 && X > 0 && Base != 1 ? std::log(X) / std::log(Base) : std::nan("");
    R = TCalcValue::Float(CheckedMath(D, Base, X));
}

void Sqr(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return X * X; });
}

void Sqrt(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return X >= 0 ? std::sqrt(X) : std::nan(""); });
}

void Power(TToken& T, const TCalcValue&, TCalcValue& R)
{
    TCalcValue XY[2];
    if (Numbers(T, XY, 2) != 2)
        return;
    const double X = XY[0].AsFloat();
    const double Y = XY[1].AsFloat();
    R = TCalcValue::Float(CheckedMath(std::pow(X, Y), X, Y));
}

void Sin(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Trig(T, R, [](double X) { return std::sin(X); });
}

void Cos(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Trig(T, R, [](double X) { return std::cos(X); });
}

void Tan(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Trig(T, R, [](double X) { return std::tan(X); });
}

void Cotan(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Trig(T, R, [](double X) { return 1 / std::tan(X); });
}

void Sinh(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return std::sinh(X); });
}

void Cosh(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return std::cosh(X); });
}

void Tanh(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return std::tanh(X); });
}

void ASin(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return std::asin(X); });
}

void ACos(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return std::acos(X); });
}

void ATan(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return std::atan(X); });
}

void ASinh(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return std::asinh(X); });
}

void ATanh(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return std::atanh(X); });
}

void Sec(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return 1 / std::cos(X); });
}

void Cosec(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return 1 / std::sin(X); });
}

void Deg(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return X * 57.295779513082320877; });
}

void Rad(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Unary(T, R, [](double X) { return X * 0.017453292519943295769; });
}

void Shl(TToken& T, const TCalcValue&, TCalcValue& R) { Shift(T, R, true); }

void Shr(TToken& T, const TCalcValue&, TCalcValue& R) { Shift(T, R, false); }

void Less(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Comparison(T, R, [](int C) { return C < 0; });
}

void Greater(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Comparison(T, R, [](int C) { return C > 0; });
}

void LessEqual(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Comparison(T, R, [](int C) { return C <= 0; });
}

void GreaterEqual(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Comparison(T, R, [](int C) { return C >= 0; });
}

void NotEqual(TToken& T, const TCalcValue&, TCalcValue& R)
{
    Comparison(T, R, [](int C) { return C != 0; });
}

}
