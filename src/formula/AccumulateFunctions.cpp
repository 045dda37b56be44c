#include "formula/CalcArithmetic.h"
#include "formula/FunctionCallbacks.h"

#include <cmath>
#include <limits>

namespace FormulaCallbacks {

namespace {

TCalcValue SumOf(TToken& T)
{
    TCalcValue R;
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (V.IsNumeric())
            R = TCalcValue::Float(V.AsFloat() + (R.IsNumeric() ? R.AsFloat() : 0.0));
        return false;
    });
    return R;
}

TCalcValue SumSqOf(TToken& T)
{
    TCalcValue R;
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (V.IsNumeric())
            R = TCalcValue::Float(V.AsFloat() * V.AsFloat() + (R.IsNumeric() ? R.AsFloat() : 0.0));
        return false;
    });
    return R;
}

qint64 CountNOf(TToken& T)
{
    qint64 N = 0;
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        N += Raw.Natural().IsNumeric() ? 1 : 0;
        return false;
    });
    return N;
}

TCalcValue MeanOf(const TCalcValue& S, qint64 N)
{
    return N > 0 ? TCalcValue::Float(S.AsFloat() / double(N)) : S;
}

enum TLogic { lgAnd, lgOr, lgXor };

void Logic(TToken& T, TCalcValue& R, TLogic Kind)
{
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (!V.IsNumeric())
            return false;
        const bool B = !IsCalcZero(V);
        if (!R.IsNumeric()) {
            R = TCalcValue::Boolean(B);
            return false;
        }
        const bool A = !IsCalcZero(R);
        R = TCalcValue::Boolean(Kind == lgAnd ? A && B : Kind == lgOr ? A || B : A != B);
        return false;
    });
}

void IntegerDivision(TToken& T, TCalcValue& R, bool Remainder)
{
    T.ForEach([&](TToken& Visited, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (V.IsOrdinal() && !R.IsOrdinal())
            R = TCalcValue::Int32(1);
        if (Visited.BeforeOperator()) {
            R = V;
            return false;
        }
        if (!V.IsNumeric() || !R.IsNumeric())
            FailCalculation("Invalid variant operation");
        // Fractions are cut toward zero first, so the zero test below sees
        // the divisor that is actually used.
        const qint64 Divisor = V.IsFloat() ? CheckedInt64(std::trunc(V.AsFloat())) : V.AsInteger();
        const qint64 Dividend = R.IsFloat() ? CheckedInt64(std::trunc(R.AsFloat())) : R.AsInteger();
        if (Divisor == 0) {
            if (Dividend != 0)
                R = TCalcValue::Text(QStringLiteral("#DIV0"));
            else
                R = TCalcValue::Int32(0);
            return false;
        }
        if (Dividend == std::numeric_limits<qint64>::min() && Divisor == -1)
            R = Remainder ? TCalcValue::Int32(0) : TCalcValue::Float(-double(Dividend));
        else
            R = TCalcValue::Integer(Remainder ? Dividend % Divisor : Dividend / Divisor);
        return false;
    });
}

}

void Sum(TToken& T, const TCalcValue&, TCalcValue& R) { R = SumOf(T); }

void SumSq(TToken& T, const TCalcValue&, TCalcValue& R) { R = SumSqOf(T); }

void Sub(TToken& T, const TCalcValue&, TCalcValue& R)
{
    T.ForEach([&](TToken& Visited, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (V.IsNumeric() && !R.IsNumeric())
            R = TCalcValue::Int32(0);
        R = Visited.BeforeOperator() ? V : CalcSubtract(R, V);
        return false;
    });
}

void Multiply(TToken& T, const TCalcValue&, TCalcValue& R)
{
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (V.IsNumeric())
            R = R.IsNumeric() ? CalcMultiply(R, V) : V;
        return false;
    });
}

