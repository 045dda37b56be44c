#include "grid/model/DrawCellInfo.h"

void TDrawCellInfo::Assign(const TDrawFormatInfo& Source)
{
    if (&Source == this)
        return;
    TDrawFormatInfo::Assign(Source);
    const auto* Info = dynamic_cast<const TDrawCellInfo*>(&Source);
    if (!Info)
        return;
    // The lock and the value origin belong to one request and are not copied.
    WideStrings.Clear();
    WideStrings.AddStrings(Info->WideStrings);
    FullText = Info->FullText;
    CellColor = Info->CellColor;
    State = Info->State;
    fCol = Info->fCol;
    fRow = Info->fRow;
    Cell = Info->Cell;
    ColHead = Info->ColHead;
    RowHead = Info->RowHead;
    CellFormat = Info->CellFormat;
    Precision = Info->Precision;
}
