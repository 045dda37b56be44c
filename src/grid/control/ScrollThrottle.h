#pragma once

#include <QtGlobal>

#include <functional>

// Thins out the thumb-track notifications of a fast drag: a track within
// 20 ms of the last one passed on, away from both ends and 10 or more units
// from the last position seen, is dropped, so that a drag over a million rows
// does not repaint for every pixel. The state is shared by every grid of the
// process, as the drag is one at a time.
class TScrollThrottle {
public:
    static constexpr qint64 Window = 20;
    static constexpr int Jump = 10;

    // Whether a thumb-track to Pos on a bar with maximum Max is passed on.
    // Other notifications always pass; every one is remembered as the last
    // position seen.
    static bool Pass(bool IsTrack, int Pos, int Max);
    // Milliseconds of a steady clock; tests set their own.
    static void SetClock(std::function<qint64()> Clock);
    static void Reset();
};
