#include "app/SearchEdit.h"

#include "app/JournalQuery.h"

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

void TSearchEdit::focusInEvent(QFocusEvent* event)
{
    setPalette(QPalette());
    clear();
    QLineEdit::focusInEvent(event);
}

void TSearchEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (text().isEmpty())
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
