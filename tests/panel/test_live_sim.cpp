// The live cycle and the recording against the simulated meter on a virtual clock,
// without windows: the view follows the meter's keys, and three minutes recorded at
// 1 s hold exactly the levels the cycle showed at each sample.
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "link/key_commands.h"
#include "live_rig.h"
#include "panel/recording.h"
#include "sim/sim_meter.h"
#include "sim/sim_transport.h"

using namespace lp;

namespace {

struct SimRig {
    platform::VirtualClock clock;
    sim::SimMeter meter;
    sim::SimTransport port{meter, clock};
    link::MeterLink link{port, clock};
    link::LivePoller poller{link};
    panel::LiveCycle cycle{link, poller, clock, {QStringLiteral("COM1"), QStringLiteral("Com1")}};
};

// weighting|response|range|lamps (Max, Record)
QString face(const panel::LiveView& v) {
    return QStringList(
               {v.meter.weighting, v.meter.response, v.meter.rangeHigh + '-' + v.meter.rangeLow,
                QString(v.meter.maxHoldShown ? "M" : "") + (v.meter.recordShown ? "R" : "")})
        .join('|');
}

}  // namespace

class TestLiveSim : public QObject {
    Q_OBJECT
private slots:
    void viewFollowsTheMetersKeys() {
        SimRig rig;
        rig.clock.advance(1000);
        QVERIFY(
            QRegularExpression("^\\d{2,3}\\.\\d$").match(rig.cycle.view().meter.level).hasMatch());
        using K = link::MeterKey;
        QStringList faces{face(rig.cycle.view())};
        for (K key : {K::AC, K::FS, K::Max, K::RangeUp, K::RangeDown, K::RecStart, K::RecStop}) {
            link::pressKey(rig.link, key);
            rig.clock.advance(1500);
            faces << face(rig.cycle.view());
        }
        QCOMPARE(faces, QStringList({"A|FAST|80-30|", "  C|FAST|80-30|", "  C|    SLOW|80-30|",
                                     "  C|    SLOW|80-30|M", "  C|    SLOW|90-40|M",
                                     "  C|    SLOW|80-30|M", "  C|    SLOW|80-30|MR",
                                     "  C|    SLOW|80-30|M"}));
        QCOMPARE(rig.cycle.view().link, QString("COM1"));
    }

    // Three minutes at 1 s: every line holds the level of its sample, and the level moved.
    void threeMinutesRecordedAtOneSecond() {
        QTemporaryDir dir;
        const QString path = dir.filePath("three.sdm");
        SimRig rig;
        panel::Recording recording;
        QObject::connect(&rig.cycle, &panel::LiveCycle::sampleTaken, &recording,
                         &panel::Recording::record);
        QSignalSpy samples(&rig.cycle, &panel::LiveCycle::sampleTaken);
        rig.cycle.setSamplingSeconds(1);
        recording.chooseFile(path);
        rig.clock.advance(500);
        QVERIFY(!recording.start());
        rig.clock.advance(180 * 1000);
        recording.stop();
        QCOMPARE(samples.size(), 180);

        QByteArray file = test::kRecordHeader;
        QStringList levels;
        for (int i = 0; i < 180; ++i) {
            const auto s = samples[i][0].value<panel::Sample>();
            QCOMPARE(s.levelText, panel::panelView(s.reading).level);
            levels << s.levelText;
            file += QStringLiteral("%1\t%2\t%3\t\r\n")
                        .arg(i + 1)
                        .arg(s.dateTime, s.levelText)
                        .toLatin1();
        }
        QCOMPARE(test::readAll(path), file);
        QVERIFY(levels.removeDuplicates() < 179);  // the level moved
    }
};

QTEST_MAIN(TestLiveSim)
#include "test_live_sim.moc"
