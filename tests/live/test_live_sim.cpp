// The live cycle and the recording against the simulated meter on a virtual clock,
// without windows: three minutes recorded at 1 s hold exactly the levels the cycle
// showed at each sample. (The meter's answer to each key: test_sim_meter.)
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "live/recording.h"
#include "live_rig.h"
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
    live::LiveCycle cycle{link, poller, clock, {QStringLiteral("COM1"), QStringLiteral("Com1")}};
};

}  // namespace

class TestLiveSim : public QObject {
    Q_OBJECT
private slots:
    // Three minutes at 1 s: every line holds the level of its sample, and the level moved.
    void threeMinutesRecordedAtOneSecond() {
        QTemporaryDir dir;
        const QString path = dir.filePath("three.sdm");
        SimRig rig;
        live::Recording recording;
        QObject::connect(&rig.cycle, &live::LiveCycle::sampleTaken, &recording,
                         &live::Recording::record);
        QSignalSpy samples(&rig.cycle, &live::LiveCycle::sampleTaken);
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
            const auto s = samples[i][0].value<live::Sample>();
            QCOMPARE(s.levelText, live::meterView(s.reading).level);
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
