#pragma once

#include "grid/model/EnumSet.h"
#include "grid/model/GridColor.h"

#include <QString>

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TEnumSet<TFontStyle, quint8>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// The attributes of a text font as the grid stores and compares them; the
// window layer turns them into a real font when it draws.
class TGridFont {
public:
    QString Name() const { return fName; }
    void SetName(const QString& Value) { fName = Value; }
    quint8 Charset() const { return fCharset; }
    void SetCharset(quint8 Value) { fCharset = Value; }
    TColor Color() const { return fColor; }
    void SetColor(TColor Value) { fColor = Value; }
    // Size in points; height in pixels, negative for the character height.
    qint32 Size() const;
    void SetSize(qint32 Value);
    qint32 Height() const { return fHeight; }
    void SetHeight(qint32 Value) { fHeight = Value; }
    TFontStyles Style() const { return fStyle; }
    void SetStyle(TFontStyles Value) { fStyle = Value; }
    qint32 PixelsPerInch() const { return fPixelsPerInch; }
    void SetPixelsPerInch(qint32 Value);
    TFontPitch Pitch() const { return fPitch; }
    void SetPitch(TFontPitch Value) { fPitch = Value; }

    bool operator==(const TGridFont&) const = default;

private:
    QString fName = QStringLiteral("Sans Serif");
    quint8 fCharset = 1;
    TColor fColor = clWindowText;
    qint32 fHeight = -11;
    TFontStyles fStyle;
    qint32 fPixelsPerInch = 96;
    TFontPitch fPitch = fpDefault;
};
