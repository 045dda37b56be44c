#include "platform/db/DbQuery.h"

#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbErrorText.h"
#include "platform/db/ValueText.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

namespace {

constexpr int kPageSize = 64;
constexpr size_t kCacheLimit = 8192;

TFieldType FieldTypeFromMeta(const QSqlField& field)
{
    switch (field.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
        return ftInteger;
    case QMetaType::Double:
    case QMetaType::Float:
        return field.precision() > 0 && field.precision() < 15 ? ftBCD : ftFloat;
    case QMetaType::Bool:
        return ftBoolean;
    case QMetaType::QDate:
        return ftDate;
    case QMetaType::QDateTime:
        return ftDateTime;
    case QMetaType::QTime:
        return ftTime;
    case QMetaType::QByteArray:
        return ftBlob;
    case QMetaType::QString:
        return field.length() <= 0 || field.length() > 255 ? ftMemo : ftString;
    default:
        return ftString;
    }
}

bool IsSqlite(TSqlDialect d) { return d == sdSqlite || d == sdSqliteOdbc; }

// Checking that a record is still as it was read and writing the edit happen under one write
// lock, so that of two workstations posting the same record only the first passes the check.
// The embedded database takes the lock at the start ("immediate"); a server locks the row
// it reads for the update. Dropped without Commit, the lock rolls everything back.
class TWriteLock {
public:
    TWriteLock(const QSqlDatabase& db, TSqlDialect dialect)
        : fDb(db)
        , fSqlite(IsSqlite(dialect))
    {
        if (fSqlite) {
            QSqlQuery begin(fDb);
            fActive = begin.exec(QStringLiteral("begin immediate"));
            if (!fActive)
                fError = begin.lastError();
        } else if (fDb.driver()->hasFeature(QSqlDriver::Transactions)) {
            fActive = fDb.transaction();
            if (!fActive)
                fError = fDb.lastError();
        }
    }
    ~TWriteLock()
    {
        if (!fActive)
            return;
        if (fSqlite)
            QSqlQuery(fDb).exec(QStringLiteral("rollback"));
        else
            fDb.rollback();
    }
    TWriteLock(const TWriteLock&) = delete;
    TWriteLock& operator=(const TWriteLock&) = delete;

    const QSqlError& Error() const { return fError; }
    bool Failed() const { return fError.isValid(); }

    bool Commit()
    {
        if (!fActive)
            return true;
        fActive = false;
        bool done = false;
        if (fSqlite) {
            QSqlQuery commit(fDb);
            done = commit.exec(QStringLiteral("commit"));
            if (!done) {
                fError = commit.lastError();
                QSqlQuery(fDb).exec(QStringLiteral("rollback"));
            }
        } else {
            done = fDb.commit();
            if (!done) {
                fError = fDb.lastError();
                fDb.rollback();
            }
        }
        return done;
    }

private:
    QSqlDatabase fDb;
    bool fSqlite = false;
    bool fActive = false;
    QSqlError fError;
};

} // namespace

TDbQuery::TDbQuery(TDbConnection& connection, QObject* parent)
    : QObject(parent)
    , fConnection(connection)
{
}

TDbQuery::~TDbQuery() = default;

void TDbQuery::SetSQL(const QString& text)
{
    if (Active())
        Close();
    fSQL = text;
    fParams.clear();
    fParamOrder.clear();
    fPositionalSQL.clear();
    fPositionalSQL.reserve(text.size());
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            int j = i + 1;
            while (j < n && text[j] != close)
                ++j;
            fPositionalSQL += QStringView(text).mid(i, std::min(j, n - 1) - i + 1);
            i = j;
            continue;
        }
        if (c == u':' && i + 1 < n && text[i + 1] == u':') { // a cast, not a parameter
            fPositionalSQL += QStringLiteral("::");
            ++i;
            continue;
        }
        if (c == u':' && i + 1 < n && (text[i + 1].isLetter() || text[i + 1] == u'_')) {
            int j = i + 1;
            while (j < n && (text[j].isLetterOrNumber() || text[j] == u'_'))
                ++j;
            const QString name = text.mid(i + 1, j - i - 1);
            if (!FindParam(name))
                fParams.push_back({ name, QVariant() });
            fParamOrder << name;
            fPositionalSQL += u'?';
            i = j - 1;
            continue;
        }
        fPositionalSQL += c;
    }
}