void Divide(TToken& T, const TCalcValue&, TCalcValue& R)
{
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    T.ForEach([&](TToken& Visited, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (Visited.BeforeOperator()) {
            R = V;
        } else if (V.IsNumeric() && R.IsNumeric()) {
            const double X = R.AsFloat();
            const double Y = V.AsFloat();
            if (std::isnan(X))
                R = TCalcValue::Float(NaN);
            else if (std::isnan(Y))
                R = TCalcValue::Float(NaN);
            else if (Y != 0)
                R = TCalcValue::Float(X / Y);
            else if (X != 0)
                R = TCalcValue::Float(X > 0 ? std::numeric_limits<double>::infinity()
                                            : -std::numeric_limits<double>::infinity());
            else
                R = TCalcValue::Float(NaN);
        } else {
            R = TCalcValue::Float(NaN);
        }
        return false;
    });
}

void IntDiv(TToken& T, const TCalcValue&, TCalcValue& R) { IntegerDivision(T, R, false); }

void IntMod(TToken& T, const TCalcValue&, TCalcValue& R) { IntegerDivision(T, R, true); }

void And(TToken& T, const TCalcValue&, TCalcValue& R) { Logic(T, R, lgAnd); }

void Or(TToken& T, const TCalcValue&, TCalcValue& R) { Logic(T, R, lgOr); }

void Xor(TToken& T, const TCalcValue&, TCalcValue& R) { Logic(T, R, lgXor); }

void Max(TToken& T, const TCalcValue&, TCalcValue& R)
{
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (V.IsNumeric())
            R = !R.IsNumeric()          ? V
                : CalcCompare(V, R) < 0 ? TCalcValue::Float(R.AsFloat())
                                        : TCalcValue::Float(V.AsFloat());
        return false;
    });
}

void Min(TToken& T, const TCalcValue&, TCalcValue& R)
{
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (V.IsNumeric())
            R = !R.IsNumeric()           ? V
                : CalcCompare(V, R) <= 0 ? TCalcValue::Float(V.AsFloat())
                                         : TCalcValue::Float(R.AsFloat());
        return false;
    });
}

void Count(TToken& T, const TCalcValue&, TCalcValue& R)
{
    qint64 N = 0;
    T.ForEach([&](TToken&, const TCalcValue&) {
        ++N;
        return false;
    });
    R = TCalcValue::Integer(N);
}

void CountN(TToken& T, const TCalcValue&, TCalcValue& R) { R = TCalcValue::Integer(CountNOf(T)); }

void Average(TToken& T, const TCalcValue&, TCalcValue& R) { R = MeanOf(SumOf(T), CountNOf(T)); }

void AverageSq(TToken& T, const TCalcValue&, TCalcValue& R) { R = MeanOf(SumSqOf(T), CountNOf(T)); }

void Rms(TToken& T, const TCalcValue&, TCalcValue& R)
{
    const qint64 N = CountNOf(T);
    const TCalcValue M = MeanOf(SumOf(T), N);
    const TCalcValue Q = MeanOf(SumSqOf(T), N);
    const double Mean = M.IsNumeric() ? M.AsFloat() : 0.0;
    const double D = (Q.IsNumeric() ? Q.AsFloat() : 0.0) - Mean * Mean;
    R = D > 0 ? TCalcValue::Float(std::sqrt(D)) : TCalcValue::Int32(0);
}

void StDev(TToken& T, const TCalcValue&, TCalcValue& R)
{
    long double Sum = 0;
    qint64 N = 0;
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (V.IsNumeric()) {
            Sum += V.AsFloat();
            ++N;
        }
        return false;
    });
    if (N == 0) {
        R = TCalcValue::Float(std::numeric_limits<double>::quiet_NaN());
        return;
    }
    if (N == 1) {
        R = TCalcValue::CurrencyZero();
        return;
    }
    const long double Mean = Sum / N;
    long double Squares = 0;
    T.ForEach([&](TToken&, const TCalcValue& Raw) {
        const TCalcValue V = Raw.Natural();
        if (V.IsNumeric())
            Squares += (Mean - V.AsFloat()) * (Mean - V.AsFloat());
        return false;
    });
    R = TCalcValue::Float(double(std::sqrt(Squares / (N - 1))));
}

}
