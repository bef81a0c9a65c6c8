#include "panel/panel_pictures.h"

#include <QPainter>
#include <QPolygonF>

namespace lp::panel {

QPixmap batteryPicture(const QSize& size, const QColor& color, qreal dpr) {
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    const double line = std::max(1.5, h * 0.1);
    const double tip = w * 0.08;
    // Body, terminal and one last bar of charge.
    QRectF body(line / 2, line / 2 + h * 0.05, w - tip - line, h - line - h * 0.1);
    p.setPen(QPen(color, line));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, line, line);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(w - tip - line / 2, h * 0.32, tip, h * 0.36));
    const double inset = line * 1.6;
    p.drawRect(QRectF(body.left() + inset, body.top() + inset, body.width() * 0.18,
                      body.height() - 2 * inset));
    return pm;
}

QIcon arrowIcon(bool up, const QColor& color) {
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0}) {
        const QSize size(20, 14);
        QPixmap pm(size * dpr);
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        const QPolygonF triangle =
            up ? QPolygonF({{2, 13}, {10, 1}, {18, 13}}) : QPolygonF({{2, 1}, {10, 13}, {18, 1}});
        p.drawPolygon(triangle);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace lp::panel