TDbParam* TDbQuery::FindParam(const QString& name)
{
    for (auto& p : fParams)
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

QVariantList TDbQuery::PositionalValues() const
{
    QVariantList values;
    for (const QString& name : fParamOrder) {
        QVariant value;
        for (const auto& p : fParams)
            if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
                value = p.Value;
        values << (value.isValid() ? value : QVariant(QMetaType(QMetaType::QString)));
    }
    return values;
}

void TDbQuery::BindParams(QSqlQuery& query) const
{
    for (const QVariant& value : PositionalValues())
        query.addBindValue(value);
}

void TDbQuery::Fail(const QString& what, const QSqlQuery& query) const
{
    throw EDatabaseError(
        DbErrorText::Message(what, query.lastError(), fConnection.Dialect() == sdSqlite));
}

void TDbQuery::Open()
{
    if (Active())
        return;
    if (!fConnection.Connected())
        fConnection.Open();
    static const QRegularExpression simple(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)(\s.*)?$)"),
        QRegularExpression::CaseInsensitiveOption
            | QRegularExpression::DotMatchesEverythingOption);
    const auto m = simple.match(fPositionalSQL);
    fFields.clear();
    fKeys.clear();
    fLoadedRows.clear();
    fCache.clear();
    fKeyed = false;
    try {
        QString keyColumn;
        if (m.hasMatch()) {
            const QString table = m.captured(1);
            const QSqlDatabase db = fConnection.Database();
            if (IsSqlite(fConnection.Dialect())) {
                keyColumn = QStringLiteral("rowid");
            } else {
                const QSqlIndex pk = db.primaryIndex(table);
                if (pk.count() == 1 && FieldTypeFromMeta(pk.field(0)) == ftInteger)
                    keyColumn = pk.fieldName(0);
            }
            if (!keyColumn.isEmpty())
                OpenKeyed(table, keyColumn, m.captured(2));
        }
        if (!fKeyed)
            OpenLoaded();
    } catch (...) {
        fFields.clear();
        fKeys.clear();
        fLoadedRows.clear();
        fState = dsInactive;
        throw;
    }
    fRecNo = fKeys.empty() ? -1 : 0;
    fBof = true;
    fEof = fKeys.empty();
    SetState(dsBrowse);
    emit AfterOpen();
    emit AfterScroll();
}

void TDbQuery::OpenKeyed(const QString& table, const QString& keyColumn, const QString& rest)
{
    QSqlDatabase db = fConnection.Database();
    // Column names and declared types first, so a missing table is reported as such.
    QStringList names;
    std::vector<TFieldType> types;
    if (IsSqlite(fConnection.Dialect())) {
        QSqlQuery info(db);
        if (!info.exec(QStringLiteral("pragma table_info(%1)").arg(table)))
            Fail(QStringLiteral("Не удалось прочитать описание таблицы %1").arg(table), info);
        while (info.next()) {
            names << info.value(1).toString();
            types.push_back(FieldTypeFromDeclared(info.value(2).toString()));
        }
    } else if (fConnection.Dialect() == sdPostgres) {
        // The server's own description, because the drivers' column records lose the scale
        // of a numeric column (it would show as a float) and differ between QPSQL and ODBC.
        QSqlQuery info(db);
        info.setForwardOnly(true);
        if (!info.prepare(QStringLiteral(
                "select attname, format_type(atttypid, atttypmod) from pg_attribute "
                "where attrelid = to_regclass(?) and attnum > 0 and not attisdropped "
                "order by attnum")))
            Fail(QStringLiteral("Не удалось прочитать описание таблицы %1").arg(table), info);
        info.addBindValue(table);
        if (!info.exec())
            Fail(QStringLiteral("Не удалось прочитать описание таблицы %1").arg(table), info);
        while (info.next()) {
            names << info.value(0).toString();
            types.push_back(FieldTypeFromDeclared(info.value(1).toString()));
        }
    } else {
        const QSqlRecord rec = db.record(table);
        for (int i = 0; i < rec.count(); ++i) {
            names << rec.fieldName(i);
            types.push_back(FieldTypeFromMeta(rec.field(i)));
        }
    }
    if (names.isEmpty())
        throw EDatabaseError(QStringLiteral("Таблица %1 не найдена в базе данных.").arg(table));

    const QString keySql = QStringLiteral("select %1 from %2%3").arg(keyColumn, table, rest);
    if (fKeyReader) {
        fKeys = fKeyReader(keySql, PositionalValues());
    } else {
        QSqlQuery keys(db);
        keys.setForwardOnly(true);
        if (!keys.prepare(keySql))
            Fail(QStringLiteral("Ошибка в запросе"), keys);
        BindParams(keys);
        if (!keys.exec())
            Fail(QStringLiteral("Ошибка в запросе"), keys);
        while (keys.next())
            fKeys.push_back(keys.value(0).toLongLong());
    }
    fTable = table;
    fKeyColumn = keyColumn;
    fKeyed = true;
    BuildFields(names, types);
}

