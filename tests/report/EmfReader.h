#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <set>
#include <vector>

// An independent check of an enhanced metafile's structure: the header, the record chain,
// the object handles and the text records, read back from the bytes alone.
struct TEmfFile {
    QString Error; // empty when the file is sound
    quint32 Bytes = 0;
    quint32 Records = 0;
    quint16 Handles = 0;
    QRect Bounds;
    QRect Frame;
    QSize Device;
    QSize Millimeters;
    std::vector<quint32> Types;
    QStringList Texts;
    std::vector<QPoint> LineEnds;
};

inline TEmfFile ReadEmf(const QByteArray& d)
{
    TEmfFile f;
    auto u32 = [&](qsizetype at) {
        quint32 v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | quint8(d[at + i]);
        return v;
    };
    auto i32 = [&](qsizetype at) { return qint32(u32(at)); };
    auto fail = [&](const QString& why) {
        f.Error = why;
        return f;
    };
    if (d.size() < 88)
        return fail("shorter than a header");
    if (u32(0) != 1)
        return fail("first record is not the header");
    const quint32 headerSize = u32(4);
    if (headerSize < 88 || headerSize > quint32(d.size()) || headerSize % 4)
        return fail("bad header size");
    if (u32(40) != 0x464D4520)
        return fail("no EMF signature");
    f.Bounds = QRect(QPoint(i32(8), i32(12)), QPoint(i32(16), i32(20)));
    f.Frame = QRect(QPoint(i32(24), i32(28)), QPoint(i32(32), i32(36)));
    f.Bytes = u32(48);
    f.Records = u32(52);
    f.Handles = quint16(u32(56) & 0xffff);
    f.Device = QSize(i32(72), i32(76));
    f.Millimeters = QSize(i32(80), i32(84));
    if (f.Bytes != quint32(d.size()))
        return fail("byte count differs from the file size");
    const quint32 nDesc = u32(60);
    const quint32 offDesc = u32(64);
    if (nDesc && (offDesc < 88 || offDesc + 2 * nDesc > headerSize))
        return fail("description outside the header");

    std::set<quint32> live;
    qsizetype at = 0;
    while (at < d.size()) {
        if (at + 8 > d.size())
            return fail("record header past the end");
        const quint32 type = u32(at);
        const quint32 size = u32(at + 4);
        if (size < 8 || size % 4 || at + qsizetype(size) > d.size())
            return fail(QString("bad record size %1 at %2").arg(size).arg(at));
        f.Types.push_back(type);
        auto handle = [&](quint32 h) { return h >= 1 && h < f.Handles; };
        switch (type) {
        case 38: // create pen
        case 82: // create font
            if (!handle(u32(at + 8)))
                return fail("object handle outside the table");
            live.insert(u32(at + 8));
            break;
        case 37: { // select object
            const quint32 h = u32(at + 8);
            if (!(h & 0x80000000) && !live.count(h))
                return fail("selects an object that does not exist");
            break;
        }
        case 40: // delete object
            if (!live.erase(u32(at + 8)))
                return fail("deletes an object that does not exist");
            break;
        case 54: // line to
            f.LineEnds.push_back(QPoint(i32(at + 8), i32(at + 12)));
            break;
        case 84: { // wide text out
            if (size < 76)
                return fail("short text record");
            const quint32 n = u32(at + 44);
            const quint32 offString = u32(at + 48);
            const quint32 offDx = u32(at + 72);
            if (offString + 2 * n > size || (offDx && offDx + 4 * n > size))
                return fail("text or advances outside the record");
            QString text;
            for (quint32 i = 0; i < n; ++i)
                text += QChar(quint16(quint8(d[at + offString + 2 * i])
                                      | quint8(d[at + offString + 2 * i + 1]) << 8));
            f.Texts << text;
            break;
        }
        default:
            break;
        }
        at += size;
        if (type == 14)
            break;
    }
    if (f.Types.empty() || f.Types.back() != 14)
        return fail("no end-of-file record");
    if (at != d.size())
        return fail("data after the end-of-file record");
    if (f.Types.size() != f.Records)
        return fail("record count differs from the header");
    return f;
}
