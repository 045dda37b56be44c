#pragma once

#include "messages/Trace.h"

#include <QString>

// Writes a line of the formula engine to the program's trace. The text is
// built only when the level is written, so the detail lines of every token
// cost nothing in a normal run.
template <class TText> void FormulaTrace(int Level, TText&& Text)
{
    if (Level <= TRACE_THRESHOLD)
        TraceText(Text(), Level);
}

// A formula as a trace line quotes it: a pasted formula of megabytes would
// bury the line's message, so long ones are cut.
QString TracedFormula(const QString& Formula);
