// The toolbar pictures, drawn so the program carries no image files.
#include "lists/toolbar_icons.h"

#include <QPainter>
#include <QPixmap>

namespace lp::lists {

QIcon toolbarIcon(const QString& key) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    if (key == QLatin1String("Save")) {  // a diskette
        p.setBrush(QColor(40, 70, 160));
        p.drawRect(1, 1, 13, 13);
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 7, 5);
        p.fillRect(4, 10, 8, 4, Qt::lightGray);
    } else if (key == QLatin1String("Plot")) {  // a curve over axes
        p.drawLine(2, 1, 2, 14);
        p.drawLine(2, 14, 15, 14);
        p.setPen(QPen(QColor(200, 30, 30), 1));
        const QPoint curve[] = {{3, 11}, {6, 6}, {8, 9}, {11, 3}, {14, 7}};
        p.drawPolyline(curve, 5);
    } else if (key == QLatin1String("Ln")) {  // bars of a histogram
        p.setBrush(QColor(30, 130, 60));
        p.drawRect(1, 9, 3, 5);
        p.drawRect(5, 4, 3, 10);
        p.drawRect(9, 2, 3, 12);
        p.drawRect(13, 8, 2, 6);
    } else if (key == QLatin1String("Survey")) {  // period levels as steps over axes
        p.drawLine(1, 1, 1, 14);
        p.drawLine(1, 14, 15, 14);
        p.setPen(QPen(QColor(40, 70, 160), 2));
        const QPoint steps[] = {{3, 10}, {6, 10}, {6, 5},  {9, 5},
                                {9, 8},  {12, 8}, {12, 3}, {15, 3}};
        p.drawPolyline(steps, 8);
    } else if (key == QLatin1String("Csv")) {  // a sheet of cells, its top row marked
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 13, 13);
        p.fillRect(2, 2, 12, 3, QColor(30, 130, 60));
        p.drawLine(1, 5, 14, 5);
        p.drawLine(1, 9, 14, 9);
        p.drawLine(5, 1, 5, 14);
        p.drawLine(10, 1, 10, 14);
    } else if (key == QLatin1String("Exit")) {  // an open door, an arrow leaving it
        p.setBrush(QColor(150, 100, 50));
        p.drawRect(1, 1, 8, 13);
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.drawLine(6, 8, 13, 8);
        p.drawLine(11, 5, 14, 8);
        p.drawLine(11, 11, 14, 8);
    } else if (key == QLatin1String("Print")) {  // a printer with its sheet
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 7, 6);
        p.setBrush(Qt::gray);
        p.drawRect(1, 6, 13, 6);
        p.setBrush(Qt::white);
        p.drawRect(4, 10, 7, 5);
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace lp::lists
