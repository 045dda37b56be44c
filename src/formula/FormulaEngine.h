#pragma once

class QLocale;

// The formula engine's start-up step, before any formula exists: creates the
// process's one function registry, registers the standard entries and fixes
// the formula separators from the locale. Later calls only fix the
// separators again.
void InitFormulaEngine(const QLocale& Locale);
