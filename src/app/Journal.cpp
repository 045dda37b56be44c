#include "app/Journal.h"

#include "app/JournalKeyReader.h"
#include "messages/Trace.h"
#include "platform/db/DbError.h"
#include "platform/db/ValueText.h"

#include <optional>


TJournal::TJournal(const QString& dataDir, QObject* parent)
    : QObject(parent)
    , fDb(dataDir)
    , fTbl(fDb)
{
    fTbl.SetSQL(InitialSQL());
    connect(&fTbl, &TDbQuery::AfterOpen, this, &TJournal::OnAfterOpen);
}

TJournal::~TJournal() = default;

void TJournal::ReadKeysInBackground()
{
    fKeyReader = std::make_unique<TJournalKeyReader>(fDb.DataDir(), fDb.ConnectionString());
    fTbl.SetKeyReader([this](const QString& sql, const QVariantList& values) {
        return fKeyReader->Read(sql, values);
    });
}

void TJournal::Start()
{
    fDb.Open();
    RememberFile();
    if (fDb.Dialect() == sdOther)
        TraceText(QStringLiteral("Источник данных %1: поиск по журналу различает прописные и "
                                 "строчные буквы, даты ищутся в виде, в котором они хранятся.")
                      .arg(fDb.ConnectionString()),
            TRACE_MESSAGE);
    fTbl.Open();
}

void TJournal::RememberFile() { fFile = TFileIdentity::Of(fDb.FilePath()); }

bool TJournal::FileReplaced() const
{
    // A name that leads nowhere for the moment (an archive halfway through its renames) is
    // not a new journal yet.
    const TFileIdentity now = TFileIdentity::Of(fDb.FilePath());
    return fFile.Known && now.Known && !(now == fFile);
}

bool TJournal::ConnectionLost() const
{
    return fTbl.Active() && fDb.Dialect() != sdSqlite && !fDb.Alive();
}

void TJournal::ReconnectKeepingEdit()
{
    const TDbQuery::TKeptEdit kept = fTbl.KeepEdit();
    const int recNo = fTbl.RecNo();
    Reconnect();
    if (recNo > 0 && fTbl.RecordCount() > 0)
        fTbl.SetRecNo(std::min(recNo, fTbl.RecordCount()));
    fTbl.RestoreEdit(kept);
}

void TJournal::Reconnect()
{
    if (fTbl.Active() && fTbl.State() != dsBrowse)
        fTbl.Cancel();
    ReopenSame([this] {
        fDb.Close();
        fDb.Open();
        RememberFile();
    });
}

void TJournal::WritePending()
{
    if (fTbl.Active() && fTbl.State() != dsBrowse) {
        if (fTbl.Modified())
            fTbl.Post();
        else
            fTbl.Cancel();
    }
}

void TJournal::Reopen(const QString& sql)
{
    WritePending();
    fTbl.Close();
    fTbl.SetSQL(sql);
    fTbl.Open();
}

void TJournal::Refresh()
{
    // A record another workstation changed since it was read cannot be written; reading
    // again shows the other's change, and the user's edit goes back on top of it.
    std::optional<TDbQuery::TKeptEdit> kept;
    try {
        WritePending();
    } catch (const ERecordConflict&) {
        kept = fTbl.KeepEdit();
    }
    const int recNo = fTbl.Active() ? fTbl.RecNo() : 0;
    ReopenSame();
    if (recNo > 0 && fTbl.RecordCount() > 0)
        fTbl.SetRecNo(std::min(recNo, fTbl.RecordCount()));
    if (kept)
        fTbl.RestoreEdit(*kept);
}

void TJournal::ReopenSame(const std::function<void()>& whileClosed)
{
    const std::vector<TDbParam> params = fTbl.Params();
    const QString sql = fTbl.SQL();
    fTbl.Close();
    if (whileClosed)
        whileClosed();
    fTbl.SetSQL(sql);
    for (const TDbParam& p : params)
        if (TDbParam* mine = fTbl.FindParam(p.Name))
            mine->Value = p.Value;
    fTbl.Open();
}

void TJournal::OnAfterOpen()
{
    ApplyAliases();
    emit JournalOpened();
}

void TJournal::ApplyAliases()
{
    fAliasedCount = 0;
    TDbQuery alias(fDb);
    // Whatever happens in the pass, the grids get their row counts and the alias query is
    // closed; an error still reaches the caller afterwards.
    struct TFinish {
        TJournal* Journal;
        TDbQuery& Alias;
        ~TFinish()
        {
            Alias.Close();
            emit Journal->AliasesApplied(Journal->fAliasedCount);
        }
    } finish { this, alias };

    alias.SetSQL(AliasSQL());
    alias.Open();
    alias.First();
    TDbField& fname = alias.FieldByName(QStringLiteral("FNAME"));
    TDbField& fdesc = alias.FieldByName(QStringLiteral("FDESC"));
    while (!alias.Eof()) {
        const QString name = fname.AsString();
        if (!name.isEmpty()) {
            if (TDbField* field = fTbl.FindField(name)) {
                const QString label = fdesc.AsString();
                if (!label.isEmpty())
                    field->SetDisplayLabel(label);
                field->SetIndex(fAliasedCount);
                if (field->IsFloat())
                    field->SetDisplayFormat(QStringLiteral("0.0000"));
                ++fAliasedCount;
            }
        }
        alias.Next();
    }
}

bool TJournal::IsValidRow(int row) const
{
    return fTbl.Active() && row >= 1 && row <= fTbl.FieldCount();
}

bool TJournal::RowLabel(int row, QString& label) const
{
    if (!IsValidRow(row))
        return false;
    label = fTbl.Field(row - 1).DisplayLabel();
    return true;
}

bool TJournal::RowValue(int row, QString& value) const
{
    if (!IsValidRow(row))
        return false;
    value = fTbl.Field(row - 1).DisplayText();
    return true;
}

bool TJournal::RowEditText(int row, QString& text) const
{
    if (!IsValidRow(row))
        return false;
    const TDbField& field = fTbl.Field(row - 1);
    const QVariant value = field.Value();
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    const TFieldType type = field.DataType();
    if (!value.isNull() && isNumber && (type == ftFloat || type == ftCurrency || type == ftBCD)) {
        // The shortest text that reads back as the same number, with the locale's separator
        // and no grouping, which the field's own conversion takes again.
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        text = locale.toString(number, 'f', QLocale::FloatingPointShortest);
    } else {
        text = ValueText::Display(value, type, QString(), QLocale());
    }
    return true;
}

bool TJournal::StoreRow(int row, const QString& text)
{
    if (!IsValidRow(row))
        return false;
    fTbl.Edit();
    fTbl.Field(row - 1).SetAsWideString(text);
    return true;
}

void TJournal::Post()
{
    if (fTbl.State() == dsEdit || fTbl.State() == dsInsert)
        fTbl.Post();
}

void TJournal::Cancel()
{
    if (fTbl.Active())
        fTbl.Cancel();
}
