#pragma once

#include "grid/model/GridTypes.h"

#include <QObject>
#include <QString>

class TJournal;
class TJournalGrid;
class THead;
class TPersistent;

// The form view: the current record as a column of field labels beside a column of values
// that the user edits in place.
//
// A value reaches the record only when the user changed it: the editor opens with the whole
// stored value (2.123456, where the cell shows 2.1235), and closing it over the same text
// writes nothing, so the record neither rounds nor goes into edit mode. An open editor is
// written (or refused, and then kept) before anything moves the record, so its text always
// lands in the record it was typed for.
class TFormView : public QObject {
    Q_OBJECT
public:
    TFormView(TJournal& journal, TJournalGrid& grid, QObject* parent = nullptr);

    TJournalGrid& Grid() { return fGrid; }

    // The current record moved: the value column is asked again, the labels stay. The grid's
    // undo list goes with the record it was typed into.
    void RecordMoved();
    // The current record's values changed in place (posted, cancelled, edited elsewhere).
    void ValuesChanged();
    // After the alias pass: the row count and the labels follow the field list.
    void AliasesApplied(int aliasedCount);

    // Hands an open editor's text to the record before a command. False when the record
    // refused it: the message has been shown and the editor stays open with the text.
    bool HandOverEdit();
    // Closes an open editor without writing (the record is cancelled or deleted).
    void DropEdit();

    // The handlers of the value column: the current record's value of row r, displayed or,
    // for the editor, whole; and the text stored into row r's field.
    void gcFormParValueGET(qint32 ARow, TCellStates AState, QString& Value, bool& Handled);
    void gcFormParValSET(qint32 ARow, const QString& Value, bool& Handled);
    // Enter and F2 open the editor, Enter writes it; the grid's other keys are its own.
    bool gcFormKeyDown(int key, Qt::KeyboardModifiers modifiers);

private:
    TJournal& fJournal;
    TJournalGrid& fGrid;
};
