#pragma once

#include "grid/GridObject.h"

#include <memory>
#include <vector>

// The open editor's text laid out in client coordinates, without the text
// origin: the one description that caret placement and painting share.
struct TGridObject::TEditorLayout {
    std::unique_ptr<TDrawCellInfo> Cell = std::make_unique<TDrawCellInfo>();
    // The editor's box, grown to its text, and the text's box inside it.
    QRect Rect;
    QRect TextRect;
    int LineHeight = 13;
    // The flags each line is drawn with: one line, placed by Lefts.
    quint32 LineFlags = 0;
    std::vector<int> Tops;
    std::vector<int> Lefts;
    // Per line: the pen position after each character, from the line's left.
    std::vector<std::vector<int>> Edges;
    bool HasButton = false;
    QRect ButtonRect;

    int LineWidth(int Line) const { return Edges[size_t(Line)].back(); }
};
