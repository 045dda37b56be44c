#pragma once

#include "grid/GridShiftState.h"

// Keys as the grid reads them: the codes of the key table, which are the
// virtual-key numbers the grid's commands were first written against. The
// window translates its toolkit's keys into these.
namespace GridKey {
constexpr int vkBack = 8;
constexpr int vkTab = 9;
constexpr int vkReturn = 13;
constexpr int vkEscape = 27;
constexpr int vkSpace = 32;
constexpr int vkPrior = 33;
constexpr int vkNext = 34;
constexpr int vkEnd = 35;
constexpr int vkHome = 36;
constexpr int vkLeft = 37;
constexpr int vkUp = 38;
constexpr int vkRight = 39;
constexpr int vkDown = 40;
constexpr int vkInsert = 45;
constexpr int vkDelete = 46;
constexpr int vkA = 65;
constexpr int vkC = 67;
constexpr int vkV = 86;
constexpr int vkX = 88;
constexpr int vkZ = 90;
constexpr int vkF2 = 113;
// The input method is composing: the editor opens empty for its result.
constexpr int vkProcessKey = 229;
// Taken by someone before the grid: consumed, nothing to do.
constexpr int vkConsumed = 65535;
}
