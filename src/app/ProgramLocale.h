#pragma once

#include <QLocale>

// The locale the program works in, given the system's. The program is Russian: a machine
// set up without a language (the C or POSIX locale, as a fresh installation has) still gets
// Russian dates, numbers and toolkit dialogs; a language the user chose is kept.
QLocale ProgramLocale(const QLocale& system);

// Makes ProgramLocale(QLocale::system()) the default of the whole process; called first
// thing at start, before any text is read or shown.
void ChooseProgramLocale();
