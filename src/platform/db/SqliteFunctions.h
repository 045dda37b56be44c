#pragma once

struct sqlite3;

// Functions every connection to the embedded database gets, so that its queries mean what
// the journal's queries mean on the laboratory's server:
//   like(pattern, text[, escape]) ignores case in every script, not just in ASCII, and
//     treats "ё" as "е" the way Russian users search;
//   vsk_joinlike(pattern, kinds, value, ...) is like over the values joined with one blank
//     between them, null taken as empty: the search over a whole record, without making its
//     text. kinds has a 'd' for each value that is a date, to be joined as vsk_datetext
//     gives it, and another character for the others;
//   vsk_datetext(value) gives a stored date as the table shows it, so a search finds a
//     record by the date the user reads. It uses the program's locale of the time the
//     connection was opened.
// Returns false (the connection still works, with the database's own functions) when the
// functions cannot be registered.
bool RegisterJournalFunctions(sqlite3* db);
