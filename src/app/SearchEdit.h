#pragma once

#include <QLineEdit>

// The search box: it shows its placeholder in silver while it is empty and not focused, is
// emptied whenever it gains the focus, and reports Enter instead of passing it on.
class TSearchEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TSearchEdit(QWidget* parent = nullptr);

signals:
    void EnterPressed();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowPlaceholder();
};
