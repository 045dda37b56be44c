#pragma once

#include "grid/GridObject.h"

// Puts one state in or out of the grid's edit state for its lifetime, and
// gives the old state back however the scope is left.
class TEditStateScope {
public:
    TEditStateScope(TGridObject& Grid, TEditState State, bool On = true)
        : fGrid(Grid)
        , fSaved(Grid.EditState())
    {
        TEditStates S = fSaved;
        if (On)
            S.Include(State);
        else
            S.Exclude(State);
        Grid.SetEditState(S);
    }
    ~TEditStateScope() { fGrid.SetEditState(fSaved); }
    TEditStateScope(const TEditStateScope&) = delete;
    TEditStateScope& operator=(const TEditStateScope&) = delete;

private:
    TGridObject& fGrid;
    TEditStates fSaved;
};
