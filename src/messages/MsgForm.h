#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The window of the system's own message box: an icon at the left, the text in a read-only
// memo, and up to four buttons at the bottom. It stays in front of other windows and keeps
// pulling itself to the foreground while it is shown, so that a message raised behind another
// program's window is not lost. Escape and the close box end it with mrCancel.
class TMsgForm : public QDialog {
    Q_OBJECT

public:
    explicit TMsgForm(QWidget* parent = nullptr);

    // The modal result a button closes the window with; 0 leaves the window open.
    void SetButtonResult(QPushButton* button, int result);
    int ButtonResult(const QPushButton* button) const;

    void reject() override;

    static constexpr int DesignClientWidth = 262;
    static constexpr int DesignClientHeight = 135;
    static constexpr int ButtonPanelHeight = 29;
    static constexpr int DesignIconPanelWidth = 41;
    static constexpr int TextBorderWidth = 4;
    static constexpr int IconLeft = 4;
    static constexpr int IconTop = 4;
    static constexpr int IconSize = 32;
    static constexpr int ForegroundInterval = 3000;

    QWidget* IconPanel;
    QLabel* Image;
    QFrame* TextPanel;
    QPlainTextEdit* Memo;
    QWidget* ButtonPanel;
    QPushButton* btn0;
    QPushButton* btn1;
    QPushButton* btn2;
    QPushButton* Btn3;
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Lays the panels and buttons out for the current size; the last three buttons keep
    // their distance from the right edge.
    void Arrange();

private:
    void ButtonClick();
    void Timer1Timer();
    void BringToFront();
    void CentreOnScreen();

    int fResults[4] = { 1, 1, 2, 0 };
};
