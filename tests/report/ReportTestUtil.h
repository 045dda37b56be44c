#pragma once

#include "report/RecordedPage.h"
#include "report/ReportSource.h"

#include <QStringList>
#include <memory>

inline QStringList PageTexts(const TRecordedPage& page)
{
    QStringList out;
    for (const TPageItem& item : page.Items)
        if (item.Kind == pikText)
            out << item.Text;
    return out;
}

// A source of rows of texts under the given titles, each column 64 pixels wide at 96 ppi.
inline std::shared_ptr<TReportSource> MakeSource(const QStringList& titles,
                                                 const std::vector<QStringList>& rows)
{
    auto src = std::make_shared<TReportSource>();
    for (const QString& t : titles)
        src->Columns.push_back({ t, 64, true });
    for (const QStringList& r : rows)
        src->AppendRow(std::vector<QString>(r.begin(), r.end()));
    return src;
}
