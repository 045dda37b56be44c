#include "grid/control/TextLayout.h"

#include "grid/GridCanvas.h"
#include "grid/model/TextFlags.h"
#include "text/TextLines.h"

#include <QHash>
#include <QPaintDevice>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using namespace TextFlags;
using namespace CanvasText;

// Removes the prefix characters: "&&" stands for "&", "&x" underlines x.
QString StripPrefix(const QString& Text, bool Underline, int& UnderlineAt)
{
    UnderlineAt = -1;
    QString Result;
    Result.reserve(Text.size());
    for (qsizetype I = 0; I < Text.size(); ++I) {
        if (Text[I] == u'&' && I + 1 < Text.size()) {
            ++I;
            if (Text[I] != u'&' && Underline && UnderlineAt < 0)
                UnderlineAt = int(Result.size());
        }
        Result += Text[I];
    }
    return Result;
}

struct TLine {
    QString Text;
    int Underline = -1;
};

int TabbedWidth(const TFontGlyphs& M, const QString& S, bool Tabs, int TabStop)
{
    if (!Tabs || !S.contains(u'\t'))
        return M.Width(S);
    int X = 0;
    qsizetype Start = 0;
    for (qsizetype I = 0; I <= S.size(); ++I) {
        if (I < S.size() && S[I] != u'\t')
            continue;
        X += M.Width(S.mid(Start, I - Start));
        if (I < S.size())
            X = (X / TabStop + 1) * TabStop;
        Start = I + 1;
    }
    return X;
}

// Greedy breaking at spaces; a word wider than the box stays whole, as the
// platform's own word break does.
void BreakWords(const TFontGlyphs& M, const TLine& Line, int Width, bool Tabs, int TabStop,
    std::vector<TLine>& Out)
{
    const QString& S = Line.Text;
    if (TabbedWidth(M, S, Tabs, TabStop) <= Width) {
        Out.push_back(Line);
        return;
    }
    qsizetype Start = 0;
    while (Start < S.size()) {
        qsizetype End = Start;
        qsizetype Fit = -1;
        while (End <= S.size()) {
            qsizetype Next = S.indexOf(u' ', End);
            if (Next < 0)
                Next = S.size();
            if (TabbedWidth(M, S.mid(Start, Next - Start), Tabs, TabStop) > Width && Fit >= 0)
                break;
            Fit = Next;
            End = Next + 1;
            if (Next >= S.size())
                break;
        }
        TLine Part { S.mid(Start, Fit - Start), -1 };
        if (Line.Underline >= Start && Line.Underline < Fit)
            Part.Underline = int(Line.Underline - Start);
        Out.push_back(Part);
        Start = Fit + 1;
        while (Start < S.size() && S[Start] == u' ')
            ++Start;
    }
}

}

TFontGlyphs::TFontGlyphs(const QFont& Font, const QPaintDevice* Device)
    : fFont(Font)
    , fMetrics(Font, Device)
    , fRaw(QRawFont::fromFont(Font))
{
}

const TFontGlyphs& TFontGlyphs::For(const QFont& Font, const QPaintDevice* Device)
{
    // Few fonts are ever in use; the tables live as long as the process.
    static QHash<QString, std::shared_ptr<TFontGlyphs>> Cache;
    const QString Key = Font.key() + QLatin1Char('@') + QString::number(Device ? Device->logicalDpiY() : 96);
    auto& Slot = Cache[Key];
    if (!Slot)
        Slot = std::make_shared<TFontGlyphs>(Font, Device);
    return *Slot;
}

void TFontGlyphs::Load(char16_t C) const
{
    fState[C] = 2;
    if (!fRaw.isValid())
        return;
    const QList<quint32> I = fRaw.glyphIndexesForString(QString(QChar(C)));
    if (I.size() != 1 || I[0] == 0)
        return;
    const QList<QPointF> A = fRaw.advancesForGlyphIndexes(I, QRawFont::UseDesignMetrics);
    if (A.size() != 1)
        return;
    fGlyph[C] = I[0];
    fAdvance[C] = float(A[0].x());
    fState[C] = 1;
}

bool TFontGlyphs::Simple(const QString& Text) const
{
    for (QChar Ch : Text) {
        const char16_t C = Ch.unicode();
        if (C >= TableSize || C < 0x20 || (C >= 0x300 && C < 0x370))
            return false;
        if (fState[C] == 0)
            Load(C);
        if (fState[C] != 1)
            return false;
    }
    return true;
}

int TFontGlyphs::Width(const QString& Text) const
{
    if (!Simple(Text))
        return fMetrics.horizontalAdvance(Text);
    float W = 0;
    for (QChar Ch : Text)
        W += fAdvance[Ch.unicode()];
    return int(std::lround(W));
}

bool TFontGlyphs::Glyphs(const QString& Text, QList<quint32>& Indexes, QList<QPointF>& Positions) const
{
    if (!Simple(Text))
        return false;
    Indexes.resize(Text.size());
    Positions.resize(Text.size());
    float X = 0;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const char16_t C = Text[I].unicode();
        Indexes[I] = fGlyph[C];
        Positions[I] = QPointF(X, 0);
        X += fAdvance[C];
    }
    return true;
}

