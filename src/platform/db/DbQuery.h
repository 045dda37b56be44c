#pragma once

#include "platform/db/DbField.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

class TDbConnection;
class QSqlQuery;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

struct TDbParam {
    QString Name;
    QVariant Value; // invalid: the parameter has no value (bound as null)
};

// A query over a connection, with the navigation, field list and editing of a data set.
//
// A query of the form "select * from TABLE ..." on a table with an integer key reads, at
// open, only the keys of its result in order; rows are then read by key in small pages as
// they are wanted. That keeps opening a large journal fast and holds no read cursor open while
// the user works, which on the embedded database would block other workstations' writes.
// Edits are written to the table by that key. Any other query is read whole and cannot be
// edited.
class TDbQuery : public QObject {
    Q_OBJECT
public:
    explicit TDbQuery(TDbConnection& connection, QObject* parent = nullptr);
    ~TDbQuery() override;

    // Replaces the text and declares the parameters it names (a colon and a name, outside
    // quoted literals), in order of first appearance. The query must be closed.
    void SetSQL(const QString& text);
    const QString& SQL() const { return fSQL; }
    std::vector<TDbParam>& Params() { return fParams; }
    const std::vector<TDbParam>& Params() const { return fParams; }
    TDbParam* FindParam(const QString& name);

    void Open(); // throws EDatabaseError; the query stays closed on failure

    // Reads the keys of a keyed query from its key query (positional "?" parameters) and
    // their values, on whatever thread and connection it likes; throws EDatabaseError. By
    // default the query reads them itself.
    using TKeyReader
        = std::function<std::vector<qint64>(const QString& sql, const QVariantList& values)>;
    void SetKeyReader(TKeyReader reader) { fKeyReader = std::move(reader); }
    void Close();
    bool Active() const { return fState != dsInactive; }
    TDataSetState State() const { return fState; }

    // Navigation. Leaving a record that is being edited posts it first.
    void First();
    void Next();
    void Prior();
    void Last();
    void MoveBy(int distance);
    bool Eof() const { return fEof; }
    bool Bof() const { return fBof; }
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const { return int(fKeys.size()); }
    int RecNo() const { return fRecNo + 1; } // 1-based, 0 without a current record
    // Positions count a new record being inserted, as a view shows it.
    void SetRecNo(int recNo);

    int FieldCount() const { return int(fFields.size()); }
    TDbField& Field(int index) const; // throws EDatabaseError when out of range
    TDbField* FindField(const QString& name) const; // ignores letter case
    TDbField& FieldByName(const QString& name) const;

    void Edit();
    void Insert(); // a new record before the current one
    void Append(); // a new record at the end
    void Delete();
    void Post();
    void Cancel(); // drops every change not yet written
    bool Modified() const;
    // Whether the record being edited has a change of this field not yet written.
    bool FieldModified(const TDbField& field) const;
    bool CanModify() const { return fKeyed; }

    // An edit not yet written, by field name, to be put back after the query is read again
    // (a refresh after another workstation changed the record).
    struct TKeptEdit {
        qint64 Key = 0;
        std::vector<std::pair<QString, QVariant>> Changed; // what the user changed
        std::vector<std::pair<QString, QVariant>> All; // every field of the record
    };
    TKeptEdit KeepEdit() const;
    // Puts a kept edit back: into its record when that is still there (the other
    // workstation's changes of other fields stay), else as a new record with every value.
    void RestoreEdit(const TKeptEdit& edit);

    // Values of any record by position (0-based), for views that show many rows at once.
    // The record being edited shows its buffer.
    QVariant ValueAt(int record, int column);
    QString DisplayTextAt(int record, const TDbField& field);

signals:
    void AfterOpen();
    // While the fields are still there: views take note of how they showed them.
    void BeforeClose();
    void AfterScroll();
    void AfterClose();
    void StateChanged();
    // A record's values changed in the database (posted) or in the edit buffer.
    void RecordChanged(int record);
    // Each pair brackets the change, so that item views can follow it row by row.
    void RecordsAboutToBeInserted(int first, int count);
    void RecordsInserted(int first, int count);
    void RecordsAboutToBeRemoved(int first, int count);
    void RecordsRemoved(int first, int count);

private:
    friend class TDbField;
    using TRow = std::vector<QVariant>;

    void MoveField(TDbField* field, int index);
    QVariant CurrentValue(int column) const;
    void SetBufferValue(int column, const QVariant& value);
    void CheckActive() const;
    void CheckBrowseMode(); // posts a pending edit before a move
    // The move about to start drops the current record: a new one nobody filled in.
    bool LeavingEmptyInsert() const;
    void MoveTo(int index);
    void BeginInsert(int position);
    const TRow* RowAt(int record);
    void FetchPage(int record);
    void OpenKeyed(const QString& table, const QString& keyColumn, const QString& rest);
    void OpenLoaded();
    void BuildFields(const QStringList& names, const std::vector<TFieldType>& types);
    void BindParams(QSqlQuery& query) const;
    QVariantList PositionalValues() const;
    QVariant StorageValue(const QVariant& value, TFieldType type) const;
    void SetState(TDataSetState state);
    [[noreturn]] void Fail(const QString& what, const QSqlQuery& query) const;

    TDbConnection& fConnection;
    TKeyReader fKeyReader;
    QString fSQL;
    QString fPositionalSQL;
    QStringList fParamOrder; // one entry per "?" of fPositionalSQL
    std::vector<TDbParam> fParams;

    TDataSetState fState = dsInactive;
    std::vector<std::unique_ptr<TDbField>> fFields;
    QString fTable;
    QString fKeyColumn;
    bool fKeyed = false;
    std::vector<qint64> fKeys; // the result in order; for a loaded query, row numbers
    std::vector<TRow> fLoadedRows;
    std::unordered_map<qint64, TRow> fCache;
    int fRecNo = -1;
    bool fBof = true;
    bool fEof = true;

    // The record being edited as it was read, to tell whether another workstation changed it.
    bool ReadRowForUpdate(qint64 key, TRow& row) const;
    // The record as messages name it after "Запись": a blank, the first shown field's label
    // and its value as read; empty when that value is.
    QString RecordName() const;

    TRow fBuffer;
    TRow fOriginal;
    std::vector<bool> fModifiedColumns;
    static constexpr qint64 kNewRecord = std::numeric_limits<qint64>::min();
};
