#include "formula/CalcArithmetic.h"

#include "formula/FormulaErrors.h"

#include <cmath>

void FailCalculation(const char* Message) { throw EFormulaError(QString::fromLatin1(Message)); }

namespace {

// Empty takes part as 0 beside a number; anything else that is not a
// number cannot be computed with.
bool Operands(const TCalcValue& A, const TCalcValue& B, TCalcValue& X, TCalcValue& Y)
{
    auto Usable = [](const TCalcValue& V) { return V.IsNumeric() || V.IsEmpty(); };
    if (!Usable(A) || !Usable(B))
        FailCalculation("Invalid variant operation");
    if (A.IsEmpty() && B.IsEmpty())
        return false;
    X = A.IsEmpty() ? TCalcValue::Int32(0) : A;
    Y = B.IsEmpty() ? TCalcValue::Int32(0) : B;
    return true;
}

}

TCalcValue CalcSubtract(const TCalcValue& A, const TCalcValue& B)
{
    TCalcValue X, Y;
    if (!Operands(A, B, X, Y))
        return TCalcValue();
    if (X.IsOrdinal() && Y.IsOrdinal()) {
        qint64 R = 0;
        if (!__builtin_sub_overflow(X.AsInteger(), Y.AsInteger(), &R))
            return TCalcValue::Integer(R);
        return TCalcValue::Float(double(X.AsInteger()) - double(Y.AsInteger()));
    }
    return TCalcValue::Float(X.AsFloat() - Y.AsFloat());
}

TCalcValue CalcMultiply(const TCalcValue& A, const TCalcValue& B)
{
    TCalcValue X, Y;
    if (!Operands(A, B, X, Y))
        return TCalcValue();
    if (X.IsOrdinal() && Y.IsOrdinal()) {
        qint64 R = 0;
        if (!__builtin_mul_overflow(X.AsInteger(), Y.AsInteger(), &R))
            return TCalcValue::Integer(R);
        return TCalcValue::Float(double(X.AsInteger()) * double(Y.AsInteger()));
    }
    return TCalcValue::Float(X.AsFloat() * Y.AsFloat());
}

bool IsCalcZero(const TCalcValue& V)
{
    return V.IsOrdinal() ? V.AsInteger() == 0 : std::fabs(V.AsFloat()) <= 1e-16;
}

int CalcCompare(const TCalcValue& A, const TCalcValue& B)
{
    if (A.IsOrdinal() && B.IsOrdinal())
        return A.AsInteger() < B.AsInteger() ? -1 : A.AsInteger() > B.AsInteger() ? 1 : 0;
    const double X = A.AsFloat();
    const double Y = B.AsFloat();
    return X < Y ? -1 : X > Y ? 1 : 0;
}

double CheckedMath(double Result, double Argument)
{
    if (std::isfinite(Argument) && !std::isfinite(Result))
        FailCalculation("Invalid floating point operation");
    return Result;
}

double CheckedMath(double Result, double X, double Y)
{
    if (std::isfinite(X) && std::isfinite(Y) && !std::isfinite(Result))
        FailCalculation("Invalid floating point operation");
    return Result;
}

qint64 CheckedInt64(double D)
{
    // 2^63 is exact as a double; everything below it converts without
    // undefined behaviour.
    if (!(D >= -9223372036854775808.0 && D < 9223372036854775808.0))
        FailCalculation("Invalid floating point operation");
    return qint64(D);
}
