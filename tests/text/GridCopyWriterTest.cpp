#include "text/GridCopyWriter.h"
#include "text/MyClipboard.h"
#include "text/PastedCells.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Cells by (column, row); those not in the map are left empty by the copy.
using TCells = std::map<std::pair<qint32, qint32>, TCopyCell>;

TCopyCell Plain(const QString& V)
{
    return TCopyCell { V, V, QStringLiteral("Arial"), 10, 0x000000, 0xFFFFFF };
}

TGridCopy Write(const TCells& Cells, qint32 C1, qint32 R1, qint32 C2, qint32 R2)
{
    return WriteGridCopy(C1, R1, C2, R2, [&](qint32 C, qint32 R, TCopyCell& Cell) {
        const auto It = Cells.find({ C, R });
        if (It == Cells.end())
            return false;
        Cell = It->second;
        return true;
    });
}

const QByteArray Style
    = " style=\"font-family:Arial; font-size:10pt; color:black; background: white;\"";

}

TEST(GridCopyWriter, WritesATwoByTwoBlockByteForByte)
{
    const TCells Cells { { { 1, 1 }, Plain("a") }, { { 2, 1 }, Plain("b") },
        { { 1, 2 }, Plain("c") }, { { 2, 2 }, Plain("d") } };
    const TGridCopy Copy = Write(Cells, 1, 1, 2, 2);
    EXPECT_EQ(Copy.Html,
        "<table cellpadding=5 cellspacing=1 border=0>\r\n"
        "<tr><td"
            + Style + ">\r\na</td>\r\n<td" + Style
            + ">\r\nb</td>\r\n</tr>"
              "<tr><td"
            + Style + ">\r\nc</td>\r\n<td" + Style
            + ">\r\nd</td>\r\n</tr>"
              "</table>");
    EXPECT_EQ(Copy.Text, QStringLiteral("a\tb\r\nc\td\r\n"));
}

TEST(GridCopyWriter, SingleCellTextHasNoLineBreak)
{
    const TGridCopy Copy = Write({ { { 3, 4 }, Plain("x") } }, 3, 4, 3, 4);
    EXPECT_EQ(Copy.Html,
        "<table cellpadding=5 cellspacing=1 border=0>\r\n<tr><td" + Style
            + ">\r\nx</td>\r\n</tr></table>");
    EXPECT_EQ(Copy.Text, QStringLiteral("x"));
}

TEST(GridCopyWriter, EscapesBreaksFormulasColoursAndEmptyCells)
{
    struct {
        const char* Name;
        TCopyCell Cell;
        QByteArray Td;
        QString Text;
    } const Cases[] = {
        { "escaping", Plain("a<b>&c\"d"), "<td" + Style + ">\r\na&lt;b&gt;&amp;c&quot;d</td>\r\n",
            "a<b>&c\"d" },
        { "line breaks", Plain("a\r\nb\rc\nd"), "<td" + Style + ">\r\na<br>b<br>c<br>d</td>\r\n",
            "a\r\nb\rc\nd" },
        { "formula", TCopyCell { "=R[-1]C&\"<\"", "3<", "Arial", 10, 0, 0xFFFFFF },
            "<td" + Style + " x:fmla=\"=R[-1]C&amp;&quot;&lt;&quot;\">\r\n3&lt;</td>\r\n", "3<" },
        { "colours and font", TCopyCell { "Ж", "Ж", "Times New Roman", 12, 0x0000FF, 0xF0F0F0 },
            "<td style=\"font-family:Times New Roman; font-size:12pt; color:red; background: "
            "#F0F0F0;\">\r\n\xD0\x96</td>\r\n",
            "Ж" },
    };
    for (const auto& C : Cases) {
        const TGridCopy Copy = Write({ { { 1, 1 }, C.Cell } }, 1, 1, 1, 1);
        EXPECT_EQ(Copy.Html,
            "<table cellpadding=5 cellspacing=1 border=0>\r\n<tr>" + C.Td + "</tr></table>")
            << C.Name;
        EXPECT_EQ(Copy.Text, C.Text) << C.Name;
    }
    const TGridCopy Gap = Write({ { { 1, 1 }, Plain("a") }, { { 3, 1 }, Plain("c") } }, 1, 1, 3, 1);
    EXPECT_EQ(Gap.Html,
        "<table cellpadding=5 cellspacing=1 border=0>\r\n<tr><td" + Style
            + ">\r\na</td>\r\n"
              "<td>\r\n</td>\r\n<td"
            + Style + ">\r\nc</td>\r\n</tr></table>");
    EXPECT_EQ(Gap.Text, QStringLiteral("a\t\tc\r\n"));
}

TEST(GridCopyWriter, WhatIsCopiedPastesBack)
{
    const TCells Cells { { { 1, 1 }, Plain("a<b>&c") }, { { 2, 1 }, Plain("две\r\nстроки") },
        { { 1, 2 }, TCopyCell { "=R[-1]C+1", "2", "Arial", 10, 0, 0xFFFFFF } },
        { { 2, 2 }, Plain("Ёж") } };
    const TGridCopy Copy = Write(Cells, 1, 1, 2, 2);
    const QByteArray Clip = TMyClipboard::HtmlHeader(Copy.Html.size()) + Copy.Html;
    for (const bool Values : { false, true }) {
        const std::vector<TPastedCell> Pasted
            = ReadPastedCells(Clip, QString(), 5, 7, Values, 10, 10);
        ASSERT_EQ(Pasted.size(), 4u);
        EXPECT_EQ(Pasted[0].Text, QStringLiteral("a<b>&c"));
        EXPECT_EQ(Pasted[1].Text, QStringLiteral("две\r\nстроки"));
        EXPECT_EQ(Pasted[2].Text, Values ? QStringLiteral("2") : QStringLiteral("=R[-1]C+1"));
        EXPECT_EQ(Pasted[3].Text, QStringLiteral("Ёж"));
        EXPECT_EQ(Pasted[3].Col, 6);
        EXPECT_EQ(Pasted[3].Row, 8);
    }
    const std::vector<TPastedCell> FromText = ReadPastedCells({}, Copy.Text, 1, 1, false, 10, 10);
    ASSERT_EQ(FromText.size(), 5u) << "the line break inside a value splits the text form";
    EXPECT_EQ(FromText[0].Text, QStringLiteral("a<b>&c"));
}
