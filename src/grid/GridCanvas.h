#pragma once

#include <QSize>
#include <QString>

class TGridFont;

// The drawing surface the grid measures and paints on; the window layer
// implements it over its real canvas.
class IGridCanvas {
public:
    virtual ~IGridCanvas() = default;
    // The size of Text drawn with Font and the given text flags; a text with
    // line breaks measures as its widest line and all lines' height.
    virtual QSize TextExtent(const TGridFont& Font, const QString& Text, quint32 Flags) = 0;
};
