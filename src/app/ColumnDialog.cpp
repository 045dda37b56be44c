#include "app/ColumnDialog.h"

#include "app/VLayForm.h"

#include <QHeaderView>
#include <QTableView>

bool GetColumnState(const QTableView& view, int num, QString& Name, bool& state)
{
    const QAbstractItemModel* model = view.model();
    if (!model || num < 0 || num >= model->columnCount())
        return false;
    Name = model->headerData(num, Qt::Horizontal, Qt::DisplayRole).toString();
    state = !view.isColumnHidden(num) && view.columnWidth(num) > 0;
    return true;
}

void SetColumnVisible(QTableView& view, int num, bool flag)
{
    const QAbstractItemModel* model = view.model();
    if (!model || num < 0 || num >= model->columnCount())
        return;
    view.setColumnHidden(num, !flag);
    if (flag && view.columnWidth(num) == 0)
        view.setColumnWidth(num, view.horizontalHeader()->defaultSectionSize());
}

void ShowColumnDialog(QTableView& view, QWidget* owner)
{
    TVLayForm dialog(owner);
    dialog.SetOnInit([&view](int num, QString& Name, bool& state) {
        return GetColumnState(view, num, Name, state);
    });
    dialog.SetOnCheck([&view](int num, bool flag) { SetColumnVisible(view, num, flag); });
    dialog.exec();
}
