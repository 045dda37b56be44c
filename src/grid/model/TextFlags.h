#pragma once

#include "grid/model/GridTypes.h"

// Text flags in the bit layout of the text-drawing routine, plus two bits of
// the grid's own.
namespace TextFlags {
constexpr quint32 tfHCenter = 0x1;
constexpr quint32 tfRight = 0x2;
constexpr quint32 tfVCenter = 0x4;
constexpr quint32 tfBottom = 0x8;
constexpr quint32 tfWordBreak = 0x10;
constexpr quint32 tfSingleLine = 0x20;
constexpr quint32 tfNoPrefix = 0x800;
constexpr quint32 tfShowPrefix = 0x10000000;
constexpr quint32 tfNoPrint = 0x20000000;

// Default of a new cell object.
constexpr quint32 tfObjectDefault = 0x800;
// Default of a data cell without any object.
constexpr quint32 tfDataDefault = 0x820;
// Default of a header cell without a head.
constexpr quint32 tfHeaderDefault = 0x29;
}

quint32 AlignmentToTextFlags(TTextAlignment Alignment);
TTextAlignment FlagsToAlignment(quint32 Flags);
