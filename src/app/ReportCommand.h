#pragma once

#include <cstdio>

struct TCommandLine;

// The journal report of the query the options describe, written as a PDF file (--report)
// and/or one EMF file per page (--report-emf). Needs a GUI application object but no
// display. Returns the exit code: 0, or 1 with the error's text on err.
int RunReportCommand(const TCommandLine& options, std::FILE* err);

// The whole program run for a report command: a headless GUI application, the options,
// a demo journal if asked for, and the report. Returns the exit code.
int RunReportProgram(int argc, char* argv[]);
