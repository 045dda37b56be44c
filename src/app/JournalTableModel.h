#pragma once

#include <QAbstractTableModel>
#include <functional>

class TDbQuery;

// The journal query as an item model for the table view: one row per record, one column per
// field in the field list's order, titled with the field labels. Rows are read from the
// query as the view asks for them, so a large journal scrolls without being loaded.
class TJournalTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TJournalTableModel(TDbQuery& query, QObject* parent = nullptr);

    // Where a failed edit is reported (the message is the data layer's own text).
    void SetErrorHandler(std::function<void(const QString&)> handler)
    {
        fOnError = std::move(handler);
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The field name of a column, for a click on its title.
    QString FieldNameAt(int column) const;

private:
    void Reset();
    void RecordChanged(int record);

    TDbQuery& fQuery;
    std::function<void(const QString&)> fOnError;
    int fCurrentRow = -1;
};
