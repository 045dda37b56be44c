// Clipboard HTML as other programs put it there, each reduced to what
// matters to a paste: its prologue and styles, how it writes rows, cells,
// spans, empty cells and line breaks.
#include "text/MyClipboard.h"
#include "text/PastedCells.h"

#include <gtest/gtest.h>

namespace {

// "col,row=text" with CR and LF shown as \r and \n, for a paste at (1, 1).
QStringList Paste(const QByteArray& Html, const QString& Text = QString(), bool Values = false)
{
    QStringList Log;
    for (const TPastedCell& C : ReadPastedCells(Html, Text, 1, 1, Values, 50, 50)) {
        QString T = C.Text;
        T.replace(u'\r', QLatin1String("\\r")).replace(u'\n', QLatin1String("\\n"));
        Log << QStringLiteral("%1,%2=%3").arg(C.Col).arg(C.Row).arg(T);
    }
    return Log;
}

// The Windows "HTML Format" header with offsets that are right.
QByteArray WithHeader(const QByteArray& Before, const QByteArray& Fragment, const QByteArray& After)
{
    const QByteArray Template = "Version:0.9\r\nStartHTML:%1\r\nEndHTML:%2\r\n"
                                "StartFragment:%3\r\nEndFragment:%4\r\n";
    const qsizetype HeaderSize
        = QString::fromLatin1(Template).arg(0, 10).arg(0, 10).arg(0, 10).arg(0, 10).size();
    const qsizetype Start = HeaderSize + Before.size();
    const qsizetype End = Start + Fragment.size();
    const QByteArray Header = QString::fromLatin1(Template)
                                  .arg(HeaderSize, 10, 10, QLatin1Char('0'))
                                  .arg(End + After.size(), 10, 10, QLatin1Char('0'))
                                  .arg(Start, 10, 10, QLatin1Char('0'))
                                  .arg(End, 10, 10, QLatin1Char('0'))
                                  .toLatin1();
    return Header + Before + Fragment + After;
}

}

TEST(PasteFormats, LibreOfficeCalc)
{
    const QByteArray Html = R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0 Transitional//EN">
<HTML>
<HEAD>
	<META HTTP-EQUIV="CONTENT-TYPE" CONTENT="text/html; charset=utf-8"/>
	<TITLE></TITLE>
	<STYLE>
		<!--
		BODY,DIV,TABLE,THEAD,TBODY,TFOOT,TR,TH,TD,P { font-family:"Liberation Sans"; font-size:x-small }
		 -->
	</STYLE>
</HEAD>
<BODY TEXT="#000000">
<TABLE FRAME=VOID CELLSPACING=0 COLS=3 RULES=NONE BORDER=0>
	<COLGROUP><COL WIDTH=86><COL WIDTH=86><COL WIDTH=86></COLGROUP>
	<TBODY>
		<TR>
			<TD WIDTH=86 HEIGHT=17 ALIGN=LEFT>Иванов И.И.</TD>
			<TD WIDTH=86 ALIGN=RIGHT SDVAL="17.5" SDNUM="1049;">17,5</TD>
			<TD WIDTH=86 ALIGN=LEFT><BR></TD>
		</TR>
		<TR>
			<TD HEIGHT=17 ALIGN=LEFT>кровь &amp; моча</TD>
			<TD COLSPAN=2 ALIGN=CENTER>не обнаружено </TD>
			</TR>
	</TBODY>
</TABLE>
</BODY>
</HTML>
)";
    EXPECT_EQ(Paste(Html),
        (QStringList { "1,1=Иванов И.И.", "2,1=17,5", "1,2=кровь & моча", "2,2=не обнаружено" }));
}

TEST(PasteFormats, LibreOfficeWriter)
{
    const QByteArray Html
        = R"(<meta http-equiv="content-type" content="text/html; charset=utf-8"><title></title><meta name="generator" content="LibreOffice"><style type="text/css">@page { size: 21cm 29.7cm; margin: 2cm } p { line-height: 115%; margin-bottom: 0.25cm } td p { orphans: 0; widows: 0 }</style><table width="100%" cellpadding="4" cellspacing="0"><col width="128*"/><col width="128*"/><tr valign="top"><td width="50%" style="border-top: 1px solid #000000; border-bottom: 1px solid #000000; padding: 0.1cm"><p>Шифр</p></td><td width="50%" style="border: 1px solid #000000; padding: 0.1cm"><p>Результат</p></td></tr><tr valign="top"><td width="50%" style="border-bottom: 1px solid #000000; padding: 0.1cm"><p>А-17</p></td><td width="50%" style="border: 1px solid #000000; padding: 0.1cm"><p>этанол 0,8 ‰</p><p>17.12 </p></td></tr></table><p style="line-height: 100%; margin-bottom: 0cm"><br/></p>)";
    EXPECT_EQ(Paste(Html),
        (QStringList { "1,1=Шифр", "2,1=Результат", "1,2=А-17", "2,2=этанол 0,8 ‰\\r\\n17.12" }));
}