std::vector<int> TFontGlyphs::Edges(const QString& Text) const
{
    std::vector<int> E;
    E.reserve(size_t(Text.size()) + 1);
    E.push_back(0);
    if (Simple(Text)) {
        float W = 0;
        for (QChar Ch : Text) {
            W += fAdvance[Ch.unicode()];
            E.push_back(int(std::lround(W)));
        }
        return E;
    }
    // Shaped text: one layout answers every position, where measuring each
    // prefix would cost the square of the length.
    QTextLayout Layout(Text, fFont);
    Layout.beginLayout();
    QTextLine Line = Layout.createLine();
    Layout.endLayout();
    for (qsizetype I = 1; I <= Text.size(); ++I)
        E.push_back(Line.isValid() ? int(std::lround(Line.cursorToX(int(I)))) : 0);
    if (!Text.isEmpty())
        E.back() = Width(Text);
    return E;
}

std::vector<int> LineCharEdges(
    const TFontGlyphs& G, const QString& S, bool Tabs, int AverageCharWidth)
{
    if (!Tabs || !S.contains(u'\t'))
        return G.Edges(S);
    const int TabStop = std::max(1, 8 * AverageCharWidth);
    std::vector<int> E { 0 };
    E.reserve(size_t(S.size()) + 1);
    int Pos = 0;
    qsizetype Start = 0;
    for (qsizetype I = 0; I <= S.size(); ++I) {
        if (I < S.size() && S[I] != u'\t')
            continue;
        const std::vector<int> Run = G.Edges(S.mid(Start, I - Start));
        for (size_t K = 1; K < Run.size(); ++K)
            E.push_back(Pos + Run[K]);
        Pos += Run.back();
        if (I < S.size()) {
            Pos = (Pos / TabStop + 1) * TabStop;
            E.push_back(Pos);
        }
        Start = I + 1;
    }
    return E;
}

TTextLayout LayoutText(const TFontGlyphs& G, const QString& Text, const QRect& Rect,
    quint32 Flags, int AverageCharWidth)
{
    const TFontGlyphs& M = G;
    TTextLayout L;
    const bool Single = Flags & tfSingleLine;
    const bool Tabs = Flags & tfExpandTabs;
    const int TabStop = std::max(1, 8 * AverageCharWidth);
    int UnderlineAt = -1;
    const QString Plain = (Flags & tfNoPrefix)
        ? Text
        : StripPrefix(Text, !(Flags & tfHidePrefix), UnderlineAt);

    std::vector<TLine> Lines;
    if (Single) {
        QString S = Plain;
        S.replace(u'\r', u' ').replace(u'\n', u' ');
        Lines.push_back({ S, UnderlineAt });
    } else {
        qsizetype Offset = 0;
        for (const QString& P : SplitLines(Plain)) {
            TLine Line { P, -1 };
            if (UnderlineAt >= Offset && UnderlineAt < Offset + P.size())
                Line.Underline = int(UnderlineAt - Offset);
            Offset += P.size() + 1;
            if (Flags & tfWordBreak)
                BreakWords(M, Line, std::max(1, Rect.width()), Tabs, TabStop, Lines);
            else
                Lines.push_back(Line);
        }
    }

    const int LineHeight = G.Metrics().height();
    const int Total = LineHeight * int(Lines.size());
    int Y = Rect.top();
    if (Single && (Flags & tfBottom))
        Y = Rect.top() + Rect.height() - Total;
    else if (Single && (Flags & tfVCenter))
        Y = Rect.top() + (Rect.height() - Total) / 2;

    int MaxWidth = 0;
    for (TLine& Line : Lines) {
        QString S = Line.Text;
        if ((Flags & tfEndEllipsis) && TabbedWidth(M, S, Tabs, TabStop) > Rect.width()) {
            S = G.Metrics().elidedText(S, Qt::ElideRight, std::max(0, Rect.width()));
            if (Line.Underline >= S.size() - 1)
                Line.Underline = -1;
        }
        const int W = TabbedWidth(M, S, Tabs, TabStop);
        MaxWidth = std::max(MaxWidth, W);
        int X = Rect.left();
        if (Flags & tfRight)
            X = Rect.left() + Rect.width() - W;
        else if (Flags & tfHCenter)
            X = Rect.left() + (Rect.width() - W) / 2;
        if (Tabs && S.contains(u'\t')) {
            int Pos = 0;
            qsizetype Start = 0;
            for (qsizetype I = 0; I <= S.size(); ++I) {
                if (I < S.size() && S[I] != u'\t')
                    continue;
                TTextRun Run { S.mid(Start, I - Start), X + Pos, Y, 0, -1 };
                Run.Width = M.Width(Run.Text);
                if (Line.Underline >= Start && Line.Underline < I)
                    Run.Underline = int(Line.Underline - Start);
                Pos += Run.Width;
                if (I < S.size())
                    Pos = (Pos / TabStop + 1) * TabStop;
                if (!Run.Text.isEmpty())
                    L.Runs.push_back(std::move(Run));
                Start = I + 1;
            }
        } else {
            L.Runs.push_back({ S, X, Y, W, Line.Underline });
        }
        Y += LineHeight;
    }
    L.Height = Total;
    if (Flags & tfCalcRect) {
        L.Bounds = QRect(Rect.left(), Rect.top(), MaxWidth, Total);
    } else {
        QRect B;
        for (const TTextRun& R : L.Runs)
            B = B.united(QRect(R.X, R.Y, std::max(1, R.Width), LineHeight));
        L.Bounds = B.isNull() ? QRect(Rect.left(), Rect.top(), 0, Total) : B;
    }
    return L;
}
