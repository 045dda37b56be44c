#pragma once

#include <QPlainTextEdit>

#include <functional>

// The separate editor window a grid edits through when it does not draw its
// own editor. Enter belongs to the grid: it commits before the window could
// put a line break into the text; Escape cancels.
class TInplaceEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TInplaceEdit(QWidget* Parent);

    QString WideText() const { return toPlainText(); }
    void SetWideText(const QString& Value);

    std::function<void()> OnCommit;
    std::function<void()> OnCancel;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
};
