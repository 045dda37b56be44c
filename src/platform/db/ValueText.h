#pragma once

#include "platform/db/FieldType.h"

#include <QDateTime>
#include <QLocale>
#include <QVariant>

// Conversions between stored values and the texts the user reads and types, in the user's
// locale. The table, the form, the search and the report all show a value through Display, so
// what the user sees is what the search finds.
namespace ValueText {

// Formats a number by a picture such as "0.0000" or "#,##0.00": digits after the point are
// fixed ('0') or optional ('#'), zeros before it are the least integer digits, a comma before
// the point asks for grouping. Other characters are copied as literals.
QString FormatPicture(double value, const QString& picture, const QLocale& locale);

QString Display(const QVariant& value, TFieldType type, const QString& displayFormat,
                const QLocale& locale);

// The date or date-time a stored value stands for; an invalid QDateTime when it is not one.
// The embedded database keeps dates as ISO text.
QDateTime StoredDateTime(const QVariant& value);

QString DisplayDateTime(const QDateTime& value, TFieldType type, const QLocale& locale);

// Reads typed text for a field of the given type. Empty text is null. Numbers take the
// locale's decimal separator and also "."; dates take the locale's short date, also without
// leading zeros, two-digit years in the current century, and ISO dates. On failure returns
// false, leaves *out alone and sets *error to a message for the user.
bool Parse(const QString& text, TFieldType type, const QLocale& locale, QVariant* out,
           QString* error);

double ParseNumber(const QString& text, const QLocale& locale, bool* ok);

QDateTime ParseDateTime(const QString& text, const QLocale& locale, bool* ok);

} // namespace ValueText
