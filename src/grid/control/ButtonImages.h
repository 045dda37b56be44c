#pragma once

#include <QByteArray>
#include <QImage>

// Decoded pictures of drop-list buttons. The grid hands the encoded bytes
// on every paint; decoding them each time would cost more than the rest of
// the cell, so each distinct picture is decoded once.
struct TButtonImage {
    // As decoded; null when the bytes are not a picture.
    QImage Opaque;
    // The see-through version: the picture's own alpha, or for a picture
    // without one the colour of its bottom-left pixel keyed out, as button
    // bitmaps are drawn by convention.
    QImage Transparent;
};

const TButtonImage& DecodedButtonImage(const QByteArray& Data);
