#include "app/VLayForm.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 3;

}

TVLayForm::TVLayForm(QWidget* owner)
    : QDialog(owner,
          Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
              | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Просмотр"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);

    BtmPanel = new QScrollArea(this);
    BtmPanel->setObjectName(QStringLiteral("BtmPanel"));
    BtmPanel->setFrameStyle(QFrame::NoFrame);
    BtmPanel->setWidgetResizable(false);
    BtmPanel->setToolTip(
        QStringLiteral("Нажмите правой кнопкой мыши, чтобы включить или выключить все"));
    fBoxPanel = new QWidget;
    fBoxPanel->resize(0, 0);
    BtmPanel->setWidget(fBoxPanel);

    miCheckAll = new QAction(QStringLiteral("Включить Все"), this);
    miUncheckAll = new QAction(QStringLiteral("Выключить Все"), this);
    connect(miCheckAll, &QAction::triggered, this, [this] { N1Click(true); });
    connect(miUncheckAll, &QAction::triggered, this, [this] { N1Click(false); });
    // The boxes leave right clicks to their parents, so the menu opens over them too.
    BtmPanel->addAction(miCheckAll);
    BtmPanel->addAction(miUncheckAll);
    BtmPanel->setContextMenuPolicy(Qt::ActionsContextMenu);

    ButtonPanel = new QWidget(this);
    ButtonPanel->setObjectName(QStringLiteral("ButtonPanel"));
    btnOk = new QPushButton(QStringLiteral("&OK"), ButtonPanel);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отмена"), ButtonPanel);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(DesignClientWidth, DesignClientHeight);
    LayoutPanels();
}

bool TVLayForm::GetState(int ndx) const
{
    const QCheckBox* box = CheckBox(ndx);
    return box && box->isChecked();
}

QCheckBox* TVLayForm::CheckBox(int ndx) const
{
    return ndx >= 0 && ndx < fCheckCount && ndx < fBoxes.size() ? fBoxes[ndx] : nullptr;
}

void TVLayForm::DoInit()
{
    fCheckCount = 0;
    // A cell is at least as high as a check box needs, so that the boxes are never clipped.
    MaxH = std::max(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this),
        QCheckBox(QStringLiteral("X"), this).sizeHint().height());
    MaxW = 0;
    if (fOnInit) {
        const QFontMetrics metrics(font());
        try {
            for (;;) {
                QString name;
                bool state = false;
                if (!fOnInit(fCheckCount, name, state))
                    break;
                const int w = metrics.horizontalAdvance(name) + 2 * MaxH;
                MaxW = std::max(MaxW, w);
                QCheckBox* box;
                if (fCheckCount < fBoxes.size()) {
                    box = fBoxes[fCheckCount];
                } else {
                    box = new QCheckBox(fBoxPanel);
                    connect(box, &QCheckBox::clicked, this, [this, box] { CheckClick(box); });
                    fBoxes.append(box);
                }
                box->resize(w, MaxH);
                box->setText(name);
                box->setChecked(state);
                box->setProperty("tag", fCheckCount + 1);
                box->show();
                ++fCheckCount;
            }
        } catch (...) {
        }
    }
    // Boxes of an earlier, longer list would otherwise stay behind unreachable by index.
    while (fBoxes.size() > fCheckCount)
        delete fBoxes.takeLast();
    Arrange();
}

void TVLayForm::CheckClick(QCheckBox* box) { Report(box); }

void TVLayForm::Report(QCheckBox* box)
{
    if (!fOnCheck)
        return;
    try {
        fOnCheck(box->property("tag").toInt() - 1, box->isChecked());
    } catch (...) {
    }
}

// A box whose tick changes is reported twice, once as its own click and once by the loop,
// both times with its new state; the handlers only ever apply the state they are given.
void TVLayForm::N1Click(bool tick)
{
    try {
        if (fOnBeginUpdate)
            fOnBeginUpdate(this);
        for (QCheckBox* box : std::as_const(fBoxes)) {
            if (box->isChecked() != tick) {
                box->setChecked(tick);
                CheckClick(box);
            }
            CheckClick(box);
        }
        if (fOnEndUpdate)
            fOnEndUpdate(this);
    } catch (...) {
    }
}

QSize TVLayForm::ScreenSize() const
{
    const QScreen* s = parentWidget() ? parentWidget()->screen() : screen();
    if (!s)
        s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1024, 768);
}

TVLayForm::TGridShape TVLayForm::GridShape(int n, int maxW, int maxH, QSize screen)
{
    if (n <= 0)
        return { 0, 0 };
    int a;
    if (maxW == 0)
        a = 1;
    else if (maxH == 0 || screen.width() <= 0)
        a = n;
    else
        a = int(std::ceil(std::sqrt(double(qint64(n) * maxW * screen.height())
            / (double(screen.width()) * maxH))));
    a = std::clamp(a, 1, n);
    const int b = (n + a - 1) / a;
    a -= (a - ((n - 1) % a) - 1) / b;
    return { b, a };
}

void TVLayForm::Arrange()
{
    const QSize screenSize = ScreenSize();
    const QSize maximum(screenSize.width() / 2, screenSize.height() / 2);
    const int n = int(fBoxes.size());
    if (n == 0) {
        fBoxPanel->resize(0, 0);
        return;
    }
    const TGridShape shape = GridShape(n, MaxW, MaxH, screenSize);
    const int a = shape.Rows;
    const int b = shape.Columns;

    fBoxPanel->resize(b * MaxW, a * MaxH);
    const int width = std::max(DesignClientWidth, std::min(b * MaxW, maximum.width()));
    const int height = std::min(a * MaxH + ButtonPanelHeight, maximum.height());
    setFixedSize(width, height);
    LayoutPanels();

    int c = 0, r = 0;
    for (QCheckBox* box : std::as_const(fBoxes)) {
        box->move(c * MaxW, r * MaxH);
        if (++r == a) {
            r = 0;
            ++c;
        }
    }
}

void TVLayForm::LayoutPanels()
{
    const int top = height() - ButtonPanelHeight;
    BtmPanel->setGeometry(0, 0, width(), top);
    ButtonPanel->setGeometry(0, top, width(), ButtonPanelHeight);
    const int y = (ButtonPanelHeight - kButtonHeight) / 2;
    const int cancelLeft = width() - kButtonGap - kButtonWidth;
    btnCancel->setGeometry(cancelLeft, y, kButtonWidth, kButtonHeight);
    btnOk->setGeometry(cancelLeft - kButtonGap - kButtonWidth, y, kButtonWidth, kButtonHeight);
}

void TVLayForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayoutPanels();
}

void TVLayForm::showEvent(QShowEvent* event)
{
    DoInit();
    CentreOnOwner();
    QDialog::showEvent(event);
}

void TVLayForm::CentreOnOwner()
{
    QRect area;
    if (const QWidget* owner = parentWidget())
        area = owner->window()->frameGeometry();
    else if (const QScreen* s = screen())
        area = s->availableGeometry();
    else
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}
