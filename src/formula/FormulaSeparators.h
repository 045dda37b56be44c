#pragma once

#include <QChar>

class QLocale;

// The argument and decimal separators of formula syntax, fixed once at
// start-up from the user's locale and read by the parser and the number
// conversions ever after.
struct TFormulaSeparators {
    QChar List = u',';
    QChar Decimal = u'.';
};

const TFormulaSeparators& FormulaSeparators();

// The list separator is "," unless the locale writes decimals with a comma,
// when ";" keeps SUM(1,5; 2) readable.
void FixFormulaSeparators(const QLocale& Locale);
