#include "platform/db/ValueText.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

const QLocale ru(QLocale::Russian, QLocale::Russia);
const QLocale en(QLocale::English, QLocale::UnitedStates);

TEST(ValueText, NumberPictures)
{
    struct {
        double Value;
        const char* Picture;
        const QLocale& Locale;
        const char* Expected;
    } cases[] = {
        { 1.5, "0.0000", ru, "1,5000" },
        { 1.5, "0.0000", en, "1.5000" },
        { 0.00005, "0.0000", en, "0.0001" },
        { -2.25, "0.0000", ru, "-2,2500" },
        { -0.00001, "0.0000", en, "0.0000" },
        { 12345.678, "#,##0.00", en, "12,345.68" },
        { 0.5, "#.##", en, ".5" },
        { 7, "0", en, "7" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueText::FormatPicture(c.Value, c.Picture, c.Locale).toStdString(),
                  c.Expected)
            << c.Value << " by " << c.Picture;
}

TEST(ValueText, DisplayByType)
{
    EXPECT_EQ(ValueText::Display(1.5, ftFloat, "", ru), "1,5");
    EXPECT_EQ(ValueText::Display(1.5, ftFloat, "0.0000", ru), "1,5000");
    EXPECT_EQ(ValueText::Display(123456, ftInteger, "", ru), "123456");
    EXPECT_EQ(ValueText::Display(QVariant(), ftInteger, "", ru), "");
    EXPECT_EQ(ValueText::Display("2024-03-05", ftDate, "", ru), "05.03.2024");
    EXPECT_EQ(ValueText::Display("2024-03-05 00:00:00", ftDateTime, "", ru), "05.03.2024");
    EXPECT_EQ(ValueText::Display("2024-03-05 14:30:00", ftDateTime, "", ru), "05.03.2024 14:30");
    EXPECT_EQ(ValueText::Display(QDate(2024, 3, 5), ftDate, "", ru), "05.03.2024");
    EXPECT_EQ(ValueText::Display("не дата", ftDate, "", ru), "не дата");
    const QString longText(5000, u'ж');
    EXPECT_EQ(ValueText::Display(longText, ftMemo, "", ru), longText);
}

TEST(ValueText, ParsesWhatUsersType)
{
    const int century = QDate::currentDate().year() / 100 * 100;
    struct {
        const char* Text;
        TFieldType Type;
        QVariant Expected; // invalid: refused
    } cases[] = {
        { "12,5", ftFloat, 12.5 },
        { "12.5", ftFloat, 12.5 },
        { " 1 234,5 ", ftFloat, 1234.5 },
        { "abc", ftFloat, QVariant() },
        { "12", ftInteger, 12LL },
        { "12,5", ftInteger, QVariant() },
        { "05.03.2024", ftDate, QDate(2024, 3, 5) },
        { "5.3.2024", ftDate, QDate(2024, 3, 5) },
        { "5.3.24", ftDate, QDate(century + 24, 3, 5) },
        { "2024-03-05", ftDate, QDate(2024, 3, 5) },
        { "31.02.2024", ftDate, QVariant() },
        { "5.3.2024 14:30", ftDateTime, QDateTime(QDate(2024, 3, 5), QTime(14, 30)) },
        { "кровь", ftString, QString("кровь") },
    };
    for (const auto& c : cases) {
        QVariant out = QStringLiteral("untouched");
        QString error;
        const bool ok = ValueText::Parse(QString::fromUtf8(c.Text), c.Type, ru, &out, &error);
        if (!c.Expected.isValid()) {
            EXPECT_FALSE(ok) << c.Text;
            EXPECT_EQ(out, QStringLiteral("untouched")) << c.Text;
            EXPECT_FALSE(error.isEmpty()) << c.Text;
        } else {
            EXPECT_TRUE(ok) << c.Text << ": " << error.toStdString();
            EXPECT_EQ(out, c.Expected) << c.Text;
        }
    }
    QVariant out = 1;
    EXPECT_TRUE(ValueText::Parse("", ftFloat, ru, &out, nullptr));
    EXPECT_TRUE(out.isNull()) << "clearing a field stores null";
}

} // namespace
