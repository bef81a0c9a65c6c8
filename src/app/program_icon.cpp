// Renders packaging/levelpanel.svg (built in as a resource) at the usual icon sizes.
#include "app/program_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace lp::app {

QIcon programIcon() {
    QSvgRenderer svg(QStringLiteral(":/levelpanel.svg"));
    QIcon icon;
    if (!svg.isValid()) {
        return icon;
    }
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        svg.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace lp::app
