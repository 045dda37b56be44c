#pragma once

#include "platform/db/DbConnection.h"
#include "platform/db/DbQuery.h"

#include <QStringList>
#include <functional>
#include <vector>

class TJournal;

// What the query text needs to know of a field of the open journal query.
struct TQueryField {
    QString Name;
    bool Numeric = false;
    bool Date = false;
};

// The state of the main window's controls at the moment of a query.
struct TQueryInputs {
    QString SearchText; // the search box's text, the placeholder when it shows it
    // The text of the filter grid's value column in data row r (1-based).
    std::function<QString(int row)> FilterValue;
    int FilterRowCount = 0;
};

// Turns the sort list, the reverse box, the search box and the filter grid into the text of
// the journal query and its parameters, in the dialect of the database that is open.
class TJournalQueryBuilder {
public:
    static QString SearchPlaceholder() { return QStringLiteral("Поиск ..."); }
    static QStringList SortItems();

    // The order clause lives for the whole run; the sort list, the reverse box and a click on
    // a column title replace it, the last one used wins.
    const QString& OrderClause() const { return fOrderClause; }
    void SetSortItem(int index, bool reverse);
    void SetTitleSort(const QString& fieldName, bool reverse);

    // Throws EDatabaseError when a filter row with a value has no field.
    QString Build(const TQueryInputs& inputs, const std::vector<TQueryField>& fields) const;
    QString FullTable() const;

    void SetDialect(TSqlDialect dialect) { fDialect = dialect; }
    TSqlDialect Dialect() const { return fDialect; }

    // The query: rebuilds the text from the inputs and reruns the journal query.
    void ApplyQuery(TJournal& journal, const TQueryInputs& inputs);
    // Full table: the sort order without search and filter, for one query.
    void ApplyFullTable(TJournal& journal);

    static std::vector<TQueryField> FieldsOf(const TDbQuery& query);
    // The value of a declared parameter: "par1" is the search text, "par_N" the filter text
    // of row N, each between "%"; false for a name whose tail is no number.
    static bool ParamValue(const QString& name, const TQueryInputs& inputs, QString* value);

private:
    QString Identifier(const QString& name) const;
    QString SearchTerm(const TQueryField& field) const;
    QString MatchTerm(const TQueryField& field) const;
    QString Matches(const QString& text, const QString& pattern) const;
    QString OrderText() const;
    QString Joiner() const;
    void BindParams(TDbQuery& query, const TQueryInputs& inputs) const;

    QString fOrderClause;
    // The same order by column, for dialects that need it written otherwise.
    struct TOrderTerm {
        QString Name;
        bool Descending = false;
    };
    std::vector<TOrderTerm> fOrderTerms;
    TSqlDialect fDialect = sdAccess;
};
