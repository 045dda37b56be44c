#pragma once

#include <cstdio>

struct TCommandLine;

// The journal listed as text: the query as run, its parameters, the field labels and one line
// per record. Returns the exit code: 0, or 1 with the error's text on err.
int RunListCommand(const TCommandLine& options, std::FILE* out, std::FILE* err);
