#pragma once

#include "grid/GridKeys.h"

#include <Qt>

class QKeyEvent;

// Qt's keys in the grid's key codes. Letters keep their place on the
// keyboard, so that Ctrl+C copies on a Cyrillic layout too.
int GridKeyOf(int QtKey, quint32 NativeVirtualKey = 0);
int GridKeyOf(const QKeyEvent& Event);
TShiftState GridShiftOf(Qt::KeyboardModifiers Modifiers);
