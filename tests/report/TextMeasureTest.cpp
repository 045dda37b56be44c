#include "report/TextMeasure.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList Wrapped(const TFontMeasure& m, const QString& text, qreal width)
{
    QStringList out;
    for (const TTextLine& l : WrapText(m, text, width))
        out << text.mid(l.Start, l.Length);
    return out;
}

TEST(TextMeasureTest, WrapsLikeAMultiLineEditBox)
{
    TPageFont font;
    font.Family = "DejaVu Sans";
    font.Height = 100;
    const TFontMeasure m(font);
    const qreal word = m.Width(u"слово");
    const qreal blank = m.Width(u" ");
    ASSERT_GT(word, 0);

    struct Case {
        const char* name;
        QString text;
        qreal width;
        QStringList lines;
    };
    const Case cases[] = {
        { "empty text has no lines", "", 1000, {} },
        { "fits on one line", "слово слово", 2 * word + blank + 1, { "слово слово" } },
        { "breaks after the blank", "слово слово", 2 * word, { "слово", "слово" } },
        { "blanks hang at the break", "слово   слово", word + blank, { "слово", "слово" } },
        { "line breaks always break", "a\nb\r\nc\rd", 10000, { "a", "b", "c", "d" } },
        { "empty line kept inside", "a\n\nb", 10000, { "a", "", "b" } },
        { "trailing break adds nothing", "a\n", 10000, { "a" } },
        { "over-long word broken inside", "слово", word * 0.5, {} },
        { "a line takes at least one character", "Ж", 1, { "Ж" } },
    };
    for (const Case& c : cases) {
        const QStringList got = Wrapped(m, c.text, c.width);
        if (QString(c.name) == "over-long word broken inside") {
            EXPECT_GE(got.size(), 2) << c.name;
            EXPECT_EQ(got.join(QString()), c.text) << c.name;
            for (const QString& line : got)
                EXPECT_LE(m.Width(line), c.width) << c.name;
        } else {
            EXPECT_EQ(got, c.lines) << c.name << ": " << got.join('|').toStdString();
        }
    }
}

TEST(TextMeasureTest, WidthIsTheSumOfCharacterAdvances)
{
    TPageFont font;
    font.Family = "Arial";
    font.Height = 100;
    const TFontMeasure m(font);
    EXPECT_DOUBLE_EQ(m.Width(u"AVAV"), 2 * m.Width(u"A") + 2 * m.Width(u"V"));
    EXPECT_GT(m.LineHeight(), 100);
    EXPECT_LT(m.LineHeight(), 130);
    const QString elided = ElideText(m, QString("Концентрация в крови"), m.Width(u"Концентр..."));
    EXPECT_TRUE(elided.endsWith("...")) << elided.toStdString();
    EXPECT_LE(m.Width(elided), m.Width(u"Концентр..."));
    EXPECT_EQ(ElideText(m, QString("кровь"), 10000), "кровь");
}

} // namespace
