#include "report/ReportIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kInk(40, 40, 40);
const QColor kPaper(Qt::white);

// A 16 x 16 picture drawn at twice the resolution, for screens that scale.
template <typename Draw>
QIcon Drawn(Draw draw)
{
    QPixmap pixmap(32, 32);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return QIcon(pixmap);
}

void Sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
}

} // namespace

QIcon PrinterIcon()
{
    return Drawn([](QPainter& p) {
        // The sheet waiting at the back, the body, then the printed sheet in front of it.
        Sheet(p, QRectF(4.5, 1.5, 7, 5));
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(95, 95, 95));
        p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 190, 60));
        p.drawEllipse(QPointF(12, 7.5), 0.9, 0.9);
        Sheet(p, QRectF(4.5, 9.5, 7, 5));
        p.setPen(QPen(kInk, 0.8));
        p.drawLine(QPointF(6, 11.5), QPointF(10, 11.5));
        p.drawLine(QPointF(6, 13), QPointF(9, 13));
    });
}

QIcon PageSetupIcon()
{
    return Drawn([](QPainter& p) {
        Sheet(p, QRectF(1.5, 0.5, 8, 11));
        // The margins of the upright sheet, as the page set-up shows them.
        QPen margin(QColor(30, 90, 200), 0.8, Qt::DashLine);
        p.setPen(margin);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(3.2, 2.2, 4.6, 7.6));
        Sheet(p, QRectF(6.5, 8.5, 8.5, 6));
        p.setPen(margin);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(8.2, 10.2, 5.1, 2.6));
    });
}