void TDbQuery::OpenLoaded()
{
    QSqlQuery q(fConnection.Database());
    q.setForwardOnly(true);
    if (!q.prepare(fPositionalSQL))
        Fail(QStringLiteral("Ошибка в запросе"), q);
    BindParams(q);
    if (!q.exec())
        Fail(QStringLiteral("Ошибка в запросе"), q);
    const QSqlRecord rec = q.record();
    QStringList names;
    std::vector<TFieldType> types;
    for (int i = 0; i < rec.count(); ++i) {
        names << rec.fieldName(i);
        types.push_back(FieldTypeFromMeta(rec.field(i)));
    }
    while (q.next()) {
        TRow row(rec.count());
        for (int i = 0; i < rec.count(); ++i)
            row[i] = q.value(i);
        fKeys.push_back(qint64(fLoadedRows.size()));
        fLoadedRows.push_back(std::move(row));
    }
    BuildFields(names, types);
}

void TDbQuery::BuildFields(const QStringList& names, const std::vector<TFieldType>& types)
{
    fFields.clear();
    for (int i = 0; i < names.size(); ++i)
        fFields.push_back(std::unique_ptr<TDbField>(new TDbField(this, i, names[i], types[i])));
}

void TDbQuery::Close()
{
    if (!Active())
        return;
    emit BeforeClose();
    fFields.clear();
    fKeys.clear();
    fLoadedRows.clear();
    fCache.clear();
    fBuffer.clear();
    fModifiedColumns.clear();
    fRecNo = -1;
    fBof = fEof = true;
    SetState(dsInactive);
    emit AfterClose();
}

void TDbQuery::SetState(TDataSetState state)
{
    if (fState == state)
        return;
    fState = state;
    emit StateChanged();
}

void TDbQuery::CheckActive() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("Запрос не открыт."));
}

TDbField& TDbQuery::Field(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw EDatabaseError(QStringLiteral("Индекс поля вне допустимого диапазона: %1").arg(index));
    return *fFields[index];
}

