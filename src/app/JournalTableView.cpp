#include "app/JournalTableView.h"

#include "platform/db/DbQuery.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTimer>

// Puts the record into edit mode at the first keystroke in a cell, so the indicator and the
// navigator show the edit while the user is still typing, as they do in the form view. It
// also knows the one editor it has open, which the view's commands hand over or bring back.
class TJournalCellDelegate : public QStyledItemDelegate {
public:
    TJournalCellDelegate(TDbQuery& query, QObject* parent)
        : QStyledItemDelegate(parent)
        , fQuery(query)
    {
    }

    void SetRun(std::function<void(const std::function<void()>&)> run) { fRun = std::move(run); }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            connect(line, &QLineEdit::textEdited, line, [this] {
                if (fQuery.Active() && fQuery.State() == dsBrowse && fRun)
                    fRun([this] { fQuery.Edit(); });
            });
        }
        fEditor = editor;
        fIndex = index;
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        QStyledItemDelegate::setEditorData(editor, index);
        if (fPresetText.isNull())
            return;
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setText(fPresetText);
        fPresetText = QString();
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (editor == fEditor)
            fEditor = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    // The editor on screen, nullptr when none is open (a closed one waits hidden for its
    // deletion).
    QWidget* OpenEditor() const { return fEditor && !fEditor->isHidden() ? fEditor.data() : nullptr; }
    const QPersistentModelIndex& EditorIndex() const { return fIndex; }
    static QString TextOf(const QWidget* editor)
    {
        const auto* line = qobject_cast<const QLineEdit*>(editor);
        return line ? line->text() : QString();
    }
    // The next editor opens with this text instead of the record's value.
    void PresetText(const QString& text) const { fPresetText = text.isNull() ? QStringLiteral("") : text; }

private:
    TDbQuery& fQuery;
    std::function<void(const std::function<void()>&)> fRun;
    mutable QPointer<QWidget> fEditor;
    mutable QPersistentModelIndex fIndex;
    mutable QString fPresetText;
};

TJournalTableView::TJournalTableView(TDbQuery& query, QWidget* parent)
    : QTableView(parent)
    , fQuery(query)
{
    fDelegate = new TJournalCellDelegate(query, this);
    setItemDelegate(fDelegate);
    // No selected-click trigger: its double-click delay is a window in which a typed key
    // does not reach the editor. A click on the current cell opens it at once instead.
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
        | QAbstractItemView::EditKeyPressed);
}

void TJournalTableView::SetCommandRunner(std::function<void(const std::function<void()>&)> run)
{
    fDelegate->SetRun(std::move(run));
}

bool TJournalTableView::EditorOpen() const { return fDelegate->OpenEditor() != nullptr; }

void TJournalTableView::keyboardSearch(const QString&)
{
    // A letter typed into the journal is data, never a jump to a row starting with it.
}

void TJournalTableView::EditRefused(const QString& message)
{
    if (fCommitting) {
        fRefused = true;
        fRepair.Message = message;
    } else if (fOnError) {
        fOnError(message);
    }
}

void TJournalTableView::commitData(QWidget* editor)
{
    fCommitting = true;
    fRefused = false;
    QTableView::commitData(editor);
    fCommitting = false;
    if (!fRefused || fRepair.Pending)
        return;
    fRepair.Pending = true;
    fRepair.Index = fDelegate->EditorIndex();
    fRepair.Text = TJournalCellDelegate::TextOf(editor);
    // Whatever closes the editor and moves the cursor finishes first; then the message, and
    // the editor back on its cell.
    QTimer::singleShot(0, this, &TJournalTableView::BringBackRefusedEdit);
}

void TJournalTableView::BringBackRefusedEdit()
{
    if (!fRepair.Pending)
        return;
    const QPersistentModelIndex index = fRepair.Index;
    const QString text = fRepair.Text;
    if (fOnError)
        fOnError(fRepair.Message);
    if (index.isValid()) {
        QWidget* open = fDelegate->OpenEditor();
        if (open && fDelegate->EditorIndex() == index) {
            open->setFocus();
        } else {
            if (open)
                closeEditor(open, QAbstractItemDelegate::NoHint);
            selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            scrollTo(index);
            fDelegate->PresetText(text);
            edit(index, QAbstractItemView::EditKeyPressed, nullptr);
            if (auto* line = qobject_cast<QLineEdit*>(fDelegate->OpenEditor()))
                line->deselect();
        }
    }
    fRepair = {};
}

bool TJournalTableView::HandOverEdit()
{
    QWidget* editor = fDelegate->OpenEditor();
    if (!editor)
        return !fRepair.Pending;
    commitData(editor);
    if (fRepair.Pending)
        return false;
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void TJournalTableView::DropEdit()
{
    if (QWidget* editor = fDelegate->OpenEditor())
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void TJournalTableView::RealignLater()
{
    fRealign = true;
    QTimer::singleShot(0, this, [this] {
        if (fRealign)
            Realign();
    });
}

void TJournalTableView::Realign()
{
    fRealign = false;
    if (!model() || !fQuery.Active() || fQuery.RecNo() < 1)
        return;
    const int row = fQuery.RecNo() - 1;
    if (row >= model()->rowCount())
        return;
    const QModelIndex current = currentIndex();
    if (current.row() == row && selectionModel()->isRowSelected(row, QModelIndex()))
        return;
    const QModelIndex target = model()->index(row, current.isValid() ? current.column() : 0);
    selectionModel()->setCurrentIndex(
        target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TJournalTableView::keyPressEvent(QKeyEvent* event)
{
    if (fRepair.Pending) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
    if (fRealign)
        Realign();
}

void TJournalTableView::mousePressEvent(QMouseEvent* event)
{
    if (fRepair.Pending) {
        event->accept();
        return;
    }
    const QModelIndex at = indexAt(event->position().toPoint());
    const bool onCurrent = event->button() == Qt::LeftButton
        && event->modifiers() == Qt::NoModifier && at.isValid() && at == currentIndex()
        && !EditorOpen();
    fPressedOnCurrent = onCurrent ? QPersistentModelIndex(at) : QPersistentModelIndex();
    QTableView::mousePressEvent(event);
    // The press may have dropped an untouched new record above the clicked row; the rows
    // moved up under the pointer, and the record clicked is the one to show as current.
    if (fRealign)
        Realign();
}

void TJournalTableView::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    const QPersistentModelIndex pressed = fPressedOnCurrent;
    fPressedOnCurrent = QPersistentModelIndex();
    if (pressed.isValid() && event->button() == Qt::LeftButton
        && indexAt(event->position().toPoint()) == pressed && currentIndex() == pressed
        && !EditorOpen())
        edit(pressed, QAbstractItemView::EditKeyPressed, nullptr);
}

void TJournalTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (fRepair.Pending) {
        event->accept();
        return;
    }
    fPressedOnCurrent = QPersistentModelIndex();
    QTableView::mouseDoubleClickEvent(event);
}
