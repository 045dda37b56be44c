#pragma once

#include <cstdio>

struct TCommandLine;
class TJournal;

// The journal listed as text: the query as run, its parameters, the field labels and one line
// per record. Returns the exit code: 0, or 1 with the error's text on err.
int RunListCommand(const TCommandLine& options, std::FILE* out, std::FILE* err);

// Opens the journal named by the options and runs the query they describe (search, filter,
// sort, full table), as the main window would. Throws EDatabaseError.
void OpenJournalForOptions(const TCommandLine& options, TJournal& journal);
