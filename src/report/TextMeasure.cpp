#include "report/TextMeasure.h"

#include <QFont>
#include <cmath>

QFont TPageFont::ToQFont() const
{
    QFont f(Family);
    f.setPixelSize(std::max(1, Height));
    f.setBold(Bold);
    f.setItalic(Italic);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

TFontMeasure::TFontMeasure(const TPageFont& font)
    : fFont(font)
    , fMetrics(font.ToQFont())
    , fLineHeight(int(std::ceil(fMetrics.ascent() + fMetrics.descent())))
    , fAscent(int(std::ceil(fMetrics.ascent())))
    , fAdvances(0x530, -1.0f)
{
}

qreal TFontMeasure::Advance(QChar c) const
{
    // The canvas draws a tab as a blank.
    if (c == u'\t')
        c = u' ';
    if (c.unicode() < fAdvances.size()) {
        float& a = fAdvances[c.unicode()];
        if (a < 0)
            a = float(fMetrics.horizontalAdvance(c));
        return a;
    }
    const auto [it, added] = fOtherAdvances.try_emplace(c.unicode(), 0.0f);
    if (added)
        it->second = float(fMetrics.horizontalAdvance(c));
    return it->second;
}

qreal TFontMeasure::Width(QStringView text) const
{
    qreal w = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            w += fMetrics.horizontalAdvance(text.mid(i, 2).toString());
            ++i;
        } else {
            w += Advance(c);
        }
    }
    return w;
}

std::vector<qreal> TFontMeasure::Advances(QStringView text) const
{
    std::vector<qreal> out(size_t(text.size()), 0.0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out[size_t(i)] = fMetrics.horizontalAdvance(text.mid(i, 2).toString());
            ++i;
        } else {
            out[size_t(i)] = Advance(c);
        }
    }
    return out;
}

TFontMeasure& TFontMeasureCache::Get(const TPageFont& font)
{
    for (auto& m : fMeasures)
        if (m->Font() == font)
            return *m;
    fMeasures.push_back(std::make_unique<TFontMeasure>(font));
    return *fMeasures.back();
}

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// Wraps one paragraph (a text without line breaks) from first to end.
void WrapParagraph(const TFontMeasure& m, QStringView text, int first, int end, qreal width,
                   std::vector<TTextLine>& out)
{
    auto addLine = [&](int from, int to) {
        while (to > from && IsBlank(text[to - 1]))
            --to;
        out.push_back({ from, to - from });
    };
    int lineStart = first;
    int breakAt = -1; // just after the last blank of the line, where it may break
    qreal w = 0;
    int i = first;
    while (i < end) {
        const QChar c = text[i];
        const int n = (c.isHighSurrogate() && i + 1 < end && text[i + 1].isLowSurrogate()) ? 2 : 1;
        const qreal a = m.Width(text.mid(i, n));
        if (IsBlank(c)) {
            // Blanks hang past the right edge rather than start a line of their own.
            w += a;
            i += n;
            breakAt = i;
            continue;
        }
        if (w + a > width && i > lineStart) {
            if (breakAt > lineStart) {
                addLine(lineStart, breakAt);
                i = breakAt;
            } else {
                addLine(lineStart, i);
            }
            lineStart = i;
            breakAt = -1;
            w = 0;
            continue;
        }
        w += a;
        i += n;
    }
    addLine(lineStart, end);
}

} // namespace

std::vector<TTextLine> WrapText(const TFontMeasure& measure, QStringView text, qreal width)
{
    std::vector<TTextLine> out;
    const int n = int(text.size());
    int start = 0;
    while (start < n) {
        int end = start;
        while (end < n && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        WrapParagraph(measure, text, start, end, width, out);
        if (end < n && text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return out;
}

QString ElideText(const TFontMeasure& measure, QStringView text, qreal width)
{
    if (measure.Width(text) <= width)
        return text.toString();
    const QString dots = QStringLiteral("...");
    const qreal room = width - measure.Width(dots);
    qreal w = 0;
    int n = 0;
    while (n < text.size()) {
        const qreal a = measure.Width(text.mid(n, 1));
        if (w + a > room)
            break;
        w += a;
        ++n;
    }
    if (n > 0 && text[n - 1].isHighSurrogate())
        --n;
    return text.left(n).toString() + dots;
}
