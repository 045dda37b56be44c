#include "app/ProgramLocale.h"

#include <QDate>
#include <gtest/gtest.h>

TEST(ProgramLocale, AMachineWithoutALanguageGetsRussianAndAChosenLanguageIsKept)
{
    const struct {
        QLocale System;
        QLocale::Language Expected;
    } cases[] = {
        { QLocale::c(), QLocale::Russian },
        { QLocale(QStringLiteral("C")), QLocale::Russian },
        { QLocale(QStringLiteral("POSIX")), QLocale::Russian },
        { QLocale(QLocale::Russian, QLocale::Russia), QLocale::Russian },
        { QLocale(QLocale::English, QLocale::UnitedStates), QLocale::English },
        { QLocale(QLocale::German, QLocale::Germany), QLocale::German },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramLocale(c.System).language(), c.Expected) << c.System.name().toStdString();

    const QLocale russian = ProgramLocale(QLocale::c());
    EXPECT_EQ(russian.toString(QDate(2026, 3, 5), QLocale::ShortFormat), "05.03.2026");
    EXPECT_EQ(russian.toString(1.5, 'f', 4), "1,5000");
}
