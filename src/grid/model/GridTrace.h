#pragma once

#include <QString>

#include <functional>

// The grid's way into the program's diagnostic trace. The program installs a
// sink that forwards to its trace; without one, error and plain lines go to
// standard error so that nothing the grid reports is lost.
using TGridTraceSink = std::function<void(const QString& Text, int Level)>;

void SetGridTraceSink(TGridTraceSink Sink);
void GridTrace(const QString& Text, int Level);

constexpr int tlError = -1;
constexpr int tlState = 6;
