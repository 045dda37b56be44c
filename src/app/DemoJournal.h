#pragma once

#include <QString>

// The demo journal and the empty template the program starts from on a fresh machine.
namespace DemoJournal {

QString TemplateFileName(); // "template-msk.db"

// Writes an empty journal (the tables and the alias rows) to path; with records > 0 also
// that many generated records. The file appears whole or not at all. Throws EDatabaseError.
void Create(const QString& path, int records, unsigned seed = 20261210);

// Creates the journal and the template in the data folder when they are missing; an
// existing file is never touched.
void EnsureFiles(const QString& dataDir, int records);

} // namespace DemoJournal
