#include "grid/model/DrawFormatInfo.h"

void TDrawFormatInfo::Assign(const TDrawFormatInfo& Source)
{
    if (&Source == this)
        return;
    BackColor = Source.BackColor;
    DropList = Source.DropList;
    Flags = Source.Flags;
    SetFont(Source.Font());
    Margin = Source.Margin;
}

bool TDrawFormatInfo::SameFormat(const TDrawFormatInfo* Other) const
{
    return Other && Margin == Other->Margin && Flags == Other->Flags
        && BackColor == Other->BackColor && DropList == Other->DropList
        && fFont == Other->fFont;
}
