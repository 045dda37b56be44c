#pragma once

#include "grid/model/EnumSet.h"

// The modifier keys and buttons delivered with pointer and key input.
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TEnumSet<TShiftStateFlag, quint8>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// The pointer shapes the grid asks its window for: the platform's own below
// 100, the grid's seven pictures from 100 on.
enum TGridPointer {
    gpDefault = 0,
    gpHandPoint,
    gpDrag,
    gpMultiDrag,
    gpIBeam,
    gpHorzSplit,
    gpVertSplit,
    gpExcelCross = 100,
    gpArrowDown,
    gpArrowRight,
    gpRowSizing,
    gpColSizing,
    gpCopyStretch,
    gpCopyDrag
};
