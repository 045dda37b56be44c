#include "app/NavigatorBar.h"

#include "platform/db/DbQuery.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

struct TButtonText {
    const char* Hint;
    const char* LongHint;
};

// The part of a hint after "|" is the long one, for the status bar.
constexpr TButtonText kTexts[TNavigatorBar::nbCount] = {
    { "Первая запись", nullptr },
    { "Предыдущая запись", nullptr },
    { "Следующая запись", nullptr },
    { "Последняя запись", nullptr },
    { "Вставить запись", nullptr },
    { "Удалить запись", nullptr },
    { "Редактировать", nullptr },
    { "Внести изменения в базу", nullptr },
    { "Отменить редакцию", nullptr },
    { "Обновить", "Обновить данные или изменения" },
};

// The glyphs are drawn rather than taken from an icon theme, so the bar looks the same on
// every desktop and at every scale.
QIcon Glyph(TNavigatorBar::TButton which)
{
    const int s = 16;
    QPixmap pixmap(s * 2, s * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto triangle = [&](qreal x0, qreal x1) {
        QPainterPath path;
        path.moveTo(x0, 3);
        path.lineTo(x1, 8);
        path.lineTo(x0, 13);
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (which) {
    case TNavigatorBar::nbFirst:
        p.drawRect(QRectF(3, 3, 2, 10));
        triangle(12, 5);
        break;
    case TNavigatorBar::nbPrior:
        triangle(11, 4);
        break;
    case TNavigatorBar::nbNext:
        triangle(5, 12);
        break;
    case TNavigatorBar::nbLast:
        triangle(4, 11);
        p.drawRect(QRectF(11, 3, 2, 10));
        break;
    case TNavigatorBar::nbInsert:
        p.drawRect(QRectF(7, 3, 2, 10));
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case TNavigatorBar::nbDelete:
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case TNavigatorBar::nbEdit: {
        QPainterPath path;
        path.moveTo(3, 12);
        path.lineTo(8, 4);
        path.lineTo(13, 12);
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    case TNavigatorBar::nbPost:
        p.setPen(QPen(QColor(0, 120, 0), 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({ QPointF(3, 8), QPointF(7, 12), QPointF(13, 4) }));
        break;
    case TNavigatorBar::nbCancel:
        p.setPen(QPen(QColor(170, 0, 0), 2.2));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case TNavigatorBar::nbRefresh: {
        p.setPen(QPen(ink, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
        QPainterPath head;
        head.moveTo(8, 0.5);
        head.lineTo(11.5, 3);
        head.lineTo(8, 5.5);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(head);
        break;
    }
    case TNavigatorBar::nbCount:
        break;
    }
    return QIcon(pixmap);
}

} // namespace

TNavigatorBar::TNavigatorBar(TDbQuery& query, QWidget* parent)
    : QWidget(parent)
    , fQuery(query)
{
    setObjectName(QStringLiteral("DBNavigator1"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < nbCount; ++i) {
        auto* button = new QToolButton(this);
        const auto which = TButton(i);
        button->setIcon(Glyph(which));
        button->setAutoRaise(false);
        button->setFixedSize(24, 25);
        button->setFocusPolicy(Qt::NoFocus);
        const QString hint = QString::fromUtf8(kTexts[i].Hint);
        button->setToolTip(hint);
        button->setStatusTip(
            kTexts[i].LongHint ? QString::fromUtf8(kTexts[i].LongHint) : hint);
        connect(button, &QToolButton::clicked, this, [this, which] { emit Clicked(which); });
        row->addWidget(button);
        fButtons[i] = button;
    }
    connect(&fQuery, &TDbQuery::AfterScroll, this, &TNavigatorBar::UpdateButtons);
    connect(&fQuery, &TDbQuery::StateChanged, this, &TNavigatorBar::UpdateButtons);
    connect(&fQuery, &TDbQuery::AfterOpen, this, &TNavigatorBar::UpdateButtons);
    connect(&fQuery, &TDbQuery::AfterClose, this, &TNavigatorBar::UpdateButtons);
    connect(&fQuery, &TDbQuery::RecordsInserted, this, &TNavigatorBar::UpdateButtons);
    connect(&fQuery, &TDbQuery::RecordsRemoved, this, &TNavigatorBar::UpdateButtons);
    UpdateButtons();
}

void TNavigatorBar::UpdateButtons()
{
    const bool active = fQuery.Active();
    const bool editing = fQuery.State() == dsEdit || fQuery.State() == dsInsert;
    const bool browsing = active && !editing;
    const int count = active ? fQuery.RecordCount() : 0;
    const int recNo = active ? fQuery.RecNo() : 0;
    const bool canModify = active && fQuery.CanModify();
    const bool atFirst = recNo <= 1;
    const bool atLast = recNo >= count;
    fButtons[nbFirst]->setEnabled(active && !atFirst);
    fButtons[nbPrior]->setEnabled(active && !atFirst);
    fButtons[nbNext]->setEnabled(active && !atLast);
    fButtons[nbLast]->setEnabled(active && !atLast);
    fButtons[nbInsert]->setEnabled(canModify);
    fButtons[nbDelete]->setEnabled(canModify && count > 0);
    fButtons[nbEdit]->setEnabled(canModify && browsing && count > 0);
    fButtons[nbPost]->setEnabled(editing);
    fButtons[nbCancel]->setEnabled(editing);
    fButtons[nbRefresh]->setEnabled(active);
}
