#pragma once

#include "formula/CalcValue.h"

// Value arithmetic of the standard functions. Integers widen instead of
// wrapping: a 32-bit result that does not fit becomes 64-bit, a 64-bit one a
// float. Text cannot take part and fails the formula.
TCalcValue CalcSubtract(const TCalcValue& A, const TCalcValue& B);
TCalcValue CalcMultiply(const TCalcValue& A, const TCalcValue& B);

// "Zero" of the logical functions: at most 1e-16 from 0.
bool IsCalcZero(const TCalcValue& V);

// A numeric comparison, exact between integers.
int CalcCompare(const TCalcValue& A, const TCalcValue& B);

// Fails the formula when a finite argument gave an infinite or NaN result:
// a domain error or a floating overflow.
double CheckedMath(double Result, double Argument);
double CheckedMath(double Result, double X, double Y);

// The float as a 64-bit integer after Round (toward zero or to nearest even);
// fails for INF, NaN and magnitudes beyond 64 bits.
qint64 CheckedInt64(double D);

[[noreturn]] void FailCalculation(const char* Message);
