#include "report/QuerySnapshot.h"

#include "platform/db/DbConnection.h"
#include "platform/db/DbQuery.h"
#include "report/ReportSource.h"

#include <algorithm>

std::vector<TViewColumn> DefaultViewColumns(TDbQuery& query, int sampleRows)
{
    std::vector<TViewColumn> out;
    if (!query.Active())
        return out;
    const int rows = std::min(query.RecordCount(), std::max(0, sampleRows));
    // About six pixels per character in the table view's 11-pixel font.
    const int charWidth = 6;
    for (int i = 0; i < query.FieldCount(); ++i) {
        const TDbField& f = query.Field(i);
        qsizetype longestWord = 0;
        for (const QString& word : f.DisplayLabel().split(u' ', Qt::SkipEmptyParts))
            longestWord = std::max(longestWord, word.size());
        qsizetype sum = 0;
        for (int r = 0; r < rows; ++r)
            sum += std::min<qsizetype>(query.DisplayTextAt(r, f).size(), 30);
        const qsizetype average = rows > 0 ? (sum + rows - 1) / rows : 0;
        const int chars = int(std::clamp<qsizetype>(std::max(longestWord, std::min<qsizetype>(average, 16)), 4, 24));
        out.push_back({ f.FieldName(), f.DisplayLabel(), chars * charWidth + 10, true });
    }
    return out;
}

std::shared_ptr<TReportSource> TakeReportSource(TDbQuery& query,
                                                const std::vector<TViewColumn>& columns,
                                                std::vector<int> selected, int screenPpi)
{
    auto src = std::make_shared<TReportSource>();
    src->ScreenPpi = screenPpi;
    std::vector<const TDbField*> fields;
    for (const TViewColumn& c : columns) {
        src->Columns.push_back({ c.Title, c.Width, c.Visible });
        fields.push_back(c.Visible && c.Width > 0 && query.Active() ? query.FindField(c.FieldName)
                                                                    : nullptr);
    }
    if (!query.Active())
        return src;

    const int count = query.RecordCount();
    std::vector<int> records;
    if (selected.size() >= 2) {
        std::sort(selected.begin(), selected.end());
        selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
        for (int r : selected)
            if (r >= 0 && r < count)
                records.push_back(r);
    } else {
        records.resize(size_t(count));
        for (int r = 0; r < count; ++r)
            records[size_t(r)] = r;
    }
    src->Texts.reserve(records.size() * columns.size());
    std::vector<QString> row;
    for (int r : records) {
        row.assign(columns.size(), QString());
        for (size_t i = 0; i < fields.size(); ++i)
            if (fields[i])
                row[i] = query.DisplayTextAt(r, *fields[i]);
        src->AppendRow(std::move(row));
    }
    return src;
}

TReportQuery DescribeReportQuery(const TDbConnection& connection, const TDbQuery& query,
                                 const std::vector<TViewColumn>& columns, int screenPpi)
{
    TReportQuery d;
    d.DataDir = connection.DataDir();
    d.ConnectionString = connection.ConnectionString();
    d.SQL = query.SQL();
    d.Params = query.Params();
    for (int i = 0; i < query.FieldCount(); ++i)
        if (!query.Field(i).DisplayFormat().isEmpty())
            d.DisplayFormats.emplace_back(query.Field(i).FieldName(),
                                          query.Field(i).DisplayFormat());
    d.Columns = columns;
    d.ScreenPpi = screenPpi;
    return d;
}

std::shared_ptr<TReportSource> ReadReportSource(const TReportQuery& d)
{
    TDbConnection connection(d.DataDir);
    connection.SetConnectionString(d.ConnectionString);
    connection.Open();
    TDbQuery query(connection);
    query.SetSQL(d.SQL);
    for (const TDbParam& p : d.Params)
        if (TDbParam* mine = query.FindParam(p.Name))
            mine->Value = p.Value;
    query.Open();
    for (const auto& [name, picture] : d.DisplayFormats)
        if (TDbField* f = query.FindField(name))
            f->SetDisplayFormat(picture);
    auto src = TakeReportSource(query, d.Columns, {}, d.ScreenPpi);
    query.Close();
    return src;
}
