#include "grid/model/GridFont.h"

qint32 TGridFont::Size() const
{
    if (fPixelsPerInch <= 0)
        return 0;
    return qint32((-qint64(fHeight) * 72 + (fHeight <= 0 ? fPixelsPerInch / 2 : -fPixelsPerInch / 2))
        / fPixelsPerInch);
}

void TGridFont::SetSize(qint32 Value)
{
    fHeight = qint32(-(qint64(Value) * fPixelsPerInch + (Value >= 0 ? 36 : -36)) / 72);
}

void TGridFont::SetPixelsPerInch(qint32 Value)
{
    if (Value > 0)
        fPixelsPerInch = Value;
}
