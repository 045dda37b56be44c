#include "app/JournalQuery.h"

#include "app/Journal.h"
#include "platform/db/DbError.h"
#include "platform/db/ValueText.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// The locale's short date as a PostgreSQL to_char picture, so the server shows a date the
// way the table does.
QString PostgresDatePicture()
{
    const QString f = QLocale().dateFormat(QLocale::ShortFormat);
    QString out;
    for (int i = 0; i < f.size();) {
        const QChar c = f[i];
        int n = 1;
        while (i + n < f.size() && f[i + n] == c)
            ++n;
        if (c == u'd')
            out += n == 1 ? QStringLiteral("FMDD") : QStringLiteral("DD");
        else if (c == u'M')
            out += n == 1 ? QStringLiteral("FMMM") : QStringLiteral("MM");
        else if (c == u'y')
            out += n <= 2 ? QStringLiteral("YY") : QStringLiteral("YYYY");
        else
            out += QStringLiteral("\"%1\"").arg(QString(n, c));
        i += n;
    }
    return out;
}

} // namespace

QStringList TJournalQueryBuilder::SortItems()
{
    return { QStringLiteral("Сортировать ..."), QStringLiteral("по номеру истории"),
             QStringLiteral("по дате анализа"), QStringLiteral("по дате поступления"),
             QStringLiteral("по дате отбора") };
}

void TJournalQueryBuilder::SetSortItem(int index, bool reverse)
{
    const QString d = reverse ? QStringLiteral("DESC") : QString();
    static const char* const columns[] = { nullptr, "OBJ_NUM", "AN_DATE", "OBJ_DELIVD", "OBJ_GETD" };
    fOrderTerms.clear();
    if (index < 1 || index > 4) {
        fOrderClause.clear();
        return;
    }
    const QString column = QLatin1String(columns[index]);
    fOrderTerms.push_back({ column, reverse });
    if (index == 1) {
        fOrderClause = QStringLiteral("order by OBJ_NUM ") + d;
        return;
    }
    fOrderTerms.push_back({ QStringLiteral("OBJ_NUM"), false });
    fOrderClause = QStringLiteral("order by ") + column + u' ' + d + QStringLiteral(",OBJ_NUM");
}

void TJournalQueryBuilder::SetTitleSort(const QString& fieldName, bool reverse)
{
    fOrderTerms = { { fieldName, reverse } };
    fOrderClause = QStringLiteral(" order by ") + Identifier(fieldName)
        + (reverse ? QStringLiteral(" DESC") : QString());
}

// The embedded database sorts empty values before all others and the server after them;
// the server is told to sort them as the embedded journal does, so that a sort shows the
// same order on both.
QString TJournalQueryBuilder::OrderText() const
{
    if (fDialect != sdPostgres || fOrderTerms.empty())
        return fOrderClause;
    QStringList terms;
    for (const TOrderTerm& t : fOrderTerms)
        terms << Identifier(t.Name)
                + (t.Descending ? QStringLiteral(" DESC nulls last") : QStringLiteral(" nulls first"));
    return QStringLiteral("order by ") + terms.join(u',');
}

QString TJournalQueryBuilder::Identifier(const QString& name) const
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (fDialect == sdAccess || plain.match(name).hasMatch())
        return name;
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString TJournalQueryBuilder::Joiner() const
{
    return fDialect == sdAccess ? QStringLiteral("&' '&") : QStringLiteral("||' '||");
}

// "text like pattern" as the embedded journal matches it: on the server both sides are
// lowered and "ё" becomes "е", so "Фёдоров" is found by "федоров" and "ФЁДОРОВ" alike.
QString TJournalQueryBuilder::Matches(const QString& text, const QString& pattern) const
{
    if (fDialect != sdPostgres)
        return text + QStringLiteral(" like ") + pattern;
    auto fold
        = [](const QString& e) { return QStringLiteral("translate(lower(%1),'ё','е')").arg(e); };
    return fold(text) + QStringLiteral(" like ") + fold(pattern);
}

// The field as the user reads it, for matching with like.
QString TJournalQueryBuilder::MatchTerm(const TQueryField& field) const
{
    const QString f = Identifier(field.Name);
    switch (fDialect) {
    case sdSqlite:
        return field.Date ? QStringLiteral("vsk_datetext(%1)").arg(f) : f;
    case sdPostgres:
        return field.Date ? QStringLiteral("to_char(%1,'%2')").arg(f, PostgresDatePicture())
                          : f + QStringLiteral("::text");
    default:
        return f;
    }
}

// One link of the search chain: "&" of the original treats null as empty, "||" does not, so
// every link is made null-safe or one empty field would hide the whole record.
QString TJournalQueryBuilder::SearchTerm(const TQueryField& field) const
{
    if (fDialect == sdAccess)
        return field.Name;
    QString term = MatchTerm(field);
    // A number is searched for as the table shows it, with the locale's decimal separator,
    // as a date is; the database writes a point. Filters keep the database's own text.
    const QString point = QLocale().decimalPoint();
    if (field.Numeric && !field.Date && point != u"." && point != u"'"
        && (fDialect == sdPostgres || fDialect == sdSqliteOdbc))
        term = QStringLiteral("replace(%1,'.','%2')").arg(term, point);
    return QStringLiteral("coalesce(%1,'')").arg(term);
}

