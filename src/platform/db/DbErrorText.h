#pragma once

#include <QString>

class QSqlError;

// The texts of failed database calls as the user reads them. The embedded database explains
// its failures in English; those a user can act on (a read-only or locked file, a full disk,
// a file that is no database, a rejected value) are put in Russian by their result code, and
// the database's own words go to the trace so that nothing is lost for the one who
// investigates.
namespace DbErrorText {

// The Russian reason for a result code of the embedded database (an extended code counts by
// its primary code); empty for a code without one.
QString SqliteReason(int code);

// The Russian reason for a failure of the embedded database with that result code, and the
// database's own text when the code has none or the text is a trigger's. For callers of the
// library itself; the replaced text goes to the trace.
QString Reason(int code, const QString& databaseText);

// what, a colon and the reason of error, or what alone when the error has no text. The reason
// is the Russian one when the codes are the embedded database's and the code has one, and the
// database's own text otherwise.
QString Message(const QString& what, const QSqlError& error, bool sqliteCodes);

} // namespace DbErrorText