TEST(PasteFormats, BrowserSpreadsheet)
{
    const QByteArray Html
        = R"(<meta charset='utf-8'><google-sheets-html-origin><style type="text/css"><!--td {border: 1px solid #cccccc;}br {mso-data-placement:same-cell;}--></style><table xmlns="http://www.w3.org/1999/xhtml" cellspacing="0" cellpadding="0" dir="ltr" border="1" style="table-layout:fixed;font-size:10pt;font-family:Arial;width:0px;border-collapse:collapse;border:none"><colgroup><col width="100"/><col width="100"/></colgroup><tbody><tr style="height:21px;"><td style="overflow:hidden;padding:2px 3px 2px 3px;vertical-align:bottom;">Проба</td><td style="overflow:hidden;padding:2px 3px 2px 3px;vertical-align:bottom;text-align:right;" data-sheets-value="{&quot;1&quot;:3,&quot;3&quot;:12.5}">12,5</td></tr><tr style="height:21px;"><td style="overflow:hidden;padding:2px 3px 2px 3px;vertical-align:bottom;wrap-strategy:4;white-space:normal;word-wrap:break-word;">строка 1<br>строка 2</td><td style="overflow:hidden;padding:2px 3px 2px 3px;vertical-align:bottom;"></td></tr></tbody></table>)";
    EXPECT_EQ(Paste(Html), (QStringList { "1,1=Проба", "2,1=12,5", "1,2=строка 1\\r\\nстрока 2" }));
}

TEST(PasteFormats, BrowserDocument)
{
    const QByteArray Html
        = R"(<meta charset="utf-8"><b style="font-weight:normal;" id="docs-internal-guid-5c1e2f3a-7fff-1a2b-3c4d-5e6f70819203"><div dir="ltr" style="margin-left:0pt;" align="left"><table style="border:none;border-collapse:collapse;"><colgroup><col width="301" /><col width="301" /></colgroup><tbody><tr style="height:0pt"><td style="border-left:solid #000000 1pt;border-right:solid #000000 1pt;vertical-align:top;padding:5pt 5pt 5pt 5pt;overflow:hidden;overflow-wrap:break-word;"><p dir="ltr" style="line-height:1.2;margin-top:0pt;margin-bottom:0pt;"><span style="font-size:11pt;font-family:Arial,sans-serif;color:#000000;font-weight:400;">Дата</span></p></td><td style="vertical-align:top;padding:5pt 5pt 5pt 5pt;"><p dir="ltr" style="line-height:1.2;margin-top:0pt;margin-bottom:0pt;"><span style="font-size:11pt;">12.03.2024</span><span style="font-size:11pt;"><br /></span><span style="font-size:11pt;">утро</span></p></td></tr></tbody></table></div></b>)";
    EXPECT_EQ(Paste(Html), (QStringList { "1,1=Дата", "2,1=12.03.2024\\r\\nутро" }));
}

