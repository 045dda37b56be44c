#pragma once

#include "formula/FormulaEngine.h"

#include <QLocale>
#include <QString>

#include <ostream>

// The engine's start-up step, in the locale a test reads its formulas in.
inline void StartFormulaEngine(QLocale::Language Language = QLocale::English)
{
    InitFormulaEngine(
        QLocale(Language, Language == QLocale::Russian ? QLocale::Russia : QLocale::UnitedStates));
}

// Failure messages show texts as text.
inline void PrintTo(const QString& S, std::ostream* Out) { *Out << '"' << S.toStdString() << '"'; }
