#include "app/FormView.h"

#include "app/Journal.h"
#include "app/JournalGrid.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "grid/model/Head.h"

TFormView::TFormView(TJournal& journal, TJournalGrid& grid, QObject* parent)
    : QObject(parent)
    , fJournal(journal)
    , fGrid(grid)
{
    fGrid.ShowFieldLabels(fJournal);
    THead* values = fGrid.Grid().Cols().FindHead(TJournalGrid::jcValue);
    values->OnGetEditText = [this](TPersistent*, qint32, qint32 ARow, TCellStates AState,
                                THead*, THead*, QString& Value,
                                bool& Handled) { gcFormParValueGET(ARow, AState, Value, Handled); };
    values->OnSetEditText = [this](TPersistent*, qint32, qint32 ARow, TCellStates, THead*,
                                THead*, const QString& Value,
                                bool& Handled) { gcFormParValSET(ARow, Value, Handled); };
    fGrid.OnKeyDown = [this](int key, Qt::KeyboardModifiers modifiers) {
        return gcFormKeyDown(key, modifiers);
    };
}

void TFormView::gcFormParValueGET(qint32 ARow, TCellStates AState, QString& Value, bool& Handled)
{
    if (AState.Contains(csEditor) ? fJournal.RowEditText(ARow, Value)
                                  : fJournal.RowValue(ARow, Value))
        Handled = true;
}

void TFormView::gcFormParValSET(qint32 ARow, const QString& Value, bool& Handled)
{
    QString stored;
    if (!fJournal.RowEditText(ARow, stored))
        return;
    Handled = true;
    if (Value == stored)
        return;
    fJournal.StoreRow(ARow, Value);
}

bool TFormView::gcFormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool enter = (key == Qt::Key_Return || key == Qt::Key_Enter)
        && !(modifiers & Qt::AltModifier);
    if (enter && fGrid.Grid().EditorMode()) {
        fGrid.CommitEditor();
        return true;
    }
    if ((enter || (key == Qt::Key_F2 && modifiers == Qt::NoModifier))
        && !fGrid.Grid().EditorMode()) {
        fGrid.OpenEditor();
        return true;
    }
    return false;
}

void TFormView::RecordMoved()
{
    // Every command writes an open editor before it moves the record; a move that came
    // without one (the data layer repositioning after a read) must not let the text go into
    // the record now current. It is closed unwritten, and the user sees what it held.
    if (fGrid.Grid().EditorMode()) {
        const QString text = fGrid.Grid().EditorText().GetWideText();
        fGrid.DropEditor();
        fGrid.ReportRefusal(
            QStringLiteral("Текущая запись сменилась, значение «%1» не внесено.").arg(text));
    }
    // Undoing an edit of another record would write the old text into this one.
    if (TUndoList* undo = fGrid.Grid().UndoList())
        undo->Clear();
    fGrid.Grid().InvalidateCol(TJournalGrid::jcValue);
}

void TFormView::ValuesChanged() { fGrid.Grid().InvalidateCol(TJournalGrid::jcValue); }

void TFormView::AliasesApplied(int aliasedCount)
{
    fGrid.SetDataRows(aliasedCount);
    if (TUndoList* undo = fGrid.Grid().UndoList())
        undo->Clear();
    fGrid.Grid().InvalidateGrid();
}

bool TFormView::HandOverEdit() { return fGrid.CommitEditor(); }

void TFormView::DropEdit() { fGrid.DropEditor(); }
