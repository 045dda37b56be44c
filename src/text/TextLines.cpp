#include "text/TextLines.h"

std::vector<QString> SplitLines(const QString& Text)
{
    std::vector<QString> Lines;
    qsizetype Start = 0;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        if (Text[I] != u'\r' && Text[I] != u'\n')
            continue;
        Lines.push_back(Text.mid(Start, I - Start));
        if (Text[I] == u'\r' && I + 1 < Text.size() && Text[I + 1] == u'\n')
            ++I;
        Start = I + 1;
    }
    Lines.push_back(Text.mid(Start));
    return Lines;
}
