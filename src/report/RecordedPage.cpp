#include "report/RecordedPage.h"

#include <QPainter>
#include <QPen>
#include <cmath>

void TRecordedPage::Replay(QPainter& painter, const QRectF& target) const
{
    if (Size.isEmpty() || target.isEmpty())
        return;
    painter.save();
    // A page never draws outside its rectangle, which in 2 x 2 mode is a neighbour's.
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    const qreal sx = target.width() / Size.width();
    const qreal sy = target.height() / Size.height();
    painter.scale(sx, sy);
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // Device pixels per page unit: a pen thinner than one device pixel is drawn as the
    // thinnest line the device has, so the rules never vanish at small zoom.
    const QTransform dt = painter.deviceTransform();
    const qreal devScale = std::min(std::hypot(dt.m11(), dt.m12()), std::hypot(dt.m21(), dt.m22()));
    int pen = -1;
    int font = -1;
    for (const TPageItem& item : Items) {
        if (item.Kind == pikLine) {
            if (item.Style != pen && item.Style < int(Pens.size())) {
                pen = item.Style;
                const TPagePen& p = Pens[size_t(pen)];
                QPen qp(QColor::fromRgba(p.Color));
                if (p.Width * devScale < 1.0) {
                    qp.setWidth(0);
                    qp.setCosmetic(true);
                } else {
                    qp.setWidthF(p.Width);
                }
                qp.setCapStyle(Qt::SquareCap);
                painter.setPen(qp);
            }
            painter.drawLine(item.A, item.B);
        } else {
            if (item.Style != font && item.Style < int(Fonts.size())) {
                font = item.Style;
                painter.setFont(Fonts[size_t(font)].ToQFont());
                painter.setPen(QColor::fromRgba(Fonts[size_t(font)].Color));
                pen = -1;
            }
            if (!item.Clip.isEmpty()) {
                painter.save();
                painter.setClipRect(item.Clip, Qt::IntersectClip);
                painter.drawText(item.A, item.Text);
                painter.restore();
            } else {
                painter.drawText(item.A, item.Text);
            }
        }
    }
    painter.restore();
}

size_t TRecordedPage::MemoryBytes() const
{
    size_t bytes = sizeof(*this) + Items.capacity() * sizeof(TPageItem)
        + Fonts.capacity() * sizeof(TPageFont) + Pens.capacity() * sizeof(TPagePen);
    for (const TPageItem& item : Items)
        if (!item.Text.isEmpty())
            bytes += size_t(item.Text.capacity()) * sizeof(QChar) + 24;
    return bytes;
}
