// libFuzzer target for the formula engine: any text, in either locale, parses and calculates
// without a crash, a hang or a read past the text, and gives a value text. Built and run by
// scripts/fuzz-formula.sh.
#include "formula/TestGrid.h"

#include "formula/FormulaEngine.h"
#include "formula/Function.h"

#include <QLocale>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the locale and how the rest is read: as Latin-1 text, where
    // formulas are easy to reach, or as raw UTF-16 code units, lone surrogates included.
    const bool russian = data[0] & 1;
    const bool wide = data[0] & 2;
    static bool started = false;
    static bool wasRussian = false;
    if (!started || wasRussian != russian) {
        InitFormulaEngine(russian ? QLocale(QLocale::Russian, QLocale::Russia)
                                  : QLocale(QLocale::English, QLocale::UnitedStates));
        started = true;
        wasRussian = russian;
    }
    const char* text = reinterpret_cast<const char*>(data) + 1;
    const qsizetype length = qsizetype(size - 1);
    const QString formula = wide ? QString(reinterpret_cast<const QChar*>(text), length / 2)
                                 : QString::fromLatin1(text, length);

    static TTestGrid grid(30, 60);
    static bool filled = false;
    if (!filled) {
        for (qint32 row = 1; row < 60; ++row)
            for (qint32 col = 1; col < 30; ++col)
                grid.Set(col, row,
                    (row + col) % 7 == 0 ? QStringLiteral("x") : QString::number(row * col - 40));
        filled = true;
    }
    TFunction root(&grid, TGridRegion::Cell(3, 5));
    root.SetFormula(formula);
    root.Calculate();
    const QString value = root.Value().ValueText();
    if (root.Value().Kind() != vkText)
        abort();
    // The relative form keeps everything after the last reference.
    if (!root.RCFormulaInfo().startsWith(QStringLiteral("<Format>")))
        abort();
    for (qint32 p = 1; p <= qint32(formula.size()) && p < 64; ++p) {
        const TToken* t = root.FindToken(p);
        if (t && (t->Position() > p || t->Position() + t->Length() <= p))
            abort();
    }
    (void)value;
    return 0;
}
