// The analog meter window opened from the panel: placement, the dial for the
// range, the needle and its erasing, the reopen on a range change, closing,
// minimizing, and a range without width.
#include <QTest>
#include <cmath>

#include "panel/analog_geometry.h"
#include "panel/analog_meter.h"
#include "panel_rig.h"
#include "platform/twips_canvas.h"

using namespace lp;
using test::liveFrame;
using test::PanelRig;

namespace {

// Whether the dial shows the drawing colour (not the yellow face) at a point given
// in dial units.
bool inked(const panel::AnalogMeter& meter, double x, double y) {
    const QPoint p = meter.canvas()->toPixels(x, y).toPoint();
    const QImage image = meter.canvas()->image().toImage();
    return qGray(image.pixel(p)) < 128 && qBlue(image.pixel(p)) < 128;
}

}  // namespace

class TestAnalogMeter : public QObject {
    Q_OBJECT
private slots:
    void opensBesideThePanelWithItsScale() {
        PanelRig rig;
        rig.clock.advance(400);  // range 30..80
        rig.click("CmdAnalog");
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        QVERIFY(meter && meter->isVisible());
        QCOMPARE(meter->windowTitle(), QString("Analog"));
        QVERIFY(rig.state.AnalogOn);
        QCOMPARE(rig.state.AnalogHigh, 80.0);
        QCOMPARE(rig.state.AnalogLow, 30.0);
        QCOMPARE(meter->x(), rig.panel->frameGeometry().x() + rig.panel->frameGeometry().width());
        QCOMPARE(meter->y(), rig.panel->frameGeometry().y());
        QCOMPARE(meter->scaleTexts(), (QStringList{" 55", " 67.5", " 42.5", " 80", " 30"}));
        QCOMPARE(meter->findChild<QLabel*>("LblRan")->text(), QString("dB"));
        QCOMPARE(meter->findChild<QLabel*>("LblFun")->text(), QString("dB"));
        QCOMPARE(meter->radius(), meter->canvas()->widthTwips() / 2);
        // The arc's top and the long tick at 90 degrees are drawn.
        QVERIFY(inked(*meter, 0, meter->radius()));
        QVERIFY(inked(*meter, 0, 1.06 * meter->radius()));
    }

    void needleFollowsTheLevelAndIsPinnedAtTheEnds_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<float>("angle");
        QTest::newRow("55 points up") << liveFrame(0x40, 0x05, 0x50) << 90.0f;
        QTest::newRow("80 right end") << liveFrame(0x40, 0x08, 0x00) << 35.0f;
        QTest::newRow("85 pinned right") << liveFrame(0x40, 0x08, 0x50) << 35.0f;
        QTest::newRow("20 pinned left") << liveFrame(0x40, 0x02, 0x00) << 145.0f;
    }
    void needleFollowsTheLevelAndIsPinnedAtTheEnds() {
        QFETCH(QByteArray, frame);
        QFETCH(float, angle);
        PanelRig rig;
        rig.dialogs.inputs.push_back(QStringLiteral("1"));
        rig.click("CmdPc");
        rig.meterShows(liveFrame(0x40, 0x05, 0x50));  // 55 dB
        rig.click("CmdAnalog");
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        QVERIFY(std::isnan(meter->needleAngle()));
        rig.clock.advance(1000);
        QCOMPARE(meter->needleAngle(), 90.0f);
        const double r = meter->radius();
        QVERIFY(inked(*meter, 0, 0.9 * r));

        rig.meterShows(frame);
        rig.clock.advance(1000);
        QCOMPARE(meter->needleAngle(), angle);
        const double a = angle * M_PI / 180.0;
        QVERIFY(inked(*meter, 0.9 * r * std::cos(a), 0.9 * r * std::sin(a)));
        // The needle before is gone unless it is the same one.
        QCOMPARE(inked(*meter, 0, 0.9 * r), angle == 90.0f);
        // The ticks outside the erased sector stay.
        QVERIFY(inked(*meter, 0, 1.06 * r));
    }

    void rangeChangeReopensTheWindow() {
        PanelRig rig;  // 2 sec sampling
        rig.clock.advance(400);
        rig.click("CmdAnalog");
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        rig.clock.advance(600);  // tick 1: a sample, the needle
        QVERIFY(!std::isnan(meter->needleAngle()));
        const int drawings = meter->dialDrawings();
        rig.meterShows(liveFrame(0x41, 0x06, 0x53));  // 40..90, 65.3 dB
        rig.clock.advance(300);                       // tick 2: no sample
        QCOMPARE(meter->dialDrawings(), drawings);
        rig.clock.advance(1000);  // tick 3: range changed, the window is opened again
        QVERIFY(meter->isVisible());
        QVERIFY(meter->dialDrawings() > drawings);
        QCOMPARE(meter->scaleTexts(), (QStringList{" 65", " 77.5", " 52.5", " 90", " 40"}));
        QCOMPARE(rig.state.AnalogHigh, 90.0);
        QCOMPARE(rig.state.AnalogLow, 40.0);
        QVERIFY(rig.state.AnalogOn);
        QVERIFY(std::isnan(meter->needleAngle()));
        rig.clock.advance(1000);  // tick 4 samples again at once
        QVERIFY(!std::isnan(meter->needleAngle()));
        QCOMPARE(meter->needleAngle(), panel::needleAngle(65.3f, 90, 40));
    }

    void closedWindowStaysClosed() {
        PanelRig rig;
        rig.clock.advance(400);
        rig.click("CmdAnalog");
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        meter->close();
        QVERIFY(!rig.state.AnalogOn);
        const int drawings = meter->dialDrawings();
        rig.meterShows(liveFrame(0x41, 0x06, 0x53));
        rig.clock.advance(3000);
        QVERIFY(!meter->isVisible());
        QCOMPARE(meter->dialDrawings(), drawings);
        // Opening it again draws the dial for the range of now.
        rig.click("CmdAnalog");
        QVERIFY(meter->isVisible());
        QCOMPARE(meter->scaleTexts().at(3), QString(" 90"));
    }

    void minimizedWindowDrawsNothing() {
        PanelRig rig;
        rig.dialogs.inputs.push_back(QStringLiteral("1"));
        rig.click("CmdPc");
        rig.clock.advance(400);
        rig.click("CmdAnalog");
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        meter->showMinimized();
        QVERIFY(meter->isMinimized());
        const int drawings = meter->dialDrawings();
        meter->resize(meter->width() + 40, meter->height() + 20);
        rig.clock.advance(3000);
        QCOMPARE(meter->dialDrawings(), drawings);
        QVERIFY(std::isnan(meter->needleAngle()));
        meter->showNormal();
        QVERIFY(meter->dialDrawings() > drawings);
        rig.clock.advance(1000);
        QVERIFY(!std::isnan(meter->needleAngle()));
    }

    void rangeWithoutWidthLeavesTheNeedleAtRest() {
        PanelRig rig;
        rig.dialogs.inputs.push_back(QStringLiteral("1"));
        rig.click("CmdPc");
        rig.meterShows(liveFrame(0x07, 0x06, 0x53));  // range code 7: 0..0
        rig.click("CmdAnalog");
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        QCOMPARE(meter->scaleTexts(), (QStringList{" 0", " 0", " 0", " 0", " 0"}));
        rig.clock.advance(1000);
        QCOMPARE(meter->needleAngle(), 145.0f);
    }
};

QTEST_MAIN(TestAnalogMeter)
#include "test_analog_meter.moc"
