#include "grid/control/InplaceEdit.h"

#include <QKeyEvent>

TInplaceEdit::TInplaceEdit(QWidget* Parent)
    : QPlainTextEdit(Parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    hide();
}

void TInplaceEdit::SetWideText(const QString& Value)
{
    setPlainText(Value);
    moveCursor(QTextCursor::End);
}

void TInplaceEdit::keyPressEvent(QKeyEvent* Event)
{
    const bool Enter = Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter;
    if (Enter && !(Event->modifiers() & Qt::AltModifier)) {
        Event->accept();
        if (OnCommit)
            OnCommit();
        return;
    }
    if (Enter) {
        insertPlainText(QStringLiteral("\n"));
        Event->accept();
        return;
    }
    if (Event->key() == Qt::Key_Escape) {
        Event->accept();
        if (OnCancel)
            OnCancel();
        return;
    }
    QPlainTextEdit::keyPressEvent(Event);
}

void TInplaceEdit::focusInEvent(QFocusEvent* Event)
{
    QPlainTextEdit::focusInEvent(Event);
    if (parentWidget())
        parentWidget()->update();
}

void TInplaceEdit::focusOutEvent(QFocusEvent* Event)
{
    QPlainTextEdit::focusOutEvent(Event);
    if (parentWidget())
        parentWidget()->update();
}
