#pragma once

#include "platform/db/DbQuery.h"

#include <QString>
#include <memory>
#include <vector>

class TDbConnection;
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

// The journal query as a description a worker can run again on a connection of its own:
// the connection, the query text with its parameter values, the field display formats the
// alias pass gave, and the view's columns. Taking it costs nothing on the main thread,
// whatever the size of the journal; the report then shows the records as the database holds
// them when the worker reads them (edits not yet posted are not in it).
struct TReportQuery {
    QString DataDir;
    QString ConnectionString;
    QString SQL;
    std::vector<TDbParam> Params;
    std::vector<std::pair<QString, QString>> DisplayFormats; // field name, picture
    std::vector<TViewColumn> Columns;
    int ScreenPpi = 96;
};

// On the thread that owns the query.
TReportQuery DescribeReportQuery(const TDbConnection& connection, const TDbQuery& query,
                                 const std::vector<TViewColumn>& columns, int screenPpi = 96);
// On any thread: opens a connection of its own, runs the query and copies every record.
// Throws EDatabaseError.
std::shared_ptr<TReportSource> ReadReportSource(const TReportQuery& description);