TDbField* TDbQuery::FindField(const QString& name) const
{
    for (const auto& f : fFields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TDbField& TDbQuery::FieldByName(const QString& name) const
{
    if (TDbField* f = FindField(name))
        return *f;
    throw EDatabaseError(QStringLiteral("Поле «%1» не найдено.").arg(name));
}

void TDbQuery::MoveField(TDbField* field, int index)
{
    auto it = std::find_if(fFields.begin(), fFields.end(),
                           [&](const auto& f) { return f.get() == field; });
    if (it == fFields.end())
        return;
    index = std::clamp(index, 0, FieldCount() - 1);
    auto owned = std::move(*it);
    fFields.erase(it);
    fFields.insert(fFields.begin() + index, std::move(owned));
}

// Rows ---------------------------------------------------------------------------------------

const TDbQuery::TRow* TDbQuery::RowAt(int record)
{
    if (record < 0 || record >= RecordCount())
        return nullptr;
    const qint64 key = fKeys[record];
    if (key == kNewRecord)
        return &fBuffer;
    if (!fKeyed)
        return &fLoadedRows[size_t(key)];
    auto it = fCache.find(key);
    if (it == fCache.end()) {
        FetchPage(record);
        it = fCache.find(key);
    }
    return it == fCache.end() ? nullptr : &it->second;
}

void TDbQuery::FetchPage(int record)
{
    if (fCache.size() > kCacheLimit)
        fCache.clear();
    const int count = RecordCount();
    const int first = std::max(0, record - kPageSize / 4);
    const int last = std::min(count, first + kPageSize);
    QStringList wanted;
    for (int i = first; i < last; ++i) {
        const qint64 key = fKeys[i];
        if (key != kNewRecord && (i == record || !fCache.count(key)))
            wanted << QString::number(key);
    }
    // Keys are integers the database gave us, so they can stand in the text as they are.
    QSqlQuery q(fConnection.Database());
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("select %1, * from %2 where %1 in (%3)")
                            .arg(fKeyColumn, fTable, wanted.join(u','));
    if (!q.exec(sql))
        Fail(QStringLiteral("Не удалось прочитать записи"), q);
    const int columns = FieldCount();
    while (q.next()) {
        TRow row(columns);
        for (int c = 0; c < columns; ++c)
            row[c] = q.value(c + 1);
        fCache[q.value(0).toLongLong()] = std::move(row);
    }
    // A record another workstation deleted in the meantime reads as empty rather than
    // being fetched again and again.
    for (const QString& k : wanted)
        fCache.try_emplace(k.toLongLong(), TRow(columns));
}

QVariant TDbQuery::CurrentValue(int column) const
{
    if (fState == dsEdit || fState == dsInsert)
        return column < int(fBuffer.size()) ? fBuffer[column] : QVariant();
    const TRow* row = const_cast<TDbQuery*>(this)->RowAt(fRecNo);
    return row && column < int(row->size()) ? (*row)[column] : QVariant();
}

QVariant TDbQuery::ValueAt(int record, int column)
{
    if (record == fRecNo && (fState == dsEdit || fState == dsInsert))
        return column < int(fBuffer.size()) ? fBuffer[column] : QVariant();
    const TRow* row = RowAt(record);
    return row && column >= 0 && column < int(row->size()) ? (*row)[column] : QVariant();
}

QString TDbQuery::DisplayTextAt(int record, const TDbField& field)
{
    return ValueText::Display(ValueAt(record, field.Column()), field.DataType(),
                              field.DisplayFormat(), QLocale());
}

// Navigation ---------------------------------------------------------------------------------

bool TDbQuery::LeavingEmptyInsert() const { return fState == dsInsert && !Modified(); }

void TDbQuery::CheckBrowseMode()
{
    CheckActive();
    if (fState == dsEdit || fState == dsInsert)
        Post();
}

void TDbQuery::MoveTo(int index)
{
    fRecNo = RecordCount() == 0 ? -1 : std::clamp(index, 0, RecordCount() - 1);
    emit AfterScroll();
}

void TDbQuery::First()
{
    CheckBrowseMode();
    fBof = true;
    fEof = RecordCount() == 0;
    MoveTo(0);
}

void TDbQuery::Last()
{
    CheckBrowseMode();
    fEof = true;
    fBof = RecordCount() == 0;
    MoveTo(RecordCount() - 1);
}

void TDbQuery::Next()
{
    // The record after an untouched new one is the one that was current before the insert;
    // dropping the new record already lands on it.
    if (LeavingEmptyInsert()) {
        CheckBrowseMode();
        return;
    }
    CheckBrowseMode();
    if (fRecNo + 1 < RecordCount()) {
        fBof = false;
        fEof = false;
        MoveTo(fRecNo + 1);
    } else {
        fEof = true;
    }
}

void TDbQuery::Prior()
{
    CheckBrowseMode();
    if (fRecNo > 0) {
        fBof = false;
        fEof = false;
        MoveTo(fRecNo - 1);
    } else {
        fBof = true;
    }
}

void TDbQuery::MoveBy(int distance)
{
    if (distance > 0 && LeavingEmptyInsert())
        --distance;
    CheckBrowseMode();
    const int target = fRecNo + distance;
    fBof = target <= 0;
    fEof = target >= RecordCount() - 1 && distance > 0;
    MoveTo(target);
}

void TDbQuery::SetRecNo(int recNo)
{
    // Positions are those the caller saw, the new record included: the records below it
    // move up by one when it is dropped.
    if (LeavingEmptyInsert() && recNo - 1 > fRecNo)
        --recNo;
    CheckBrowseMode();
    if (recNo - 1 == fRecNo)
        return;
    fBof = fEof = false;
    MoveTo(recNo - 1);
}

// Editing ------------------------------------------------------------------------------------

bool TDbQuery::FieldModified(const TDbField& field) const
{
    const int column = field.Column();
    return column >= 0 && column < int(fModifiedColumns.size()) && fModifiedColumns[column];
}

bool TDbQuery::Modified() const
{
    return std::find(fModifiedColumns.begin(), fModifiedColumns.end(), true)
        != fModifiedColumns.end();
}

void TDbQuery::SetBufferValue(int column, const QVariant& value)
{
    if (column < 0 || column >= int(fBuffer.size()))
        return;
    fBuffer[column] = value;
    fModifiedColumns[column] = true;
    emit RecordChanged(fRecNo);
}

void TDbQuery::Edit()
{
    CheckActive();
    if (fState == dsEdit || fState == dsInsert)
        return;
    if (!fKeyed)
        throw EDatabaseError(QStringLiteral(
            "Записи этого запроса нельзя изменить: у таблицы нет целочисленного ключа."));
    if (RecordCount() == 0) {
        Append();
        return;
    }
    const TRow* row = RowAt(fRecNo);
    fBuffer = row ? *row : TRow(FieldCount());
    fOriginal = fBuffer;
    fModifiedColumns.assign(FieldCount(), false);
    SetState(dsEdit);
}

bool TDbQuery::ReadRowForUpdate(qint64 key, TRow& row) const
{
    QSqlQuery q(fConnection.Database());
    q.setForwardOnly(true);
    // The same select as the page reads, so that equal values compare equal.
    QString sql = QStringLiteral("select %1, * from %2 where %1=?")
                      .arg(fKeyColumn, fTable);
    if (fConnection.Dialect() == sdPostgres)
        sql += QStringLiteral(" for update");
    if (!q.prepare(sql))
        Fail(QStringLiteral("Не удалось сохранить запись"), q);
    q.addBindValue(key);
    if (!q.exec())
        Fail(QStringLiteral("Не удалось сохранить запись"), q);
    if (!q.next())
        return false;
    row.assign(size_t(FieldCount()), QVariant());
    for (int c = 0; c < FieldCount(); ++c)
        row[size_t(c)] = q.value(c + 1);
    return true;
}

TDbQuery::TKeptEdit TDbQuery::KeepEdit() const
{
    TKeptEdit kept;
    if (fState != dsEdit && fState != dsInsert)
        return kept;
    kept.Key = fKeys[fRecNo];
    for (const auto& f : fFields) {
        const QVariant& value = fBuffer[f->Column()];
        kept.All.emplace_back(f->FieldName(), value);
        if (fModifiedColumns[f->Column()])
            kept.Changed.emplace_back(f->FieldName(), value);
    }
    return kept;
}

void TDbQuery::RestoreEdit(const TKeptEdit& edit)
{
    CheckActive();
    if (edit.Changed.empty())
        return;
    const auto at = std::find(fKeys.begin(), fKeys.end(), edit.Key);
    const bool stillThere = edit.Key != kNewRecord && at != fKeys.end();
    if (stillThere) {
        SetRecNo(int(at - fKeys.begin()) + 1);
        Edit();
    } else {
        // Gone meanwhile (or never written): a new record with every value typed or read,
        // which the user may post again or cancel.
        Append();
    }
    for (const auto& [name, value] : stillThere ? edit.Changed : edit.All)
        if (TDbField* field = FindField(name); field && !(value.isNull() && !stillThere))
            SetBufferValue(field->Column(), value);
}

QString TDbQuery::RecordName() const
{
    if (fFields.empty())
        return QString();
    const TDbField& first = Field(0);
    const QVariant value
        = first.Column() < int(fOriginal.size()) ? fOriginal[first.Column()] : QVariant();
    const QString text
        = ValueText::Display(value, first.DataType(), first.DisplayFormat(), QLocale());
    return text.isEmpty() ? QString()
                          : QStringLiteral(" «%1» %2").arg(first.DisplayLabel(), text);
}

void TDbQuery::BeginInsert(int position)
{
    CheckBrowseMode();
    if (!fKeyed)
        throw EDatabaseError(QStringLiteral(
            "Записи этого запроса нельзя изменить: у таблицы нет целочисленного ключа."));
    position = std::clamp(position, 0, RecordCount());
    fBuffer.assign(FieldCount(), QVariant());
    fModifiedColumns.assign(FieldCount(), false);
    emit RecordsAboutToBeInserted(position, 1);
    fKeys.insert(fKeys.begin() + position, kNewRecord);
    fRecNo = position;
    fBof = fEof = false;
    SetState(dsInsert);
    emit RecordsInserted(position, 1);
    emit AfterScroll();
}

void TDbQuery::Insert()
{
    CheckActive();
    BeginInsert(fRecNo < 0 ? 0 : fRecNo);
}

void TDbQuery::Append()
{
    CheckActive();
    BeginInsert(RecordCount());
}

QVariant TDbQuery::StorageValue(const QVariant& value, TFieldType type) const
{
    if (value.isNull() || !value.isValid())
        return QVariant(QMetaType(QMetaType::QString));
    if (!IsSqlite(fConnection.Dialect()))
        return value;
    // The embedded database keeps dates as ISO text, which also sorts by date.
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (type == ftDate || dt.time() == QTime(0, 0))
            return dt.date().toString(Qt::ISODate);
        return dt.toString(u"yyyy-MM-dd HH:mm:ss");
    }
    case QMetaType::QTime:
        return value.toTime().toString(u"HH:mm:ss");
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    default:
        return value;
    }
}

