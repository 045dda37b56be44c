#include "messages/MyMsgDlg.h"

#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>

TMyMsgDlg::TMyMsgDlg(QWidget* parent)
    : TMsgForm(parent)
{
}

QString TMyMsgDlg::DisplayText(const QString& text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QIcon TMyMsgDlg::MessageIcon(TButtonSet buttons)
{
    QStyle* style = QApplication::style();
    switch (buttons.Icon()) {
    case iAPPLICATION:
        // The style's own default window icon stands for the generic application icon.
        return style->standardIcon(QStyle::SP_TitleBarMenuButton);
    case iASTERISK:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case iEXCLAMATION:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case iHAND:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case iQUESTION:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case iWINLOGO:
        return style->standardIcon(QStyle::SP_ComputerIcon);
    default:
        return QApplication::windowIcon();
    }
}

// Counts the lines as the memo will show them, wrapped lines included, so that a long
// paragraph does not end up hidden below the window's edge.
int TMyMsgDlg::MemoLineCount(const QString& text, int width) const
{
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    int lines = 0;
    for (const QString& paragraph : paragraphs) {
        QTextLayout layout(paragraph, Memo->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        int count = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++count;
        }
        layout.endLayout();
        lines += std::max(count, 1);
    }
    return lines;
}

void TMyMsgDlg::processinfo()
{
    if (!ACaption.isEmpty())
        setWindowTitle(ACaption);

    for (QPushButton* b : { btn0, btn1, btn2, Btn3 }) {
        b->hide();
        b->setDefault(false);
    }
    const QString text = DisplayText(infoText);
    int width = NormalWidth;

    if (AButtons.Contains(bYesToAll)) {
        btn0->setText(QStringLiteral("Да для всех"));
        SetButtonResult(btn0, mrYesToAll);
        btn0->show();
        width = YesToAllWidth;
    }
    if (AButtons.Contains(bOk)) {
        btn2->setText(QStringLiteral("O&K"));
        SetButtonResult(btn2, mrOk);
        if (!AButtons.Contains(bCancel))
            btn2->setDefault(true);
        btn2->show();
    }
    if (AButtons.Contains(bCancel)) {
        Btn3->setText(QStringLiteral("&Отмена"));
        SetButtonResult(Btn3, mrCancel);
        Btn3->show();
    }
    if (AButtons.Contains(bYes)) {
        btn1->setText(QStringLiteral("&Да"));
        SetButtonResult(btn1, mrYes);
        btn1->show();
    }
    if (AButtons.Contains(bNo)) {
        btn2->setText(QStringLiteral("&Нет"));
        SetButtonResult(btn2, mrNo);
        // A question is answered "no" by Enter: what it asks about (a deletion, the archive)
        // happens only when chosen.
        btn2->setDefault(true);
        btn2->setFocus();
        btn2->show();
    }

    const QIcon icon = MessageIcon(AButtons);
    QPixmap picture = icon.isNull() ? QPixmap() : icon.pixmap(QSize(IconSize, IconSize));
    // Some standard icons come in small sizes only; they are drawn at the size of the slot.
    if (!picture.isNull() && picture.width() < IconSize && picture.height() < IconSize)
        picture = picture.scaled(
            IconSize, IconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Image->setPixmap(picture);

    Memo->setPlainText(text);
    const int iconPanelWidth = Image->width() + 2 * IconLeft;
    IconPanel->resize(iconPanelWidth, IconPanel->height());

    const int inset = TextPanel->frameWidth() + TextBorderWidth;
    const int memoWidth = width - iconPanelWidth - 2 * inset;
    const int lineHeight = QFontMetrics(Memo->font()).height() + 2;
    const int textHeight = (MemoLineCount(text, memoWidth) + 1) * lineHeight + ButtonPanelHeight
        + 2 * TextBorderWidth;
    const int iconHeight = ButtonPanelHeight + 2 * IconTop + Image->height();
    int height = std::max(textHeight, iconHeight);
    // A very long message scrolls inside the memo instead of growing past the screen.
    if (const QScreen* s = screen())
        height = std::min(height, s->availableGeometry().height() * 3 / 4);
    setFixedSize(width, height);
    Arrange();
}

void TMyMsgDlg::SyncShow()
{
    if (fSyncShowing)
        return;
    fSyncShowing = true;
    QPointer<TMyMsgDlg> self(this);
    const int result = exec();
    if (!self)
        return;
    AModResult = result;
    fSyncShowing = false;
}

void TMyMsgDlg::DoAll()
{
    processinfo();
    SyncShow();
}