TEST(PasteFormats, WindowsHtmlFormatFromASpreadsheet)
{
    const QByteArray Before = R"(<html xmlns:v="urn:schemas-microsoft-com:vml"
xmlns:o="urn:schemas-microsoft-com:office:office"
xmlns:x="urn:schemas-microsoft-com:office:excel"
xmlns="http://www.w3.org/TR/REC-html40">
<head>
<meta http-equiv=Content-Type content="text/html; charset=utf-8">
<style>
<!--table
	{mso-displayed-decimal-separator:"\,";}
td
	{padding-top:1px;
	mso-number-format:General;}
-->
</style>
<!--[if gte mso 9]><xml>
 <x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>Лист1</x:Name></x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook>
</xml><![endif]-->
</head>
<body link="#0563C1" vlink="#954F72">
<table border=0 cellpadding=0 cellspacing=0 width=384 style='border-collapse:
 collapse;width:288pt'>
<!--StartFragment-->)";
    const QByteArray Fragment = R"(
 <col width=64 span=6 style='width:48pt'>
 <tr height=20 style='height:15.0pt'>
  <td height=20 class=xl65 width=64 style='height:15.0pt;width:48pt'>Begin:</td>
  <td colspan=4 class=xl66 style='mso-ignore:colspan'>Eind temperatuur:</td>
  <td align=right x:num>36,6</td>
 </tr>
 <tr height=20 style='height:15.0pt'>
  <td height=20 style='height:15.0pt'></td>
  <td align=right x:num="3" x:fmla="=1+2">3</td>
  <td class=xl67>a &lt; b</td>
 </tr>
)";
    const QByteArray After = "<!--EndFragment-->\r\n</table>\r\n</body>\r\n</html>\r\n";
    const QByteArray Data = WithHeader(Before, Fragment, After);
    EXPECT_EQ(Paste(Data),
        (QStringList {
            "1,1=Begin:", "2,1=Eind temperatuur:", "6,1=36,6", "2,2==1+2", "3,2=a < b" }));
    EXPECT_EQ(Paste(Data, QString(), true),
        (QStringList { "1,1=Begin:", "2,1=Eind temperatuur:", "6,1=36,6", "2,2=3", "3,2=a < b" }));
}

TEST(PasteFormats, WindowsHtmlFormatFromAWordProcessor)
{
    const QByteArray Before = "<html><body lang=RU>\r\n";
    const QByteArray Fragment
        = R"(<!--StartFragment--><table class=MsoTableGrid border=1 cellspacing=0 cellpadding=0
 style='border-collapse:collapse;border:none'>
 <tr>
  <td width=200 valign=top style='width:150pt;padding:0cm 5.4pt 0cm 5.4pt'>
  <p class=MsoNormal>17.12 <o:p></o:p></p>
  </td>
  <td width=200 valign=top style='width:150pt'>
  <p class=MsoNormal><!--[if supportFields]><span style='mso-element:field-begin'></span><span
  style='mso-spacerun:yes'> </span>FORMTEXT <![endif]--><!--[if gte mso 9]><xml>
   <w:data>FFFFFFFF00000000000003006600690065006C0064000000000000000000000000000000000000</w:data>
  </xml><![endif]--><!--[if supportFields]><span style='mso-element:field-separator'></span><![endif]-->Фамилия<!--[if supportFields]><span
  style='mso-element:field-end'></span><![endif]--><o:p></o:p></p>
  </td>
 </tr>
 <tr>
  <td valign=top><p class=MsoNormal><!--[if gte vml 1]><v:shape id="Text_Box_1" type="#_x0000_t202"><v:textbox><![if !mso]><table cellpadding=0 cellspacing=0 width="100%"><tr><td><![endif]><div><p class=MsoNormal>В рамке</p></div><![if !mso]></td></tr></table><![endif]></v:textbox></v:shape><![endif]--><![if !vml]><img width=100 height=50 src="file:///C:/Temp/clip_image001.gif" v:shapes="Text_Box_1"><![endif]>Рисунок</p></td>
  <td valign=top><p class=MsoNormal><o:p>&nbsp;</o:p></p></td>
 </tr>
</table><!--EndFragment-->)";
    const QByteArray Data = WithHeader(Before, Fragment, "\r\n</body></html>");
    EXPECT_EQ(
        Paste(Data), (QStringList { "1,1=17.12", "2,1=Фамилия", "1,2=Рисунок", "2,2=\u00A0" }));
}

TEST(PasteFormats, WhatIsNoTableFallsBackToTheText)
{
    struct {
        const char* Name;
        QByteArray Html;
        QString Text;
        QStringList Expected;
    } const Cases[] = {
        { "paragraph with its text", "<meta charset='utf-8'><p>Just <b>words</b></p>",
            QStringLiteral("Just words"), { "1,1=Just words" } },
        { "picture only", "<img src=\"data:image/png;base64,iVBORw0KGgo=\">", QString(), {} },
        { "empty clipboard", "", QString(), {} },
        { "text only", "", QStringLiteral("a\tb\r\n\tc\r\n"), { "1,1=a", "2,1=b", "2,2=c" } },
        { "table of empty cells", "<table><tr><td></td><td><br></td></tr></table>",
            QStringLiteral("x"), {} },
        { "header only", "Version:0.9\r\nStartHTML:0048\r\nEndHTML:000000048\r\n",
            QStringLiteral("t"), { "1,1=t" } },
        { "binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), QString(), {} },
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Paste(C.Html, C.Text), C.Expected) << C.Name;
}
