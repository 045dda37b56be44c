#include "text/HtmlGridParser.h"
#include "text/TabGridParser.h"

#include <gtest/gtest.h>

namespace {

// "col,row=text" for every delivered cell, CR and LF shown as \r and \n.
QStringList Cells(TCustomGridParser& P, const QByteArray& Data, qint32 Col = 1, qint32 Row = 1)
{
    QStringList Log;
    P.OnCell = [&](qint32 C, qint32 R, const QByteArray& S) {
        QString T = QString::fromUtf8(S);
        T.replace(u'\r', QLatin1String("\\r")).replace(u'\n', QLatin1String("\\n"));
        Log << QStringLiteral("%1,%2=%3").arg(C).arg(R).arg(T);
    };
    P.Parse(Data, Col, Row);
    return Log;
}

QStringList TabCells(const QByteArray& Data)
{
    TTabGridParser P('\t');
    return Cells(P, Data);
}

QStringList HtmlCells(const QByteArray& Data, bool Values = false)
{
    THTMLGridParser P(true, Values);
    return Cells(P, Data);
}

}

TEST(TabGridParser, SplitsLinesAndFields)
{
    struct {
        const char* Name;
        QByteArray Input;
        QStringList Expected;
    } const Cases[] = {
        { "CR LF", "a\tb\r\nc\td\r\n", { "1,1=a", "2,1=b", "1,2=c", "2,2=d" } },
        { "LF, no final break", "a\tb\nc\td", { "1,1=a", "2,1=b", "1,2=c", "2,2=d" } },
        { "lone CR", "a\rb", { "1,1=a", "1,2=b" } },
        { "empty field", "a\t\tb", { "1,1=a", "2,1=", "3,1=b" } },
        { "separator at the end", "a\t", { "1,1=a" } },
        { "leading separator", "\tb", { "1,1=", "2,1=b" } },
        { "empty line in the middle is an empty row", "a\n\nc\n", { "1,1=a", "1,3=c" } },
        { "empty line as CR LF", "a\r\n\r\nc", { "1,1=a", "1,3=c" } },
        { "zero byte ends the data", QByteArray("a\nb\0c", 5), { "1,1=a", "1,2=b" } },
        { "empty", "", {} },
        { "only a line break", "\r\n", {} },
        { "Cyrillic", "Иванов\t17,5\r\n", { "1,1=Иванов", "2,1=17,5" } },
        { "quoted line break", "\"моча\nкровь\"\tx\r\ny", { "1,1=моча\\nкровь", "2,1=x", "1,2=y" } },
        { "quoted separator and doubled quotes", "\"a\tb\"\t\"say \"\"hi\"\"\"",
            { "1,1=a\tb", "2,1=say \"hi\"" } },
        { "quoted empty field", "\"\"\tb", { "1,1=", "2,1=b" } },
        { "text after the closing quote", "\"a\"b\tc", { "1,1=ab", "2,1=c" } },
        { "a quote inside a field is text", "5\" ruler\tc", { "1,1=5\" ruler", "2,1=c" } },
        { "a quote nothing closes is text", "\"a\tb\nc", { "1,1=\"a", "2,1=b", "1,2=c" } },
    };
    for (const auto& C : Cases)
        EXPECT_EQ(TabCells(C.Input), C.Expected) << C.Name;
}

TEST(TabGridParser, StopsDeliveringAtItsLimits)
{
    TTabGridParser P('\t');
    P.SetLimits(2, 1);
    EXPECT_EQ(Cells(P, "a\tb\tc\nd"), (QStringList { "1,1=a", "2,1=b" }));
    EXPECT_EQ(P.CellCount(), 4);
}

