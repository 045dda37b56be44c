#include "grid/control/ScrollThrottle.h"

#include <QElapsedTimer>

#include <cstdlib>

namespace {

struct TThrottleState {
    std::function<qint64()> Clock;
    qint64 LastTick = -1000000;
    int LastPos = 0;
};

TThrottleState& State()
{
    static TThrottleState S;
    return S;
}

qint64 Now()
{
    TThrottleState& S = State();
    if (S.Clock)
        return S.Clock();
    static QElapsedTimer Timer;
    if (!Timer.isValid())
        Timer.start();
    return Timer.elapsed();
}

}

bool TScrollThrottle::Pass(bool IsTrack, int Pos, int Max)
{
    TThrottleState& S = State();
    bool Result = true;
    if (IsTrack) {
        const qint64 T = Now();
        const bool Dropped = T - S.LastTick < Window && Pos != 0 && Pos != Max
            && std::abs(qint64(Pos) - S.LastPos) >= Jump;
        if (!Dropped)
            S.LastTick = T;
        Result = !Dropped;
    }
    S.LastPos = Pos;
    return Result;
}

void TScrollThrottle::SetClock(std::function<qint64()> Clock) { State().Clock = std::move(Clock); }

void TScrollThrottle::Reset()
{
    State().LastTick = -1000000;
    State().LastPos = 0;
}
