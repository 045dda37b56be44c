#pragma once

#include <QObject>
#include <QString>
#include <functional>

class TJournal;
class TJournalGrid;

// The filter view: the field labels beside free cells, one condition per field, which the
// query reads. The grid keeps the conditions in its own cells.
class TFilterView : public QObject {
    Q_OBJECT
public:
    // applyQuery runs the query with the conditions as they are.
    TFilterView(const TJournal& journal, TJournalGrid& grid, std::function<void()> applyQuery,
        QObject* parent = nullptr);

    TJournalGrid& Grid() { return fGrid; }

    void AliasesApplied(int aliasedCount);

    // The condition typed into data row r (1-based); empty where none was.
    QString FilterValue(int row);
    int FilterRowCount() const;

    // An open editor's text goes into its cell before a query reads the cells.
    void HandOverEdit();

    // Enter on the value column runs the query; Enter in an open editor only writes it, so a
    // second Enter runs the query. The grid's other keys are its own.
    bool gcFilterKeyDown(int key, Qt::KeyboardModifiers modifiers);

private:
    TJournalGrid& fGrid;
    std::function<void()> fApplyQuery;
};
