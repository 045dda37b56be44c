#pragma once

#include <QString>

class TDbConnection;

// The demo journal and the empty template the program starts from on a fresh machine.
namespace DemoJournal {

QString TemplateFileName(); // "template-msk.db"

// Writes an empty journal (the tables and the alias rows) to path; with records > 0 also
// that many generated records. The file appears whole or not at all. Throws EDatabaseError.
void Create(const QString& path, int records, unsigned seed = 20261210);

// Creates the journal's tables and that many generated records on the PostgreSQL server the
// connection names (directly or through an ODBC data source), all in one transaction.
// Refuses, changing nothing, when the server has a journal already or the connection is no
// such server. Throws EDatabaseError.
void CreateOnServer(TDbConnection& connection, int records, unsigned seed = 20261210);
QString ServerMadeText(int records);

// The files EnsureFiles made; a path is empty when that file was there already.
struct TMadeFiles {
    QString Journal;
    QString Template;
};

// Creates the journal and the template in the data folder when they are missing; an
// existing file is never touched.
TMadeFiles EnsureFiles(const QString& dataDir, int records);

// One line for the user on what EnsureFiles made in dataDir, and where.
QString MadeFilesText(const TMadeFiles& made, const QString& dataDir, int records);

} // namespace DemoJournal
