#pragma once

#include <QString>
#include <vector>

// A column of the table view as the report takes it: its title, its width on screen and
// whether it is shown.
struct TReportColumn {
    QString Title;
    int ScreenWidth = 64; // pixels
    bool Visible = true;
};

// What a report prints, copied from the journal on the thread that owns it, so that the
// layout can run on any thread while the user goes on moving through and editing the
// journal. The report shows the records as they were when the copy was taken.
struct TReportSource {
    std::vector<TReportColumn> Columns; // in table order
    int ScreenPpi = 96; // the screen's pixels per inch that the widths were measured at
    int RowCount = 0;
    std::vector<QString> Texts; // display texts, row after row, one per column

    const QString& Text(int row, int column) const
    {
        return Texts[size_t(row) * Columns.size() + size_t(column)];
    }
    void AppendRow(std::vector<QString>&& row);
};