void TDbQuery::Post()
{
    CheckActive();
    if (fState == dsBrowse)
        return;
    if (!Modified()) {
        // Nothing typed: an untouched new record is dropped rather than written empty.
        if (fState == dsInsert) {
            Cancel();
        } else {
            SetState(dsBrowse);
            emit RecordChanged(fRecNo);
        }
        return;
    }
    QSqlDatabase db = fConnection.Database();
    QSqlDriver* driver = db.driver();
    auto quoted = [&](const QString& name) {
        return driver->escapeIdentifier(name, QSqlDriver::FieldName);
    };
    const QString table = driver->escapeIdentifier(fTable, QSqlDriver::TableName);
    QStringList columns;
    QVariantList values;
    for (const auto& f : fFields) {
        if (fModifiedColumns[f->Column()]) {
            columns << quoted(f->FieldName());
            values << StorageValue(fBuffer[f->Column()], f->DataType());
        }
    }
    QSqlQuery q(db);
    if (fState == dsEdit) {
        const qint64 key = fKeys[fRecNo];
        TWriteLock lock(db, fConnection.Dialect());
        const bool sqliteCodes = fConnection.Dialect() == sdSqlite;
        if (lock.Failed())
            throw EDatabaseError(DbErrorText::Message(
                QStringLiteral("Не удалось сохранить запись"), lock.Error(), sqliteCodes));
        // Another workstation may have written the record since it was read here; its
        // change is not overwritten unseen.
        TRow now;
        if (!ReadRowForUpdate(key, now))
            throw ERecordConflict(QStringLiteral("Запись%1 не сохранена: её уже нет в базе "
                                                 "данных (возможно, её удалили на другом "
                                                 "рабочем месте). Изменения можно отменить.")
                                      .arg(RecordName()),
                true);
        if (now != fOriginal)
            throw ERecordConflict(
                QStringLiteral("Запись%1 не сохранена: её изменили на другом рабочем месте "
                               "после того, как она была прочитана здесь. Ваши изменения "
                               "остались в записи: «Обновить» покажет её вместе с чужими "
                               "изменениями, после чего её можно сохранить или отменить.")
                    .arg(RecordName()),
                false);
        QStringList sets;
        for (const QString& c : columns)
            sets << c + QStringLiteral("=?");
        if (!q.prepare(QStringLiteral("update %1 set %2 where %3=?")
                           .arg(table, sets.join(u','), fKeyColumn)))
            Fail(QStringLiteral("Не удалось сохранить запись"), q);
        for (const QVariant& v : values)
            q.addBindValue(v);
        q.addBindValue(key);
        if (!q.exec())
            Fail(QStringLiteral("Не удалось сохранить запись"), q);
        if (!lock.Commit())
            throw EDatabaseError(DbErrorText::Message(
                QStringLiteral("Не удалось сохранить запись"), lock.Error(), sqliteCodes));
        fCache.erase(key);
    } else {
        const bool returning = fConnection.Dialect() == sdPostgres;
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                          .arg(table, columns.join(u','), marks.join(u','));
        if (returning)
            sql += QStringLiteral(" returning ") + fKeyColumn;
        if (!q.prepare(sql))
            Fail(QStringLiteral("Не удалось добавить запись"), q);
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            Fail(QStringLiteral("Не удалось добавить запись"), q);
        QVariant id;
        if (returning && q.next())
            id = q.value(0);
        else if (fConnection.Dialect() == sdSqliteOdbc) {
            QSqlQuery last(db);
            if (last.exec(QStringLiteral("select last_insert_rowid()")) && last.next())
                id = last.value(0);
        } else
            id = q.lastInsertId();
        if (!id.isValid()) {
            if (TDbField* keyField = FindField(fKeyColumn))
                id = fBuffer[keyField->Column()];
        }
        fKeys[fRecNo] = id.isValid() ? id.toLongLong() : kNewRecord + 1;
        fCache.erase(fKeys[fRecNo]);
    }
    fBuffer.clear();
    fModifiedColumns.clear();
    SetState(dsBrowse);
    emit RecordChanged(fRecNo);
}