TEST(HtmlGridParser, ReadsRowsAndCells)
{
    struct {
        const char* Name;
        QByteArray Input;
        QStringList Expected;
    } const Cases[] = {
        { "plain", "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table>",
            { "1,1=a", "2,1=b", "1,2=c", "2,2=d" } },
        { "optional end tags", "<table><tr><td>a<td>b<tr><td>c<td>d</table>",
            { "1,1=a", "2,1=b", "1,2=c", "2,2=d" } },
        { "header cells are cells", "<tr><th>Name<th>Age</tr><tr><td>x<td>1</tr>",
            { "1,1=Name", "2,1=Age", "1,2=x", "2,2=1" } },
        { "no table tag", "<tr><td>a</td></tr>", { "1,1=a" } },
        { "cells without rows", "<td>a</td><td>b</td>", { "1,1=a", "2,1=b" } },
        { "cut short", "<table><tr><td>a<td>b", { "1,1=a", "2,1=b" } },
        { "stray end tags", "</td></tr><tr><td>a</td></td></tr></tr><tr><td>b",
            { "1,1=a", "1,2=b" } },
        { "text outside cells", "x<table>y<tr>z<td>a</td>w</tr></table>v", { "1,1=a" } },
        { "br in a cell", "<td>a<br>b<br/>c</td>", { "1,1=a\\r\\nb\\r\\nc" } },
        { "whitespace as shown", "<td>\r\n  17.12 \r\n</td><td> a \n b </td>",
            { "1,1=17.12", "2,1=a b" } },
        { "spaces around a break", "<td>a <br> b</td>", { "1,1=a\\r\\nb" } },
        { "non-breaking space stays", "<td>&nbsp;a\xC2\xA0</td>", { "1,1=&nbsp;a\xC2\xA0" } },
        { "inline markup", "<td><b>a</b> <i>b</i>c</td>", { "1,1=a bc" } },
        { "paragraphs", "<td><p>a</p>\n<p>b</p></td>", { "1,1=a\\r\\nb" } },
        { "references stay encoded", "<td>a &amp; b</td>", { "1,1=a &amp; b" } },
        { "comments skipped", "<td>a<!-- <td>x</td> -->b</td>", { "1,1=ab" } },
        { "style text skipped", "<style>td { x }</style><td><style>p{}</style>a</td>",
            { "1,1=a" } },
        { "colspan", "<tr><td colspan=3>a</td><td>b</td></tr><tr><td>c<td><td><td>d</tr>",
            { "1,1=a", "4,1=b", "1,2=c", "2,2=", "3,2=", "4,2=d" } },
        { "rowspan", "<tr><td rowspan=2>a<td>b<td>c<tr><td>d<td>e<tr><td>f",
            { "1,1=a", "2,1=b", "3,1=c", "2,2=d", "3,2=e", "1,3=f" } },
        { "both spans", "<tr><td colspan=2 rowspan=2>a<td>b<tr><td>c<tr><td>d<td>e<td>f",
            { "1,1=a", "3,1=b", "3,2=c", "1,3=d", "2,3=e", "3,3=f" } },
        { "bad spans are one", "<td colspan=x rowspan=-2>a<td colspan=0>b", { "1,1=a", "2,1=b" } },
        { "nested table is text of its cell",
            "<table><tr><td>a<table><tr><td>x</td><td>y</td></tr><tr><td>z</td></tr></table>"
            "</td><td>b</td></tr></table>",
            { "1,1=a\\r\\nx y\\r\\nz", "2,1=b" } },
        { "formula", "<td x:fmla=\"=A1+1\">2</td><td>3</td>", { "1,1==A1+1", "2,1=3" } },
        { "not a table", "<p>Just a <b>paragraph</b>.</p><img src=x>", {} },
        { "empty", "", {} },
    };
    for (const auto& C : Cases)
        EXPECT_EQ(HtmlCells(C.Input), C.Expected) << C.Name;
}

TEST(HtmlGridParser, FormulaGivesItsValueWhenValuesAreAsked)
{
    const QByteArray H = "<tr><td x:fmla=\"=A1+1\">2</td><td>3</td></tr><tr><td>4</td></tr>";
    EXPECT_EQ(HtmlCells(H, true), (QStringList { "1,1=2", "2,1=3", "1,2=4" }));
    EXPECT_EQ(HtmlCells(H, false), (QStringList { "1,1==A1+1", "2,1=3", "1,2=4" }));
}

