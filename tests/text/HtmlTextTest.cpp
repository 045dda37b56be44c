#include "text/HtmlText.h"

#include <gtest/gtest.h>

TEST(HtmlText, EscapesTheFourMarkupCharacters)
{
    EXPECT_EQ(EscapeHTML(QStringLiteral("a<b>&\"c'")), QStringLiteral("a&lt;b&gt;&amp;&quot;c'"));
    EXPECT_EQ(EscapeHTML(QStringLiteral("&amp;")), QStringLiteral("&amp;amp;"));
    EXPECT_EQ(EscapeHTML(QStringLiteral("Иванов")), QStringLiteral("Иванов"));
}

TEST(HtmlText, DecodesReferencesAndKeepsWhatIsNoReference)
{
    struct {
        const char16_t* Input;
        const char16_t* Expected;
    } const Cases[] = {
        { u"&#65;&#x41;&#X41;", u"AAA" },
        { u"&Agrave;&agrave;&yuml;&nbsp;", u"Ààÿ\u00A0" },
        { u"&amp;&lt;&gt;&quot;&apos;", u"&<>\"'" },
        { u"&amp;lt;", u"&lt;" },
        { u"&Alpha;&diams;&ndash;&euro;&OElig;&hellip;", u"\u0391\u2666\u2013\u20AC\u0152\u2026" },
        { u"&#x1F600;", u"\U0001F600" },
        { u"&#128512;", u"\U0001F600" },
        { u"&#1048;&#x432;", u"Ив" },
        { u"a & b", u"a & b" },
        { u"a &amp b", u"a &amp b" },
        { u"AT&T; x", u"AT&T; x" },
        { u"&unknown; &AMP;", u"&unknown; &AMP;" },
        { u"&#xZZ; &#; &#x;", u"&#xZZ; &#; &#x;" },
        { u"&#0; &#xD800; &#x110000; &#99999999999999999999;", u"\uFFFD \uFFFD \uFFFD \uFFFD" },
        { u"&&&amp;", u"&&&" },
        { u"trailing &", u"trailing &" },
        { u"", u"" },
    };
    for (const auto& C : Cases)
        EXPECT_EQ(DecodeHTML(QString::fromUtf16(C.Input)), QString::fromUtf16(C.Expected))
            << QString::fromUtf16(C.Input).toStdString();
}

TEST(HtmlText, EscapedTextDecodesBack)
{
    const QString S = QStringLiteral("<a href=\"x\">Ёж & ёлка</a>");
    EXPECT_EQ(DecodeHTML(EscapeHTML(S)), S);
}

TEST(HtmlText, NamesTheSystemColoursAndWritesOthersInHex)
{
    struct {
        quint32 Color; // 0x00BBGGRR
        const char* Expected;
    } const Cases[] = {
        { 0x000000, "black" },
        { 0xFFFFFF, "white" },
        { 0x000080, "maroon" },
        { 0x800000, "navy" },
        { 0x0000FF, "red" },
        { 0xFF0000, "blue" },
        { 0xEBCE87, "skyblue" },
        { 0xFFFBF0, "cream" },
        { 0xC0DCC0, "moneygreen" },
        { 0xF0F0F0, "#F0F0F0" },
        { 0x563412, "#123456" },
        { 0x0A0B0C, "#0C0B0A" },
    };
    for (const auto& C : Cases)
        EXPECT_EQ(HTMLColor(C.Color), QLatin1String(C.Expected)) << C.Expected;
}
