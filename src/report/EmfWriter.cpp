#include "report/EmfWriter.h"

#include "report/RecordedPage.h"
#include "report/TextMeasure.h"

#include <QSaveFile>
#include <cmath>
#include <cstring>

namespace {

// Little-endian record assembly; every record is padded to a multiple of four bytes.
class TEmfStream {
public:
    void U32(quint32 v)
    {
        for (int i = 0; i < 4; ++i)
            fData.append(char((v >> (8 * i)) & 0xff));
    }
    void I32(qint32 v) { U32(quint32(v)); }
    void U16(quint16 v)
    {
        fData.append(char(v & 0xff));
        fData.append(char(v >> 8));
    }
    void U8(quint8 v) { fData.append(char(v)); }
    void F32(float v)
    {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        U32(bits);
    }
    void Utf16(QStringView s)
    {
        for (QChar c : s)
            U16(c.unicode());
    }
    void Pad()
    {
        while (fData.size() % 4)
            fData.append('\0');
    }
    void PatchU32(qsizetype at, quint32 v)
    {
        for (int i = 0; i < 4; ++i)
            fData[at + i] = char((v >> (8 * i)) & 0xff);
    }
    qsizetype Size() const { return fData.size(); }
    QByteArray& Data() { return fData; }

    // Starts a record; End patches its size and counts it.
    qsizetype Begin(quint32 type)
    {
        const qsizetype at = fData.size();
        U32(type);
        U32(0);
        return at;
    }
    void End(qsizetype at)
    {
        Pad();
        PatchU32(at + 4, quint32(fData.size() - at));
        ++fRecords;
    }
    void Simple(quint32 type, quint32 value)
    {
        const qsizetype at = Begin(type);
        U32(value);
        End(at);
    }
    int Records() const { return fRecords; }

private:
    QByteArray fData;
    int fRecords = 0;
};

quint32 ColorRef(QRgb c) { return quint32(qRed(c)) | quint32(qGreen(c)) << 8 | quint32(qBlue(c)) << 16; }

const quint32 kStockNullBrush = 0x80000005;

} // namespace

