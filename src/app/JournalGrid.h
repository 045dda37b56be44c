#pragma once

#include "grid/control/GridControl.h"
#include "settings/GridColumnHeads.h"

#include <functional>

class TJournal;

// One of the journal window's two grids: a fixed column of row numbers, the field labels and
// a value column, under one title row.
//
// The value column's handlers may refuse a text (the data layer's exception for letters in a
// number field). Whatever closes the editor, a key, a click or a command, the refusal is
// caught here, before it could run into the window system: the message goes to the refusal
// handler and the editor stays open with what the user typed.
//
// The column heads are stored and restored with the window's other column layouts.
class TJournalGrid : public TGridControl, public IGridColumnHeads {
    Q_OBJECT
public:
    enum TColumn { jcNumber = 0, jcName = 1, jcValue = 2 };

    explicit TJournalGrid(QWidget* parent = nullptr);

    void SetRefusalHandler(std::function<void(const QString&)> handler)
    {
        fOnRefused = std::move(handler);
    }

    // The name column shows the labels of the journal's fields, one per data row, and cannot
    // be written.
    void ShowFieldLabels(const TJournal& journal);
    // One data row per aliased field, never fewer than the fixed rows.
    void SetDataRows(int aliasedCount);

    // Opens the editor on the current cell with the cell's text as it is edited.
    void OpenEditor();
    // Writes the open editor's text through the grid's handlers and closes the editor. False
    // when the value was refused: the message has been given to the refusal handler and the
    // editor stays open with the text.
    bool CommitEditor();
    // Closes an open editor without writing its text.
    void DropEditor();

    // Gives a message about a value that was not written to the refusal handler.
    void ReportRefusal(const QString& message);

    // IGridColumnHeads
    int Tag() const override { return 0; }
    int ColumnHeadCount() const override;
    TColumnHeadState ColumnHead(int index) const override;
    bool SetColumnHead(const TColumnHeadState& state) override;
    void BeginColumnHeadsUpdate() override;
    void EndColumnHeadsUpdate() override;

    // IGridWindow
    bool GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, QString& Text) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Runs the grid's own handling of an input event; a refused value is reported and the
    // editor, should the grid have closed it anyway, comes back with the text.
    void Guarded(const std::function<void()>& input);
    void ReopenEditor(TGridCell cell, const QString& text);

    std::function<void(const QString&)> fOnRefused;
};
