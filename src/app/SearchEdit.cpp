#include "app/SearchEdit.h"

#include "app/JournalQuery.h"

#include <QFocusEvent>
#include <QKeyEvent>

TSearchEdit::TSearchEdit(QWidget* parent)
    : QLineEdit(parent)
{
    ShowPlaceholder();
}

void TSearchEdit::ShowPlaceholder()
{
    QPalette p = palette();
    p.setColor(QPalette::Text, QColor(192, 192, 192));
    setPalette(p);
    setText(TJournalQueryBuilder::SearchPlaceholder());
}

namespace {

// Switching to another program and back, or the box's own context menu, takes the focus and
// gives it back without the user leaving the box; only a move between controls counts.
bool MovesBetweenControls(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason
        && event->reason() != Qt::PopupFocusReason;
}

} // namespace

void TSearchEdit::focusInEvent(QFocusEvent* event)
{
    if (MovesBetweenControls(event)) {
        setPalette(QPalette());
        clear();
    }
    QLineEdit::focusInEvent(event);
}

void TSearchEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (MovesBetweenControls(event) && text().isEmpty())
        ShowPlaceholder();
}

void TSearchEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit EnterPressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
