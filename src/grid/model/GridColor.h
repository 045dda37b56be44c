#pragma once

#include <QtGlobal>

// A colour: 0x00BBGGRR for an RGB colour; a value whose top byte is 0xFF names
// the system colour whose index is the low byte.
using TColor = quint32;

constexpr TColor RGBColor(quint8 R, quint8 G, quint8 B)
{
    return TColor(R) | (TColor(G) << 8) | (TColor(B) << 16);
}
constexpr TColor SystemColor(quint8 Index) { return 0xFF000000u | Index; }
constexpr bool IsSystemColor(TColor C) { return (C >> 24) == 0xFF; }
constexpr quint8 SystemColorIndex(TColor C) { return quint8(C & 0xFF); }

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clWhite = RGBColor(255, 255, 255);
constexpr TColor clGray = RGBColor(128, 128, 128);
constexpr TColor clNavy = RGBColor(0, 0, 128);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
