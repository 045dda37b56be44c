#pragma once

#include <QColor>

class QPalette;

// Colours as the journal stores them: 0x00BBGGRR for an RGB colour, or
// 0xFF0000nn for the system colour with index nn (15 the button face, 5 the
// window), resolved through the desktop's palette.
class TSystemColors {
public:
    // The colour of a system colour index; an unknown index gives black.
    static QColor SystemColor(int Index);
    // The same from a given palette, such as a widget's.
    static QColor SystemColor(int Index, const QPalette& Palette);
    static QColor Resolve(quint32 Value);
    static bool IsSystem(quint32 Value) { return (Value >> 24) == 0xFF; }
};
