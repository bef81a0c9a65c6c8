// The twips drawing surface: coordinates, text sizes, shapes, clearing and resizing.
#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "platform/twips.h"
#include "platform/twips_canvas.h"

using lp::platform::TwipsCanvas;

namespace {

QColor pixel(const TwipsCanvas& c, double x, double y) {
    return c.image().toImage().pixelColor(c.toPixels(x, y).toPoint());
}

}  // namespace

class TestTwipsCanvas : public QObject {
    Q_OBJECT
private slots:
    void twipsAndUserCoordinates() {
        TwipsCanvas c;
        c.resize(200, 100);
        QCOMPARE(c.scaleWidth(), lp::platform::pxToTwips(200));
        QCOMPARE(c.toPixels(c.scaleWidth(), c.scaleHeight()), QPointF(200, 100));
        c.scale(-100, 120, 100, 20);  // y upwards
        QCOMPARE(c.toPixels(-100, 120), QPointF(0, 0));
        QCOMPARE(c.toPixels(100, 20), QPointF(200, 100));
        QCOMPARE(c.toUser(QPointF(150, 25)), QPointF(50, 95));
    }

    void textIsMeasuredInUserUnits() {
        TwipsCanvas c;
        c.resize(200, 100);
        c.scale(0, 0, 400, 50);  // 2 units a pixel across, half a unit down
        const QFontMetricsF fm(c.font());
        QCOMPARE(c.textWidth(" 67.5"), fm.horizontalAdvance(" 67.5") * 2);
        QCOMPARE(c.textHeight(), fm.height() / 2);
        c.scale(0, 50, 400, 0);  // y upwards: sizes stay positive
        QVERIFY(c.textHeight() > 0);
    }

    void shapesLandOnTheirSide() {
        TwipsCanvas c;
        c.resize(200, 120);
        c.setBackColor(Qt::white);
        c.scale(-100, 100, 100, -20);  // y upwards, origin 100 px from the top
        c.setFillColor(Qt::red);
        c.sector(0, 0, 80, 0.6, 2.5, Qt::red);  // the upper fan
        QCOMPARE(pixel(c, 0, 60), QColor(Qt::red));
        QCOMPARE(pixel(c, 0, -10), QColor(Qt::white));
        QCOMPARE(pixel(c, 70, 10), QColor(Qt::white));  // right of 34 degrees
        c.cls();
        QCOMPARE(pixel(c, 0, 60), QColor(Qt::white));
        c.setDrawWidth(3);
        c.arc(0, 0, 80, 0.6, 2.5, Qt::blue);
        QCOMPARE(pixel(c, 0, 80), QColor(Qt::blue));
        QCOMPARE(pixel(c, 80, 0), QColor(Qt::white));  // not below 34 degrees
        // Going past zero: from 300 to 60 degrees is the right-hand side.
        c.cls();
        c.arc(0, 0, 80, 300 * M_PI / 180, 60 * M_PI / 180, Qt::blue);
        QCOMPARE(pixel(c, 80, 0), QColor(Qt::blue));
        QCOMPARE(pixel(c, 0, 80), QColor(Qt::white));
        c.cls();
        c.box(10, 10, 30, 30, Qt::green, true);
        QCOMPARE(pixel(c, 20, 20), QColor(Qt::green));
        c.line(-100, 50, 100, 50, Qt::black);
        QCOMPARE(pixel(c, 50, 50), QColor(Qt::black));
    }

    void resizingClearsAndTells() {
        TwipsCanvas c;
        c.resize(100, 100);
        c.setBackColor(Qt::white);
        c.box(0, 0, c.scaleWidth(), c.scaleHeight(), Qt::black, true);
        QSignalSpy resized(&c, &TwipsCanvas::resized);
        c.resize(120, 90);
        c.show();  // resize events reach a widget once it is shown
        QVERIFY(resized.size() >= 1);
        QCOMPARE(c.image().size(), QSize(120, 90) * c.devicePixelRatioF());
        QCOMPARE(c.image().toImage().pixelColor(5, 5), QColor(Qt::white));
    }
};

QTEST_MAIN(TestTwipsCanvas)
#include "test_twips_canvas.moc"
