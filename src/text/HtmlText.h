#pragma once

#include <QString>

// Text as an HTML attribute or element holds it: "&", "<", ">" and the
// double quote become character references.
QString EscapeHTML(const QString& S);

// Turns character references back into characters: the HTML 4.01 names
// (case-sensitive), "&apos;", and decimal and hexadecimal numbers, those above
// U+FFFF as their surrogate pair. What is not a complete reference ("a & b",
// "&unknown;", "&#xZZ;") stays as written, as a browser shows it.
QString DecodeHTML(const QString& S);

// A colour, 0x00BBGGRR, as HTML names it: the name of one of the system's
// named colours ("white", "skyblue"), otherwise "#RRGGBB" in upper case.
QString HTMLColor(quint32 Color);
