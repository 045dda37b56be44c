#pragma once

#include <QCursor>

// The grid's seven pointer shapes, by the numbers the grid chooses them by.
enum TGridCursor {
    gcrExcelCross = 100,
    gcrArrowDown,
    gcrArrowRight,
    gcrRowSizing,
    gcrColSizing,
    gcrCopyStretch,
    gcrCopyDrag
};

// The shape with that number; the arrow for a number without a picture or
// a picture that cannot be loaded.
QCursor GridCursor(int Number);
// Whether the picture of that number loaded.
bool GridCursorLoaded(int Number);
