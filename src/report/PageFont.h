#pragma once

#include <QRgb>
#include <QString>

class QFont;

// A font as a recorded page keeps it: the face, the em height in page units (so that the
// page replays at any scale), the style and the colour.
struct TPageFont {
    QString Family = QStringLiteral("DejaVu Sans");
    int Height = 200; // em height in page units; 12 points at 1200 units per inch
    bool Bold = false;
    bool Italic = false;
    QRgb Color = 0xff000000;

    bool operator==(const TPageFont&) const = default;

    // The font to draw or measure with. Hinting and kerning are off, so the advance of a
    // text is the sum of its characters' advances at every scale and on every device, which
    // keeps the recorded line breaks valid wherever the page is replayed.
    QFont ToQFont() const;

    // Font sizes in points map onto page units through the page's units per inch,
    // truncated: 6 points are 100 units, 12 points 200.
    static int HeightOfPoints(double points, int unitsPerInch = 1200)
    {
        return int(points * unitsPerInch / 72.0);
    }
};
