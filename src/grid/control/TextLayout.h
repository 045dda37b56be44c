#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QString>

#include <vector>

// One run of text at its place: a line, or the piece of a line between tab
// stops.
struct TTextRun {
    QString Text;
    int X = 0;
    int Y = 0; // top of the line box
    int Width = 0;
    // The character drawn underlined by prefix processing, or -1.
    int Underline = -1;
};

struct TTextLayout {
    std::vector<TTextRun> Runs;
    // The box the text takes, and the height the drawing routine answers.
    QRect Bounds;
    int Height = 0;
};

// Lays Text out in Rect by the grid's text flags: the one place where what is
// measured and what is drawn is decided, so the two never disagree.
TTextLayout LayoutText(const QFontMetrics& Metrics, const QString& Text, const QRect& Rect,
    quint32 Flags, int AverageCharWidth);
