#pragma once

#include "report/PageFont.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

class QPainter;
class QRectF;

enum TPageItemKind : std::uint8_t { pikLine, pikText };

struct TPagePen {
    int Width = 1; // page units; a line never replays thinner than one device pixel
    QRgb Color = 0xff000000;
    bool operator==(const TPagePen&) const = default;
};

// One drawing step of a page. A line runs from A to B with pen Style; a text is one line of
// text whose baseline starts at A, in font Style, cut to Clip when Clip is not empty.
struct TPageItem {
    TPageItemKind Kind = pikLine;
    int Style = 0; // index into the page's pens or fonts
    QPoint A;
    QPoint B;
    QRect Clip;
    QString Text;
};

// A finished page: a vector drawing in page units that replays scaled into any rectangle.
// Immutable once made, so any thread may replay, print or save it while others do the same.
class TRecordedPage {
public:
    QSize Size; // page units
    std::vector<TPageFont> Fonts;
    std::vector<TPagePen> Pens;
    std::vector<TPageItem> Items;

    // Draws the page stretched over target (in the painter's coordinates).
    void Replay(QPainter& painter, const QRectF& target) const;
    // The heap the page holds, for the memory figures of the benchmarks.
    size_t MemoryBytes() const;
};
