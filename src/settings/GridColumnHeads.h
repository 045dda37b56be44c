#pragma once

#include <cstdint>

// What the column layout store needs of one column head of a grid control.
struct TColumnHeadState {
    int32_t Size = 0;
    bool Visible = true;
    // The head's permanent identifier within its collection.
    int32_t ID = 0;
    // The head's number (its column index).
    int32_t Cell = -1;
};

// Offered by a grid control (a QWidget that also derives from this interface) so that the
// column layouts of every grid on a window can be stored and restored by walking the
// window's children. The store finds grids with dynamic_cast and names their values after
// the window's and the grid's object names.
class IGridColumnHeads {
public:
    virtual ~IGridColumnHeads() = default;

    // A grid with a negative tag is not stored itself; its children are walked instead.
    virtual int Tag() const = 0;

    virtual int ColumnHeadCount() const = 0;
    virtual TColumnHeadState ColumnHead(int index) const = 0;
    // Gives the head with state.ID the size, visibility and number of state; false when no
    // head has that identifier. Changing the number may move the head and renumber others.
    virtual bool SetColumnHead(const TColumnHeadState& state) = 0;

    // Brackets a series of SetColumnHead calls so that the grid lays out and repaints once.
    virtual void BeginColumnHeadsUpdate() = 0;
    virtual void EndColumnHeadsUpdate() = 0;
};
