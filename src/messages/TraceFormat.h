#pragma once

#include <QString>
#include <QVariantList>

// Fills %s, %d, %u, %x, %X, %f, %e, %g and %% placeholders, each with optional "-",
// width and ".precision", from args in order. A placeholder without an argument stays as
// written and an argument of the wrong kind is shown as text, so a faulty format never
// loses the message.
QString FormatTraceText(const QString& format, const QVariantList& args);