void TDbQuery::Cancel()
{
    CheckActive();
    if (fState == dsInsert) {
        const int at = fRecNo;
        emit RecordsAboutToBeRemoved(at, 1);
        fKeys.erase(fKeys.begin() + at);
        fBuffer.clear();
        fModifiedColumns.clear();
        SetState(dsBrowse);
        emit RecordsRemoved(at, 1);
        fEof = fKeys.empty();
        MoveTo(at);
        return;
    }
    if (fState == dsEdit) {
        fBuffer.clear();
        fModifiedColumns.clear();
        SetState(dsBrowse);
        emit RecordChanged(fRecNo);
    }
}

void TDbQuery::Delete()
{
    CheckActive();
    if (fState == dsInsert) {
        Cancel();
        return;
    }
    if (RecordCount() == 0)
        throw EDatabaseError(QStringLiteral("Нет записи для удаления."));
    if (!fKeyed)
        throw EDatabaseError(QStringLiteral(
            "Записи этого запроса нельзя изменить: у таблицы нет целочисленного ключа."));
    const qint64 key = fKeys[fRecNo];
    QSqlQuery q(fConnection.Database());
    if (!q.prepare(QStringLiteral("delete from %1 where %2=?")
                       .arg(fConnection.Database().driver()->escapeIdentifier(
                                fTable, QSqlDriver::TableName),
                            fKeyColumn)))
        Fail(QStringLiteral("Не удалось удалить запись"), q);
    q.addBindValue(key);
    if (!q.exec())
        Fail(QStringLiteral("Не удалось удалить запись"), q);
    fBuffer.clear();
    fModifiedColumns.clear();
    SetState(dsBrowse);
    const int at = fRecNo;
    emit RecordsAboutToBeRemoved(at, 1);
    fKeys.erase(fKeys.begin() + at);
    fCache.erase(key);
    emit RecordsRemoved(at, 1);
    fEof = fKeys.empty();
    MoveTo(at);
}
