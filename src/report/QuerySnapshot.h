#pragma once

#include <QString>
#include <memory>
#include <vector>

class TDbQuery;
struct TReportSource;

// A column of the table view over the journal query, as the report needs it.
struct TViewColumn {
    QString FieldName;
    QString Title;
    int Width = 64; // pixels
    bool Visible = true;
};

// The columns of a table view that shows every field of the query in field order, titled by
// the field labels, each as wide as its typical text; for reports made without a window.
std::vector<TViewColumn> DefaultViewColumns(TDbQuery& query, int sampleRows = 200);

// Copies what the report prints from the open journal query, on the thread that owns the
// query: every record, or only the selected ones (0-based record positions) when two or more
// are selected, in query order. Neither the current record nor the query's state changes;
// a record being edited is copied as edited. A column whose field is gone prints empty.
std::shared_ptr<TReportSource> TakeReportSource(TDbQuery& query,
                                                const std::vector<TViewColumn>& columns,
                                                std::vector<int> selected = {},
                                                int screenPpi = 96);