TEST(HtmlGridParser, ReadsTheFragmentTheHeaderNames)
{
    // 105 bytes of header and prologue, the fragment, and a table after it
    // that is not part of the copy.
    QByteArray Head = "Version:0.9\r\nStartHTML:0000000000\r\nEndHTML:0000000000\r\n"
                      "StartFragment:0000000105\r\nEndFragment:0000000300\r\n";
    Head += QByteArray(105 - Head.size(), ' ');
    QByteArray Fragment = "<table><tr><td>in</td></tr></table>";
    Fragment += QByteArray(195 - Fragment.size(), ' ');
    const QByteArray Data = Head + Fragment + "<table><tr><td>out</td></tr></table>";
    THTMLGridParser P(true, false);
    EXPECT_EQ(Cells(P, Data), QStringList { "1,1=in" });
    EXPECT_EQ(P.StartFragment(), 105);
    EXPECT_EQ(P.EndFragment(), 300);
}

TEST(HtmlGridParser, SurvivesOffsetsThatAreWrong)
{
    const QByteArray Table = "<table><tr><td>Иванов</td><td>5</td></tr></table>";
    const QStringList Expected { "1,1=Иванов", "2,1=5" };
    struct {
        const char* Name;
        QByteArray Header;
    } const Cases[] = {
        { "past the data", "StartFragment:000099999\r\nEndFragment:000199999\r\n" },
        { "end before start", "StartFragment:000000090\r\nEndFragment:000000010\r\n" },
        { "negative", "StartFragment:-5\r\nEndFragment:-1\r\n" },
        { "not numbers", "StartFragment:abc\r\nEndFragment:\r\n" },
        { "end past the data", "StartFragment:000000000\r\nEndFragment:999999999\r\n" },
        { "only a start", "StartFragment:000000000\r\n" },
        { "cuts the table away", "StartFragment:000000050\r\nEndFragment:000000060\r\n" },
    };
    for (const auto& C : Cases) {
        const QByteArray Data = "Version:0.9\r\n" + C.Header + Table;
        EXPECT_EQ(HtmlCells(Data), Expected) << C.Name;
    }
}

TEST(HtmlGridParser, MarkersWinOverOffsetsCountedInCharacters)
{
    // The offsets count the Cyrillic letters of the prologue as one byte
    // each, so they point into the middle of the fragment.
    const QByteArray Prologue = "<html><body><p>Журнал</p><table>";
    const QByteArray Fragment = "<tr><td>a</td><td>б</td></tr>";
    const QByteArray Body = Prologue + "<!--StartFragment-->" + Fragment + "<!--EndFragment-->"
        + "</table></body></html>";
    const qsizetype Start = QString::fromUtf8(Prologue).size() + 20;
    QByteArray Header
        = QStringLiteral("Version:0.9\r\nStartFragment:%1\r\nEndFragment:%2\r\n")
              .arg(Start, 10, 10, QLatin1Char('0'))
              .arg(Start + QString::fromUtf8(Fragment).size(), 10, 10, QLatin1Char('0'))
              .toLatin1();
    THTMLGridParser P(true, false);
    EXPECT_EQ(Cells(P, Header + Body), (QStringList { "1,1=a", "2,1=б" }));
    EXPECT_EQ(P.StartFragment(), Header.size() + Prologue.size() + 20);
}

TEST(HtmlGridParser, HugeSpansStayWithinTheLimits)
{
    THTMLGridParser P(false, false);
    P.SetLimits(3, 4);
    QByteArray Data = "<tr><td colspan=999999999 rowspan=999999999>a<td>b";
    for (int I = 0; I < 10; ++I)
        Data += "<tr><td>x";
    EXPECT_EQ(Cells(P, Data), QStringList { "1,1=a" });
    EXPECT_EQ(P.CellCount(), 12);
}
