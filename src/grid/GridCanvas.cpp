#include "grid/GridCanvas.h"

#include <algorithm>

// Measures character by character, which is exact for a canvas whose text
// has no kerning; painting canvases measure runs as they draw them.
std::vector<int> IGridCanvas::CharEdges(const TGridFont& Font, const QString& Line, quint32 Flags)
{
    std::vector<int> Edges;
    Edges.reserve(size_t(Line.size()) + 1);
    Edges.push_back(0);
    const bool Tabs = Flags & CanvasText::tfExpandTabs;
    const int TabStop = std::max(1, 8 * AverageCharWidth());
    int X = 0;
    for (QChar C : Line) {
        if (C == u'\t' && Tabs)
            X = (X / TabStop + 1) * TabStop;
        else
            X += TextExtent(Font, QString(C), Flags).width();
        Edges.push_back(X);
    }
    return Edges;
}
