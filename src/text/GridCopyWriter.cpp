#include "text/GridCopyWriter.h"

#include "text/HtmlText.h"

namespace {

void AppendValueHtml(QByteArray& H, const QString& V)
{
    // CR LF, a lone CR and a lone LF each become one "<br>".
    const QString E = EscapeHTML(V);
    QString Out;
    Out.reserve(E.size());
    for (qsizetype I = 0; I < E.size(); ++I) {
        const QChar C = E[I];
        if (C == u'\r') {
            Out += QLatin1String("<br>");
            if (I + 1 < E.size() && E[I + 1] == u'\n')
                ++I;
        } else if (C == u'\n') {
            Out += QLatin1String("<br>");
        } else {
            Out += C;
        }
    }
    H += Out.toUtf8();
}

}

TGridCopy WriteGridCopy(
    qint32 FirstCol, qint32 FirstRow, qint32 LastCol, qint32 LastRow, const TCopyCellSource& Source)
{
    TGridCopy Result;
    QByteArray& H = Result.Html;
    QString& T = Result.Text;
    const bool SingleCell = FirstCol == LastCol && FirstRow == LastRow;
    H += "<table cellpadding=5 cellspacing=1 border=0>\r\n";
    TCopyCell Cell;
    for (qint64 R = FirstRow; R <= LastRow; ++R) {
        H += "<tr>";
        for (qint64 C = FirstCol; C <= LastCol; ++C) {
            Cell = TCopyCell();
            const bool Known = Source && Source(qint32(C), qint32(R), Cell);
            H += "<td";
            if (Known) {
                H += QStringLiteral(
                    " style=\"font-family:%1; font-size:%2pt; color:%3; background: %4;\"")
                         .arg(EscapeHTML(Cell.FontName), QString::number(Cell.FontSize),
                             HTMLColor(Cell.FontColor), HTMLColor(Cell.BackColor))
                         .toUtf8();
                if (Cell.FullText != Cell.Value)
                    H += " x:fmla=\"" + EscapeHTML(Cell.FullText).toUtf8() + '"';
            } else {
                Cell.Value.clear();
            }
            H += ">\r\n";
            AppendValueHtml(H, Cell.Value);
            H += "</td>\r\n";
            if (C > FirstCol)
                T += u'\t';
            T += Cell.Value;
        }
        H += "</tr>";
        if (!SingleCell)
            T += QLatin1String("\r\n");
    }
    H += "</table>";
    return Result;
}
