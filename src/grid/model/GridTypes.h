#pragma once

#include "grid/model/EnumSet.h"

// The situation in which a cell is asked for.
enum TCellState { csFixed, csFocused, csSelected, csEditor, csReadOnly };
using TCellStates = TEnumSet<TCellState>;

enum TCellFormat { cfmtDefault, cfmtNumeric, cfmtBoolean, cfmtDate, cfmtTime };

enum TAlignmentFlags {
    afTop,
    afLeft,
    afHCenter,
    afRight,
    afVCenter,
    afBottom,
    afWordBreak,
    afSingleLine,
    afExpandTabs,
    afTabStop,
    afNoClip,
    afExternalLeading,
    afCalcRect,
    afNoPrefix,
    afInternal,
    afHidePrefix,
    afPrefixOnly,
    afEditControl,
    afPathEllipsis,
    afEndEllipsis,
    afModifyString,
    afRTLReading,
    afWordEllipsis,
    afVHCenter,
    afShowPrefix,
    afNoPrint
};
using TTextAlignment = TEnumSet<TAlignmentFlags>;

enum TOperationState { osUnknown, osExecuting, osCalculated, osAborted };

// What the grid is doing with cell texts right now; formula cells answer
// differently while regions are copied or dragged.
enum TEditState {
    esSelectRange,
    esChangeText,
    esCopyText,
    esPasteText,
    esCopyRegion,
    esPasteRegion,
    esDragRegion,
    esUndo
};
using TEditStates = TEnumSet<TEditState>;
