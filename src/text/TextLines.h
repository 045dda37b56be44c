#pragma once

#include <QString>

#include <vector>

// The lines of a text broken at CR LF, a lone CR or a lone LF; what follows
// the last break is a line too, so an empty text is one empty line.
std::vector<QString> SplitLines(const QString& Text);
