#pragma once

#include <QPoint>
#include <QRect>

#include <algorithm>

// A cell position, zero-based.
struct TGridCell {
    qint32 Col = 0;
    qint32 Row = 0;

    constexpr bool operator==(const TGridCell&) const = default;
    QPoint Coord() const { return QPoint(Col, Row); }
};

// A rectangle of cells, inclusive indices.
struct TGridRegion {
    qint32 FirstCol = 0;
    qint32 FirstRow = 0;
    qint32 LastCol = 0;
    qint32 LastRow = 0;

    static constexpr TGridRegion Of(TGridCell First, TGridCell Last)
    {
        return { First.Col, First.Row, Last.Col, Last.Row };
    }
    static constexpr TGridRegion Cell(qint32 Col, qint32 Row) { return { Col, Row, Col, Row }; }

    constexpr bool operator==(const TGridRegion&) const = default;
    constexpr qint32 Left() const { return FirstCol; }
    constexpr qint32 Top() const { return FirstRow; }
    constexpr qint32 Right() const { return LastCol; }
    constexpr qint32 Bottom() const { return LastRow; }
    constexpr TGridCell First() const { return { FirstCol, FirstRow }; }
    constexpr TGridCell Last() const { return { LastCol, LastRow }; }
    constexpr bool IsNormal() const { return FirstCol <= LastCol && FirstRow <= LastRow; }
    constexpr bool Contains(qint32 Col, qint32 Row) const
    {
        return Col >= FirstCol && Col <= LastCol && Row >= FirstRow && Row <= LastRow;
    }
    constexpr bool Contains(TGridCell C) const { return Contains(C.Col, C.Row); }
    constexpr TGridRegion Normalized() const
    {
        return { std::min(FirstCol, LastCol), std::min(FirstRow, LastRow),
            std::max(FirstCol, LastCol), std::max(FirstRow, LastRow) };
    }
};

// A caret position in multi-line text.
struct TCharPos {
    qint32 Line = 0;
    qint32 Char = 0;
    constexpr bool operator==(const TCharPos&) const = default;
};

// Text margins: left, top, right and bottom in pixels.
struct TTextMargin {
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Right = 0;
    qint32 Bottom = 0;
    constexpr bool operator==(const TTextMargin&) const = default;
};
