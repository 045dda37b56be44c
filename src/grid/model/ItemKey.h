#pragma once

#include <QtGlobal>

// What an ordered list searches by, copied out of its items so that a search
// reads contiguous memory instead of visiting every item it compares: the
// item's number, and for cells the first row and column of the region folded
// into one value that orders by row, then column.
struct TItemKey {
    qint64 Number = -1;
    qint64 Position = 0;

    static constexpr qint64 PositionOf(qint32 Col, qint32 Row)
    {
        return qint64(Row) * (qint64(1) << 32) + (qint64(Col) - qint64(INT32_MIN));
    }
    constexpr bool operator==(const TItemKey&) const = default;
};
