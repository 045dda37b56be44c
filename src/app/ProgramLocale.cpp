#include "app/ProgramLocale.h"

QLocale ProgramLocale(const QLocale& system)
{
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

void ChooseProgramLocale() { QLocale::setDefault(ProgramLocale(QLocale::system())); }
