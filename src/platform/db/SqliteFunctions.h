#pragma once

struct sqlite3;

// Functions every connection to the embedded database gets, so that its queries mean what
// the journal's queries mean on the laboratory's server:
//   like(pattern, text[, escape]) ignores case in every script, not just in ASCII, and
//     treats "ё" as "е" the way Russian users search;
//   vsk_datetext(value) gives a stored date as the table shows it, so a search finds a
//     record by the date the user reads.
// Returns false (the connection still works, with the database's own functions) when the
// functions cannot be registered.
bool RegisterJournalFunctions(sqlite3* db);

// The folding used by like: case-folded, "ё" as "е".
class QString;
QString FoldForSearch(const QString& text);
