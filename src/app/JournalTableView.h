#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>
#include <functional>

class TDbQuery;
class TJournalCellDelegate;

// The journal's table view. Whatever the user types goes into the current cell of the record
// the view shows as current: the view has no keyboard search that could move the current row
// under a typed letter, a click on the current cell opens its editor at once instead of after
// a double-click delay, and an edit the record refuses (letters in a number field) comes back
// in its editor, on its record, for correcting, instead of being dropped while the cursor moves
// on.
class TJournalTableView : public QTableView {
    Q_OBJECT
public:
    TJournalTableView(TDbQuery& query, QWidget* parent = nullptr);

    // Where refusals are shown (the data layer's message); the window's error box.
    void SetErrorHandler(std::function<void(const QString&)> handler)
    {
        fOnError = std::move(handler);
    }
    // Runs a data-layer call the way the window runs its commands.
    void SetCommandRunner(std::function<void(const std::function<void()>&)> run);

    // The model reports a value the record refused. Inside an editor's hand-over the editor
    // comes back with the text; otherwise the message is just shown.
    void EditRefused(const QString& message);

    bool EditorOpen() const;
    // Writes the open editor's text into the record and closes the editor. False when the
    // record refused the text: the message has been shown and the editor stays open with it.
    bool HandOverEdit();
    // Closes an open editor without writing its text.
    void DropEdit();
    // While a refused edit is being brought back, the record must not change.
    bool RepairPending() const { return fRepair.Pending; }

    // After the rows shifted under a move (a new record dropped), or a move the record
    // refused: the highlight and the current cell go back to the query's current record.
    void RealignLater();

protected:
    void keyboardSearch(const QString& search) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void commitData(QWidget* editor) override;

private:
    void Realign();
    void BringBackRefusedEdit();

    TDbQuery& fQuery;
    TJournalCellDelegate* fDelegate = nullptr;
    std::function<void(const QString&)> fOnError;
    QPersistentModelIndex fPressedOnCurrent;
    bool fCommitting = false;
    bool fRefused = false;
    bool fRealign = false;
    struct {
        bool Pending = false;
        QPersistentModelIndex Index;
        QString Text;
        QString Message;
    } fRepair;
};
