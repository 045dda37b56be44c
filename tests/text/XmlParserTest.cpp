#include "text/XmlParser.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

const char* KindName(TTagKind K)
{
    switch (K) {
    case tkOpen:
        return "open";
    case tkClose:
        return "close";
    case tkSingle:
        return "single";
    case tkSpecial:
        return "special";
    }
    return "?";
}

// The events of one parse, one line each.
QStringList Events(const QByteArray& Input)
{
    TXMLParser P;
    QStringList Log;
    P.OnText = [&](const QByteArray& S) { Log << "text " + QString::fromUtf8(S); };
    P.OnOption = [&](const QByteArray& N, const QByteArray& V) {
        Log << "option " + QString::fromUtf8(N) + "=" + QString::fromUtf8(V);
    };
    P.OnTag = [&](const QByteArray& S, TTagKind K) {
        QString Line = QStringLiteral("tag %1 %2").arg(QString::fromUtf8(S), KindName(K));
        for (const TNameValue& O : P.TagOptions())
            Line += " [" + QString::fromUtf8(O.Name) + "=" + QString::fromUtf8(O.Value) + "]";
        Log << Line;
    };
    P.Parse(Input);
    return Log;
}

}

TEST(XmlParser, ReportsTextOptionsAndTagsInOrder)
{
    struct {
        const char* Input;
        QStringList Expected;
    } const Cases[] = {
        { "<td class='x'>1</td>",
            { "option class=x", "tag td open [class=x]", "text 1", "tag td close" } },
        { "<br/>", { "tag br single" } },
        { "<br />", { "tag br single" } },
        { "<!DOCTYPE html>", { "option html=", "tag DOCTYPE special [html=]" } },
        { "<?xml version='1.0'?>", { "option version=1.0", "tag xml special [version=1.0]" } },
        { "  a \r\n\t b  ", { "text a b " } },
        { "<p a=1 a=2>", { "option a=1", "option a=2", "tag p open [a=2]" } },
        { "<P A=1 a=2>", { "option A=1", "option a=2", "tag P open [A=2]" } },
        { "no tags at all", { "text no tags at all" } },
        { "<a title=\"x>y\">", { "option title=x>y", "tag a open [title=x>y]" } },
        { "<td style=\"font-family:'Times New Roman'; color:red\">",
            { "option style=font-family:'Times New Roman'; color:red",
                "tag td open [style=font-family:'Times New Roman'; color:red]" } },
        { "<td x:fmla=\"=SUM(A1:A2)\" nowrap>",
            { "option x:fmla==SUM(A1:A2)",
                "option nowrap=", "tag td open [x:fmla==SUM(A1:A2)] [nowrap=]" } },
        { "<a b=\"\">", { "option b=", "tag a open [b=]" } },
        { "<a href=x/>", { "option href=x", "tag a single [href=x]" } },
        { "a = '1'", { "text a = '1'" } },
        { "<p a = '1'>", { "option a=", "tag p open [a=]" } },
        { "<>x</>", { "text x" } },
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Events(C.Input), C.Expected) << C.Input;
}

TEST(XmlParser, CommentsAreOneTagWithoutTheirBody)
{
    struct {
        const char* Input;
        QStringList Expected;
    } const Cases[] = {
        { "a<!--StartFragment-->b", { "text a", "tag -- special", "text b" } },
        { "<!--[if gte vml 1]><v:textbox><td>x</td></v:textbox><![endif]-->y",
            { "tag -- special", "text y" } },
        { "<!-- a -- b > c -->d", { "tag -- special", "text d" } },
        { "<!---->x", { "tag -- special", "text x" } },
        { "<!-->x", { "tag -- special", "text x" } },
        { "<!--->x", { "tag -- special", "text x" } },
        { "<![if !vml]><img src=a><![endif]>",
            { "option !vml]=", "tag [if special [!vml]=]", "option src=a", "tag img open [src=a]",
                "tag [endif] special" } },
        { "a<!-- never closed <td>x</td>", { "text a" } },
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Events(C.Input), C.Expected) << C.Input;
}

TEST(XmlParser, UnfinishedInputReportsItsTextOnce)
{
    EXPECT_EQ(Events("abc<def"), QStringList { "text abc" });
    EXPECT_EQ(Events("abc<td class=\"x"), QStringList { "text abc" });
    EXPECT_EQ(Events(""), QStringList());
    EXPECT_EQ(Events(QByteArray("a\0b", 3)), QStringList { "text a b" });
}

TEST(XmlParser, OptionsBelongToTheTagBeingReported)
{
    TXMLParser P;
    QList<QByteArray> Classes;
    P.OnTag = [&](const QByteArray&, TTagKind) { Classes << P.Option("class"); };
    P.Parse(QByteArray("<td CLASS=a>x</td><td>y<br></td>"));
    ASSERT_EQ(Classes.size(), 5);
    EXPECT_EQ(Classes[0], "a");
    EXPECT_TRUE(Classes[1].isNull());
    EXPECT_TRUE(Classes[2].isNull());
    EXPECT_TRUE(Classes[4].isNull());
    EXPECT_TRUE(P.TagOptions().empty()) << "cleared at the end of the input";
}

TEST(XmlParser, ReadsAStreamFromItsPosition)
{
    QByteArray Data("skip<b>bold</b>");
    QBuffer B(&Data);
    B.open(QIODevice::ReadOnly);
    B.seek(4);
    TXMLParser P;
    QByteArray Text;
    P.OnText = [&](const QByteArray& S) { Text += S; };
    P.Parse(B);
    EXPECT_EQ(Text, "bold");
}