std::vector<TQueryField> TJournalQueryBuilder::FieldsOf(const TDbQuery& query)
{
    std::vector<TQueryField> fields;
    if (!query.Active())
        return fields;
    for (int i = 0; i < query.FieldCount(); ++i) {
        const TDbField& f = query.Field(i);
        fields.push_back({ f.FieldName(), f.IsNumeric(), f.IsDate() });
    }
    return fields;
}

QString TJournalQueryBuilder::Build(const TQueryInputs& inputs,
                                        const std::vector<TQueryField>& fields) const
{
    QString text = TJournal::InitialSQL();

    QString search;
    if (inputs.SearchText != SearchPlaceholder()) {
        // On the embedded database one call joins and matches the values, told which of
        // them are dates; a function takes at most 127 arguments, so a table wider than that
        // falls back to the chain.
        if (fDialect == sdSqlite && !fields.empty() && fields.size() <= 120) {
            QString kinds;
            QStringList values;
            for (const TQueryField& f : fields) {
                kinds += f.Date ? u'd' : u'.';
                values << Identifier(f.Name);
            }
            search = QStringLiteral("vsk_joinlike(:par1,'%1',%2)").arg(kinds, values.join(u','));
        } else {
            QStringList chain;
            for (const TQueryField& f : fields)
                chain << SearchTerm(f);
            search = Matches(QStringLiteral("(") + chain.join(Joiner()) + u')',
                QStringLiteral(":par1"));
        }
    }

    QString list;
    auto add = [&](const QString& condition) {
        list = list.isEmpty() ? condition : list + QStringLiteral(" and ") + condition;
    };
    for (int r = 1; r <= inputs.FilterRowCount; ++r) {
        const QString v = inputs.FilterValue ? inputs.FilterValue(r) : QString();
        if (v.isEmpty())
            continue;
        if (r - 1 >= int(fields.size()))
            throw EDatabaseError(
                QStringLiteral("Индекс поля вне допустимого диапазона: %1").arg(r - 1));
        const TQueryField& field = fields[r - 1];
        if (!field.Numeric || !v.contains(QLatin1String(".."))) {
            add(u'(' + Matches(MatchTerm(field), QStringLiteral(":par_%1").arg(r)) + u')');
            continue;
        }
        const QStringList parts = v.split(QStringLiteral(".."));
        bool hasLower = false, hasUpper = false;
        const double lower = ValueText::ParseNumber(parts.value(0), QLocale(), &hasLower);
        const double upper = ValueText::ParseNumber(parts.value(1), QLocale(), &hasUpper);
        const QString f = Identifier(field.Name);
        const QString lo = QString::number(lower, 'f', 2);
        const QString hi = QString::number(upper, 'f', 2);
        if (hasLower && hasUpper)
            add(QStringLiteral("((%1>=%2) and (%1<=%3))").arg(f, lo, hi));
        else if (hasLower)
            add(QStringLiteral("(%1>=%2)").arg(f, lo));
        else if (hasUpper)
            add(QStringLiteral("(%1<=%2)").arg(f, hi));
    }

    if (!search.isEmpty() || !list.isEmpty())
        text += QStringLiteral(" where ");
    if (!search.isEmpty()) {
        text += search;
        if (!list.isEmpty())
            text += QStringLiteral(" and ") + list;
    } else {
        text += list;
    }
    const QString order = OrderText();
    if (!order.isEmpty())
        text += u' ' + order;
    return text;
}

bool TJournalQueryBuilder::ParamValue(const QString& name, const TQueryInputs& inputs,
                                      QString* value)
{
    if (name == u"par1") {
        *value = u'%' + inputs.SearchText + u'%';
        return true;
    }
    const int underscore = name.indexOf(u'_');
    bool ok = false;
    const int row = underscore < 0 ? 0 : name.mid(underscore + 1).toInt(&ok);
    if (!ok)
        return false;
    *value = u'%' + (inputs.FilterValue ? inputs.FilterValue(row) : QString()) + u'%';
    return true;
}

void TJournalQueryBuilder::BindParams(TDbQuery& query, const TQueryInputs& inputs) const
{
    for (TDbParam& p : query.Params()) {
        QString value;
        p.Value = ParamValue(p.Name, inputs, &value) ? QVariant(value) : QVariant();
    }
}

void TJournalQueryBuilder::ApplyQuery(TJournal& journal, const TQueryInputs& inputs)
{
    fDialect = journal.Connection().Dialect();
    TDbQuery& tbl = journal.Query();
    const QString text = Build(inputs, FieldsOf(tbl));
    journal.WritePending();
    tbl.Close();
    tbl.SetSQL(text);
    BindParams(tbl, inputs);
    tbl.Open();
}

QString TJournalQueryBuilder::FullTable() const
{
    return TJournal::InitialSQL() + u' ' + OrderText();
}

void TJournalQueryBuilder::ApplyFullTable(TJournal& journal)
{
    fDialect = journal.Connection().Dialect();
    journal.Reopen(FullTable());
}
