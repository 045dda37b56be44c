#include "app/ListCommand.h"

#include "app/CommandLine.h"
#include "app/Journal.h"
#include "app/JournalQuery.h"
#include "platform/db/DbError.h"

#include <map>

namespace {

class TLineWriter {
public:
    explicit TLineWriter(std::FILE* out)
        : fOut(out)
    {
    }
    ~TLineWriter() { Flush(); }

    void Line(const QString& text)
    {
        fBuffer += text.toUtf8();
        fBuffer += '\n';
        if (fBuffer.size() > 1 << 16)
            Flush();
    }
    void Flush()
    {
        std::fwrite(fBuffer.constData(), 1, size_t(fBuffer.size()), fOut);
        std::fflush(fOut);
        fBuffer.clear();
    }

private:
    std::FILE* fOut;
    QByteArray fBuffer;
};

QString Escaped(QString text)
{
    text.replace(u'\t', QStringLiteral("\\t"));
    text.replace(u'\r', QStringLiteral("\\r"));
    text.replace(u'\n', QStringLiteral("\\n"));
    return text;
}

} // namespace

void OpenJournalForOptions(const TCommandLine& options, TJournal& journal)
{
    if (!options.Database.isEmpty())
        journal.Connection().SetConnectionString(options.Database);
    journal.Start();
    TDbQuery& tbl = journal.Query();

    TJournalQueryBuilder builder;
    builder.SetDialect(journal.Connection().Dialect());
    if (options.Sort || options.Reverse)
        builder.SetSortItem(options.Sort.value_or(0), options.Reverse);
    if (options.TitleSort)
        builder.SetTitleSort(tbl.FieldByName(*options.TitleSort).FieldName(), options.Reverse);

    const int filterRows = TJournal::GridRowCount(1, journal.AliasedCount()) - 1;
    std::map<int, QString> filters;
    for (const auto& [row, value] : options.Filters) {
        if (row > filterRows)
            throw EDatabaseError(
                QStringLiteral("В фильтре нет строки %1: в нём строк %2.").arg(row).arg(filterRows));
        filters[row] = value;
    }
    TQueryInputs inputs;
    inputs.SearchText = options.Search.value_or(TJournalQueryBuilder::SearchPlaceholder());
    inputs.FilterRowCount = filterRows;
    inputs.FilterValue = [&](int row) {
        const auto it = filters.find(row);
        return it == filters.end() ? QString() : it->second;
    };
    if (options.Full)
        builder.ApplyFullTable(journal);
    else if (options.AnyQuery())
        builder.ApplyQuery(journal, inputs);
}

namespace {

void Run(const TCommandLine& options, TLineWriter& out)
{
    TJournal journal(options.DataDir);
    OpenJournalForOptions(options, journal);
    TDbQuery& tbl = journal.Query();

    out.Line(QStringLiteral("-- ") + tbl.SQL());
    for (const TDbParam& p : tbl.Params())
        if (p.Value.isValid())
            out.Line(QStringLiteral("-- :%1 = %2").arg(p.Name, p.Value.toString()));
    QStringList labels;
    for (int i = 0; i < tbl.FieldCount(); ++i)
        labels << Escaped(tbl.Field(i).DisplayLabel());
    out.Line(labels.join(u'\t'));
    for (tbl.First(); !tbl.Eof(); tbl.Next()) {
        QStringList values;
        for (int i = 0; i < tbl.FieldCount(); ++i)
            values << Escaped(tbl.Field(i).DisplayText());
        out.Line(values.join(u'\t'));
    }
}

} // namespace

int RunListCommand(const TCommandLine& options, std::FILE* out, std::FILE* err)
{
    try {
        TLineWriter writer(out);
        Run(options, writer);
        return 0;
    } catch (const EDatabaseError& e) {
        std::fflush(out);
        std::fprintf(err, "%s\n", e.Message().toUtf8().constData());
        return 1;
    }
}