QByteArray TEmfWriter::PageToEmf(const TRecordedPage& page, const QString& description)
{
    TEmfStream s;
    const int w = std::max(1, page.Size.width());
    const int h = std::max(1, page.Size.height());
    // Page units per inch; the reference device has one pixel per unit.
    const double ppi = 1200.0;

    const qsizetype header = s.Begin(emrHeader);
    s.I32(0);
    s.I32(0);
    s.I32(w - 1);
    s.I32(h - 1);
    s.I32(0);
    s.I32(0);
    s.I32(int(std::lround(w * 2540.0 / ppi)) - 1);
    s.I32(int(std::lround(h * 2540.0 / ppi)) - 1);
    s.U32(0x464D4520); // " EMF"
    s.U32(0x00010000);
    const qsizetype bytesAt = s.Size();
    s.U32(0); // bytes, patched
    s.U32(0); // records, patched
    const qsizetype handlesAt = s.Size();
    s.U16(0); // handles, patched
    s.U16(0);
    const QString desc = description.isEmpty()
        ? QString()
        : QStringLiteral("veskor") + QChar(0) + description + QChar(0) + QChar(0);
    s.U32(quint32(desc.size()));
    s.U32(desc.isEmpty() ? 0 : 108);
    s.U32(0); // palette entries
    s.I32(w);
    s.I32(h);
    s.I32(int(std::lround(w * 25.4 / ppi)));
    s.I32(int(std::lround(h * 25.4 / ppi)));
    s.U32(0); // pixel format size
    s.U32(0); // pixel format offset
    s.U32(0); // no OpenGL records
    s.I32(int(std::lround(w * 25400.0 / ppi)));
    s.I32(int(std::lround(h * 25400.0 / ppi)));
    s.Utf16(desc);
    s.End(header);

    s.Simple(emrSetMapMode, 1); // MM_TEXT: logical units are the reference device's pixels
    s.Simple(emrSetBkMode, 1); // TRANSPARENT
    s.Simple(emrSetTextAlign, 24); // TA_BASELINE | TA_LEFT | TA_NOUPDATECP
    s.Simple(emrSelectObject, kStockNullBrush);

    // Handle 1 holds the pen, handle 2 the font; each is replaced when the style changes.
    const quint32 penHandle = 1;
    const quint32 fontHandle = 2;
    int pen = -1;
    int font = -1;
    std::vector<std::unique_ptr<TFontMeasure>> measures(page.Fonts.size());
    const float scale = float(2540.0 / ppi);

    for (const TPageItem& item : page.Items) {
        if (item.Kind == pikLine) {
            if (item.Style != pen && item.Style < int(page.Pens.size())) {
                if (pen >= 0)
                    s.Simple(emrDeleteObject, penHandle);
                pen = item.Style;
                const TPagePen& p = page.Pens[size_t(pen)];
                const qsizetype at = s.Begin(emrCreatePen);
                s.U32(penHandle);
                s.U32(0); // PS_SOLID
                s.I32(p.Width);
                s.I32(0);
                s.U32(ColorRef(p.Color));
                s.End(at);
                s.Simple(emrSelectObject, penHandle);
            }
            qsizetype at = s.Begin(emrMoveToEx);
            s.I32(item.A.x());
            s.I32(item.A.y());
            s.End(at);
            at = s.Begin(emrLineTo);
            s.I32(item.B.x());
            s.I32(item.B.y());
            s.End(at);
            continue;
        }
        if (item.Style >= int(page.Fonts.size()) || item.Text.isEmpty())
            continue;
        const TPageFont& f = page.Fonts[size_t(item.Style)];
        if (item.Style != font) {
            if (font >= 0)
                s.Simple(emrDeleteObject, fontHandle);
            font = item.Style;
            const qsizetype at = s.Begin(emrExtCreateFontIndirectW);
            s.U32(fontHandle);
            s.I32(-f.Height); // negative: the em height, as the page measured it
            s.I32(0);
            s.I32(0);
            s.I32(0);
            s.I32(f.Bold ? 700 : 400);
            s.U8(f.Italic ? 1 : 0);
            s.U8(0);
            s.U8(0);
            s.U8(1); // DEFAULT_CHARSET: the text is Unicode
            s.U8(0);
            s.U8(0);
            s.U8(4); // ANTIALIASED_QUALITY
            s.U8(0);
            QString face = f.Family.left(31);
            face.resize(32, QChar(0));
            s.Utf16(face);
            s.End(at);
            s.Simple(emrSelectObject, fontHandle);
            s.Simple(emrSetTextColor, ColorRef(f.Color));
        }
        auto& m = measures[size_t(item.Style)];
        if (!m)
            m = std::make_unique<TFontMeasure>(f);
        const std::vector<qreal> adv = m->Advances(item.Text);
        const int n = int(item.Text.size());

        // Rounding each advance on its own would drift along a line; rounding the running
        // position keeps every glyph within half a unit of its place on the page.
        std::vector<qint32> dx(static_cast<size_t>(n));
        qreal run = 0;
        int placed = 0;
        for (int i = 0; i < n; ++i) {
            run += adv[size_t(i)];
            const int pos = int(std::lround(run));
            dx[size_t(i)] = pos - placed;
            placed = pos;
        }
        const QRect bounds(item.A.x(), item.A.y() - m->Ascent(), std::max(1, placed),
                           std::max(1, m->LineHeight()));
        const QRect clip = item.Clip.isEmpty() ? bounds : item.Clip;

        const qsizetype at = s.Begin(emrExtTextOutW);
        s.I32(bounds.left());
        s.I32(bounds.top());
        s.I32(bounds.right());
        s.I32(bounds.bottom());
        s.U32(1); // GM_COMPATIBLE
        s.F32(scale);
        s.F32(scale);
        s.I32(item.A.x());
        s.I32(item.A.y());
        s.U32(quint32(n));
        const quint32 offString = 76;
        const quint32 offDx = offString + quint32((n * 2 + 3) / 4 * 4);
        s.U32(offString);
        s.U32(item.Clip.isEmpty() ? 0 : 4); // ETO_CLIPPED
        s.I32(clip.left());
        s.I32(clip.top());
        s.I32(clip.left() + clip.width());
        s.I32(clip.top() + clip.height());
        s.U32(offDx);
        s.Utf16(item.Text);
        s.Pad();
        for (qint32 d : dx)
            s.I32(d);
        s.End(at);
    }
    if (pen >= 0)
        s.Simple(emrDeleteObject, penHandle);
    if (font >= 0)
        s.Simple(emrDeleteObject, fontHandle);

    const qsizetype eof = s.Begin(emrEof);
    s.U32(0);
    s.U32(16);
    s.U32(20);
    s.End(eof);

    s.PatchU32(bytesAt, quint32(s.Size()));
    s.PatchU32(bytesAt + 4, quint32(s.Records()));
    QByteArray& data = s.Data();
    data[handlesAt] = char(3); // the table's unused entry 0, the pen and the font
    data[handlesAt + 1] = 0;
    return data;
}

bool TEmfWriter::Save(const TRecordedPage& page, const QString& fileName,
                      const QString& description, QString* error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл %1: %2").arg(fileName, file.errorString());
        return false;
    }
    file.write(PageToEmf(page, description));
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл %1: %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}
