#pragma once

#include "platform/db/DbConnection.h"
#include "platform/db/DbQuery.h"
#include "platform/db/FileIdentity.h"

#include <QObject>
#include <functional>
#include <memory>

class TJournalKeyReader;

// The journal: the connection to its database, the journal query and the alias pass that
// relabels and reorders the journal's fields after every open.
class TJournal : public QObject {
    Q_OBJECT
public:
    explicit TJournal(const QString& dataDir = QString(), QObject* parent = nullptr);
    ~TJournal() override;

    static QString InitialSQL() { return QStringLiteral("select * from analysis"); }
    static QString AliasSQL()
    {
        return QStringLiteral("select * from alias where (ord>=0) order by ord");
    }

    TDbConnection& Connection() { return fDb; }
    TDbQuery& Query() { return fTbl; }
    const TDbQuery& Query() const { return fTbl; }

    // Opens the connection and the journal query with its current text.
    void Start();
    // Writes a record being edited (an untouched new one is dropped): a query is never
    // closed over an edit. Throws when the database refuses it, and the edit stays.
    void WritePending();
    // Writes a record being edited, closes the journal query, replaces its text and opens
    // it again.
    void Reopen(const QString& sql);
    // Reads the same query again with the same parameter values, after writing a record
    // being edited; the current record stays at its position where it can.
    void Refresh();

    // From now on the journal query reads which records it finds on a thread of its own,
    // and the caller's windows stay painted meanwhile (see TJournalKeyReader).
    void ReadKeysInBackground();

    // Relabels, reorders and formats the fields by the alias table; runs after every open.
    void ApplyAliases();
    int AliasedCount() const { return fAliasedCount; }
    // The row count of a form or filter grid: its fixed rows and one data row per aliased
    // field, but never fewer data rows than fixed rows.
    static int GridRowCount(int fixedRows, int aliasedCount)
    {
        return fixedRows + std::max(aliasedCount, fixedRows);
    }

    // The form and filter grids address the fields by grid row, 1 for the first data row.
    // An invalid row is not handled, so the grid keeps its own content.
    bool IsValidRow(int row) const;
    bool RowLabel(int row, QString& label) const;
    bool RowValue(int row, QString& value) const;
    // The value of row r as it is edited: the whole stored value in the user's locale, not
    // rounded to the field's display picture, so that writing it back changes nothing.
    bool RowEditText(int row, QString& text) const;
    bool StoreRow(int row, const QString& text); // puts the query into edit mode first

    // Whether the file the connection opened is no longer the journal under its name: another
    // workstation has moved it into the archive and put a new journal in its place. The old
    // file then still reads last year's records and refuses every write.
    bool FileReplaced() const;
    // Opens the journal under its name anew, on a new connection, with the same query text
    // and parameters; a record being edited is dropped.
    void Reconnect();
    // The connection was open and no longer answers (the server restarted, the network
    // broke).
    bool ConnectionLost() const;
    // Connects again and reads the same query; a record being edited keeps its changes and
    // can be posted afterwards.
    void ReconnectKeepingEdit();

    void Post(); // in browse mode nothing happens
    void Cancel();
    int RecordCount() const { return fTbl.Active() ? fTbl.RecordCount() : 0; }

signals:
    // After the alias pass of an open, with the aliased count: the grids set their row counts.
    void AliasesApplied(int aliasedCount);
    // After the alias pass: the table view restores its column widths.
    void JournalOpened();

private:
    void OnAfterOpen();
    void RememberFile();
    // Closes the journal query and opens it again with the same text and parameter values.
    void ReopenSame(const std::function<void()>& whileClosed = {});

    TDbConnection fDb;
    TDbQuery fTbl;
    std::unique_ptr<TJournalKeyReader> fKeyReader;
    int fAliasedCount = 0;
    TFileIdentity fFile;
};
