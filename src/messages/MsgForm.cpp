#include "messages/MsgForm.h"

#include "messages/MsgButtons.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int kButtonTop = 2;
constexpr int kButtonHeight = 25;

// Left edge of btn0, and the distance of the other three buttons' right edges from the
// window's right edge, as laid out at the design width.
constexpr int kBtn0Left = 2;
constexpr int kBtn0Width = 80;
constexpr int kButtonWidth = 64;
constexpr int kBtn1RightGap = TMsgForm::DesignClientWidth - (49 + kButtonWidth);
constexpr int kBtn2RightGap = TMsgForm::DesignClientWidth - (120 + kButtonWidth);
constexpr int kBtn3RightGap = TMsgForm::DesignClientWidth - (196 + kButtonWidth);

}

TMsgForm::TMsgForm(QWidget* parent)
    : QDialog(parent,
          Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
              | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Tessaline"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);

    IconPanel = new QWidget(this);
    IconPanel->setObjectName(QStringLiteral("IconPanel"));
    Image = new QLabel(IconPanel);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setAlignment(Qt::AlignCenter);
    Image->setGeometry(IconLeft, IconTop, IconSize, IconSize);
    IconPanel->resize(DesignIconPanelWidth, DesignClientHeight - ButtonPanelHeight);

    TextPanel = new QFrame(this);
    TextPanel->setObjectName(QStringLiteral("TextPanel"));
    TextPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Memo = new QPlainTextEdit(TextPanel);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setFrameStyle(QFrame::NoFrame);
    Memo->setFocusPolicy(Qt::NoFocus);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->document()->setDocumentMargin(0);
    QPalette memoColours = Memo->palette();
    memoColours.setColor(QPalette::Base, memoColours.color(QPalette::Window));
    Memo->setPalette(memoColours);

    ButtonPanel = new QWidget(this);
    ButtonPanel->setObjectName(QStringLiteral("ButtonPanel"));
    const char* names[] = { "btn0", "btn1", "btn2", "Btn3" };
    QPushButton** buttons[] = { &btn0, &btn1, &btn2, &Btn3 };
    for (int i = 0; i < 4; ++i) {
        QPushButton* b = new QPushButton(ButtonPanel);
        b->setObjectName(QLatin1String(names[i]));
        connect(b, &QPushButton::clicked, this, &TMsgForm::ButtonClick);
        *buttons[i] = b;
    }
    btn0->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(ForegroundInterval);
    connect(Timer1, &QTimer::timeout, this, &TMsgForm::Timer1Timer);

    setFixedSize(DesignClientWidth, DesignClientHeight);
    Arrange();
}

void TMsgForm::SetButtonResult(QPushButton* button, int result)
{
    const QPushButton* buttons[] = { btn0, btn1, btn2, Btn3 };
    for (int i = 0; i < 4; ++i)
        if (buttons[i] == button)
            fResults[i] = result;
}

int TMsgForm::ButtonResult(const QPushButton* button) const
{
    const QPushButton* buttons[] = { btn0, btn1, btn2, Btn3 };
    for (int i = 0; i < 4; ++i)
        if (buttons[i] == button)
            return fResults[i];
    return 0;
}

void TMsgForm::reject() { done(mrCancel); }

void TMsgForm::ButtonClick()
{
    const int result = ButtonResult(qobject_cast<QPushButton*>(sender()));
    if (result != 0)
        done(result);
}

void TMsgForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen();
    BringToFront();
    Timer1->start();
}

void TMsgForm::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    QDialog::hideEvent(event);
}

// Escape is taken at the window whatever has the focus, and gives Cancel even when no
// Cancel button is shown.
void TMsgForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        done(mrCancel);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMsgForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Arrange();
}

void TMsgForm::Timer1Timer()
{
    if (isVisible())
        BringToFront();
}

void TMsgForm::BringToFront()
{
    raise();
    activateWindow();
}

void TMsgForm::CentreOnScreen()
{
    QScreen* screen = this->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TMsgForm::Arrange()
{
    const int w = width();
    const int h = height();
    const int top = h - ButtonPanelHeight;
    const int iconWidth = IconPanel->width();
    IconPanel->setGeometry(0, 0, iconWidth, top);
    TextPanel->setGeometry(iconWidth, 0, w - iconWidth, top);
    const int inset = TextPanel->frameWidth() + TextBorderWidth;
    Memo->setGeometry(
        inset, inset, TextPanel->width() - 2 * inset, TextPanel->height() - 2 * inset);
    ButtonPanel->setGeometry(0, top, w, ButtonPanelHeight);
    btn0->setGeometry(kBtn0Left, kButtonTop, kBtn0Width, kButtonHeight);
    btn1->setGeometry(w - kBtn1RightGap - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
    btn2->setGeometry(w - kBtn2RightGap - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
    Btn3->setGeometry(w - kBtn3RightGap - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
}
