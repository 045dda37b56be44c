#include "app/JournalTableModel.h"

#include "platform/db/DbError.h"
#include "platform/db/DbQuery.h"

TJournalTableModel::TJournalTableModel(TDbQuery& query, QObject* parent)
    : QAbstractTableModel(parent)
    , fQuery(query)
{
    connect(&fQuery, &TDbQuery::AfterOpen, this, &TJournalTableModel::Reset);
    connect(&fQuery, &TDbQuery::AfterClose, this, &TJournalTableModel::Reset);
    connect(&fQuery, &TDbQuery::RecordChanged, this, &TJournalTableModel::RecordChanged);
    connect(&fQuery, &TDbQuery::RecordsAboutToBeInserted, this,
            [this](int first, int count) { beginInsertRows({}, first, first + count - 1); });
    connect(&fQuery, &TDbQuery::RecordsInserted, this, [this] { endInsertRows(); });
    connect(&fQuery, &TDbQuery::RecordsAboutToBeRemoved, this,
            [this](int first, int count) { beginRemoveRows({}, first, first + count - 1); });
    connect(&fQuery, &TDbQuery::RecordsRemoved, this, [this] { endRemoveRows(); });
    // The record indicator follows the current record and its state.
    auto indicator = [this] {
        const int row = fQuery.RecNo() - 1;
        const int old = fCurrentRow;
        fCurrentRow = row;
        if (old >= 0 && old < rowCount())
            emit headerDataChanged(Qt::Vertical, old, old);
        if (row >= 0 && row < rowCount())
            emit headerDataChanged(Qt::Vertical, row, row);
    };
    connect(&fQuery, &TDbQuery::AfterScroll, this, indicator);
    connect(&fQuery, &TDbQuery::StateChanged, this, indicator);
}

void TJournalTableModel::Reset()
{
    beginResetModel();
    fCurrentRow = fQuery.RecNo() - 1;
    endResetModel();
}

void TJournalTableModel::RecordChanged(int record)
{
    if (record >= 0 && record < rowCount())
        emit dataChanged(index(record, 0), index(record, columnCount() - 1));
}

int TJournalTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !fQuery.Active() ? 0 : fQuery.RecordCount();
}

int TJournalTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !fQuery.Active() ? 0 : fQuery.FieldCount();
}

QVariant TJournalTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole)
        return {};
    try {
        const TDbField& field = fQuery.Field(index.column());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(
                (field.IsNumeric() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
        return fQuery.DisplayTextAt(index.row(), field);
    } catch (const EDatabaseError&) {
        // A page that cannot be read (the database went away) shows empty cells rather than
        // breaking the painting of the whole view.
        return {};
    }
}

QVariant TJournalTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columnCount() ? fQuery.Field(section).DisplayLabel() : QVariant();
    if (section != fQuery.RecNo() - 1)
        return QString();
    switch (fQuery.State()) {
    case dsEdit:
        return QStringLiteral("I");
    case dsInsert:
        return QStringLiteral("*");
    default:
        return QStringLiteral("▶");
    }
}

Qt::ItemFlags TJournalTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && fQuery.CanModify())
        f |= Qt::ItemIsEditable;
    return f;
}

bool TJournalTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    try {
        if (fQuery.RecNo() - 1 != index.row())
            fQuery.SetRecNo(index.row() + 1);
        TDbField& field = fQuery.Field(index.column());
        const QString text = value.toString();
        if (text == fQuery.DisplayTextAt(index.row(), field))
            return true; // an editor closed without a change leaves the record as it was
        fQuery.Edit();
        field.SetAsWideString(text);
        return true;
    } catch (const EDatabaseError& e) {
        if (fOnError)
            fOnError(e.Message());
        return false;
    }
}

QString TJournalTableModel::FieldNameAt(int column) const
{
    return column >= 0 && column < columnCount() ? fQuery.Field(column).FieldName() : QString();
}
