// The analog meter window opened from the panel: placement, dial, needle, the reopen on a
// range change, closing and minimizing (angles and scale numbers: test_analog_geometry).
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "keys.h"
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

// Ink at 0.9 R along the given angle in degrees.
bool needleInked(const panel::AnalogMeter& meter, double degrees) {
    const double a = degrees * M_PI / 180.0;
    const double r = 0.9 * meter.radius();
    return inked(meter, r * std::cos(a), r * std::sin(a));
}

}  // namespace

class TestAnalogMeter : public QObject {
    Q_OBJECT
private slots:
    // Beside the panel with the cycle's scale; each sample's needle erases the last.
    void opensBesideThePanelAndDrawsTheNeedle() {
        PanelRig rig;
        rig.sampleEvery("1");
        rig.meterShows(liveFrame(0x40, 0x05, 0x50));  // 55 dB in 30..80
        rig.clock.advance(400);
        rig.click("CmdAnalog");
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        QVERIFY(meter && meter->isVisible());
        // Beside the panel, as far as the screen lets it.
        const QRect panelFrame = rig.panel->frameGeometry();
        const int right = meter->screen()->availableGeometry().right() + 1;
        QCOMPARE(meter->pos(), QPoint(std::min(panelFrame.x() + panelFrame.width(),
                                               right - meter->frameGeometry().width()),
                                      panelFrame.y()));
        QCOMPARE(meter->scaleTexts().at(3), QString(" 80"));
        QVERIFY(inked(*meter, 0, meter->radius()));  // the arc's top
        QVERIFY(std::isnan(meter->needleAngle()));
        rig.clock.advance(1000);
        QVERIFY(needleInked(*meter, 90.0));
        rig.meterShows(liveFrame(0x40, 0x08, 0x50));  // 85 dB: pinned right
        rig.clock.advance(1000);
        QVERIFY(needleInked(*meter, 35.0));
        QVERIFY(!needleInked(*meter, 90.0));
        QVERIFY(inked(*meter, 0, 1.06 * meter->radius()));  // the long tick at 90 degrees stays
    }

    void keysClose_data() { test::keyRows({{"Ctrl+W", "CloseKeys"}, {"Esc", "CloseKeys"}}); }
    void keysClose() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, command);
        PanelRig rig;
        rig.click("CmdAnalog");
        QCOMPARE(test::runsOnKeys(*rig.panel->analogMeter(), command, keys), 1);
        QVERIFY(!rig.panel->analogMeter()->isVisible());
    }

    // A range change reopens the window with the new scale; the next sample draws on it.
    void rangeChangeReopensTheWindow() {
        PanelRig rig;  // 2 sec sampling
        rig.clock.advance(400);
        rig.click("CmdAnalog");
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        rig.clock.advance(600);
        const int drawings = meter->dialDrawings();
        rig.meterShows(liveFrame(0x41, 0x06, 0x53));  // 40..90, 65.3 dB
        rig.clock.advance(1300);                      // the sample in the new range
        QVERIFY(meter->isVisible());
        QVERIFY(meter->dialDrawings() > drawings);
        QCOMPARE(meter->scaleTexts().at(3), QString(" 90"));
        rig.clock.advance(1000);
        QCOMPARE(meter->needleAngle(), 89.34f);
    }

    // Minimized it draws nothing until restored; closed it stays so until ANALOG.
    void minimizedOrClosedWindowDrawsNothing() {
        PanelRig rig;
        rig.sampleEvery("1");
        rig.clock.advance(400);
        rig.click("CmdAnalog");
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        meter->showMinimized();
        QVERIFY(meter->isMinimized());
        int drawings = meter->dialDrawings();
        meter->resize(meter->width() + 40, meter->height() + 20);
        rig.clock.advance(3000);
        QCOMPARE(meter->dialDrawings(), drawings);
        QVERIFY(std::isnan(meter->needleAngle()));
        meter->showNormal();
        QVERIFY(meter->dialDrawings() > drawings);
        rig.clock.advance(1000);
        QVERIFY(!std::isnan(meter->needleAngle()));

        meter->close();
        drawings = meter->dialDrawings();
        rig.meterShows(liveFrame(0x41, 0x06, 0x53));  // 40..90
        rig.clock.advance(3000);
        QVERIFY(!meter->isVisible());
        QCOMPARE(meter->dialDrawings(), drawings);
        rig.click("CmdAnalog");
        QVERIFY(meter->isVisible());
        QCOMPARE(meter->scaleTexts().at(3), QString(" 90"));
    }
};

QTEST_MAIN(TestAnalogMeter)
#include "test_analog_meter.moc"
