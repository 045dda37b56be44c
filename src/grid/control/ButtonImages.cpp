#include "grid/control/ButtonImages.h"

#include <QHash>

namespace {

// A journal uses a handful of pictures; the bound only keeps a program
// that keeps changing them from growing without end.
constexpr qsizetype MaxImages = 64;

TButtonImage Decode(const QByteArray& Data)
{
    TButtonImage R;
    QImage I;
    if (Data.isEmpty() || !I.loadFromData(Data) || I.isNull())
        return R;
    R.Opaque = I.convertToFormat(
        I.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (I.hasAlphaChannel()) {
        R.Transparent = R.Opaque;
        return R;
    }
    QImage T = I.convertToFormat(QImage::Format_ARGB32);
    const QRgb Key = T.pixel(0, T.height() - 1);
    for (int Y = 0; Y < T.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(T.scanLine(Y));
        for (int X = 0; X < T.width(); ++X)
            if (Line[X] == Key)
                Line[X] = 0;
    }
    R.Transparent = T.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return R;
}

} // namespace

const TButtonImage& DecodedButtonImage(const QByteArray& Data)
{
    static QHash<QByteArray, TButtonImage> Cache;
    auto It = Cache.constFind(Data);
    if (It != Cache.cend())
        return *It;
    if (Cache.size() >= MaxImages)
        Cache.clear();
    return *Cache.insert(Data, Decode(Data));
}
