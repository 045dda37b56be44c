#include "grid/model/GridTrace.h"

#include <cstdio>

namespace {

TGridTraceSink& Sink()
{
    static TGridTraceSink S;
    return S;
}

}

void SetGridTraceSink(TGridTraceSink S) { Sink() = std::move(S); }

void GridTrace(const QString& Text, int Level)
{
    if (Sink()) {
        Sink()(Text, Level);
        return;
    }
    if (Level <= 0)
        std::fprintf(stderr, "%s\n", Text.toUtf8().constData());
}
