#include "formula/FormulaSeparators.h"

#include <QLocale>

namespace {

TFormulaSeparators& Separators()
{
    static TFormulaSeparators S;
    return S;
}

}

const TFormulaSeparators& FormulaSeparators() { return Separators(); }

void FixFormulaSeparators(const QLocale& Locale)
{
    const QString Point = Locale.decimalPoint();
    TFormulaSeparators S;
    S.Decimal = Point.isEmpty() ? QChar(u'.') : Point.front();
    // The toolkit keeps no list separator of its own; "," is what the locales
    // with a decimal point use, and the comma locales get ";" instead.
    S.List = S.Decimal == u',' ? QChar(u';') : QChar(u',');
    Separators() = S;
}
