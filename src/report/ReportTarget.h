#pragma once

#include <QString>
#include <QStringList>

// Why a report may not be written to fileName, or an empty text when it may.
//
// A report file replaces whatever its name names, so a slip in the name (the journal's
// instead of the PDF's) would put a one-page report where the journal was. No report is
// written over one of protectedFiles, compared by the file they name, so that another
// spelling of the path, a symbolic or a hard link is caught as well; nor over any existing
// SQLite database, so that an archive is safe under any name and in any folder.
QString ReportTargetRefusal(const QString& fileName, const QStringList& protectedFiles = {});

// The names SQLite keeps beside a database file while it is in use.
QStringList DatabaseCompanionFiles(const QString& databaseFile);
