#pragma once

#include <QString>

enum TFieldType {
    ftUnknown,
    ftString, // short text
    ftMemo, // long text
    ftBoolean,
    ftInteger,
    ftFloat, // double precision
    ftCurrency,
    ftBCD, // exact decimal
    ftDate,
    ftDateTime,
    ftTime,
    ftBlob,
    ftGraphic,
};

inline bool IsNumericType(TFieldType t)
{
    return t == ftInteger || t == ftFloat || t == ftCurrency || t == ftBCD;
}

inline bool IsDateType(TFieldType t) { return t == ftDate || t == ftDateTime || t == ftTime; }

// Reads a column's declared type the way the embedded database's own affinity rules do, but
// finer: dates and long texts are told apart from the other texts.
TFieldType FieldTypeFromDeclared(const QString& declared);
