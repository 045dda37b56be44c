#include "grid/model/TextFlags.h"

#include <utility>

namespace {

// afTop and afLeft have no bit: they are the absence of the others.
constexpr std::pair<TAlignmentFlags, quint32> FlagBits[] = {
    { afHCenter, 0x1 },
    { afRight, 0x2 },
    { afVCenter, 0x4 },
    { afBottom, 0x8 },
    { afWordBreak, 0x10 },
    { afSingleLine, 0x20 },
    { afExpandTabs, 0x40 },
    { afTabStop, 0x80 },
    { afNoClip, 0x100 },
    { afExternalLeading, 0x200 },
    { afCalcRect, 0x400 },
    { afNoPrefix, 0x800 },
    { afInternal, 0x1000 },
    { afHidePrefix, 0x100000 },
    { afPrefixOnly, 0x200000 },
    { afEditControl, 0x2000 },
    { afPathEllipsis, 0x4000 },
    { afEndEllipsis, 0x8000 },
    { afModifyString, 0x10000 },
    { afRTLReading, 0x20000 },
    { afWordEllipsis, 0x40000 },
    { afVHCenter, 0x5 },
    { afShowPrefix, 0x10000000 },
    { afNoPrint, 0x20000000 },
};

}

quint32 AlignmentToTextFlags(TTextAlignment Alignment)
{
    quint32 Flags = 0;
    for (const auto& [Flag, Bits] : FlagBits)
        if (Alignment.Contains(Flag))
            Flags |= Bits;
    return Flags;
}

TTextAlignment FlagsToAlignment(quint32 Flags)
{
    TTextAlignment Result;
    for (const auto& [Flag, Bits] : FlagBits)
        if (Flag != afVHCenter && (Flags & Bits) == Bits)
            Result.Include(Flag);
    if ((Flags & (0x1 | 0x2 | 0x4)) == 0)
        Result.Include(afTop);
    if ((Flags & (0x4 | 0x8 | 0x1)) == 0)
        Result.Include(afLeft);
    if (Flags & (0x1 | 0x4))
        Result.Include(afVHCenter);
    return Result;
}
