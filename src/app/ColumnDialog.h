#pragma once

class QString;
class QTableView;
class QWidget;

// The column dialog over a table view: one box per column of the view's model, titled from
// the model's horizontal header, ticked when the column is shown with a width above 0. Each
// tick shows or hides its column at once.

// Runs the dialog modally, owned by and centred on owner.
void ShowColumnDialog(QTableView& view, QWidget* owner);

// Fills in the title and the state of column num; false when there is no such column.
bool GetColumnState(const QTableView& view, int num, QString& Name, bool& state);

// Shows or hides column num. A column shown again with no width gets the default width, so
// that it does not stay invisible while ticked.
void SetColumnVisible(QTableView& view, int num, bool flag);
