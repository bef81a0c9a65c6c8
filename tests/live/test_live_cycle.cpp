// The live cycle without any window, on a virtual clock.
#include <QSignalSpy>
#include <QTest>

#include "live_rig.h"

using namespace lp;
using test::liveFrame;
using test::LiveRig;

namespace {

QString maxMin(const LiveRig& rig) {
    return rig.cycle.view().max + '|' + rig.cycle.view().min;
}

QStringList sampleTimes(const QSignalSpy& samples) {
    QStringList times;
    for (const auto& args : samples) {
        times << args[0].value<live::Sample>().when.toString("HH:mm:ss");
    }
    return times;
}

}  // namespace

class TestLiveCycle : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<live::Sample>(); }

    // Each frame reaches the view (its texts: test_live_rules); MAX and MIN follow every
    // frame until RESET.
    void framesMakeTheViewAndMaxMin() {
        LiveRig rig;
        rig.cycle.resetMaxMin();  // before any frame
        QCOMPARE(maxMin(rig), "|");
        rig.meterShows(liveFrame(0xF8, 0xE3, 0x12));
        rig.meterShows(liveFrame(0x07, 0x10, 0x52));
        QCOMPARE(rig.cycle.view().meter.level, QString("105.2"));
        QCOMPARE(maxMin(rig), "105.2|31.2");
        rig.cycle.resetMaxMin();
        QCOMPARE(maxMin(rig), "105.2|105.2");
    }

    // A sample at the first tick, then every sampling time; each carries the clock, the
    // reading and the level shown at the time.
    void samplesFollowTheSamplingTime() {
        LiveRig rig;
        QSignalSpy samples(&rig.cycle, &live::LiveCycle::sampleTaken);
        rig.clock.advance(5000);
        rig.cycle.setSamplingSeconds(1);
        rig.clock.advance(3000);
        QCOMPARE(sampleTimes(samples).join(' '),
                 "14:05:10 14:05:12 14:05:14 14:05:15 14:05:16 14:05:17");
        const auto last = samples.last()[0].value<live::Sample>();
        QCOMPARE(last.dateTime, QString("2009/06/01 14:05:17"));
        QCOMPARE(last.reading.rangeHigh, qint16(80));
        rig.frame = liveFrame(0x40, 0x07, 0x04);  // the next sample takes the new level
        rig.clock.advance(1000);
        QCOMPARE(samples.last()[0].value<live::Sample>().levelText, QString("70.4"));
    }

    // A sample needs a frame since the sample before: none while the meter is silent
    // (the last frame, at 3.05 s, still makes the sample at :13), none before the first
    // frame, and samples again once frames come back.
    void samplesOnlyWithAFreshFrame() {
        LiveRig rig;
        QSignalSpy samples(&rig.cycle, &live::LiveCycle::sampleTaken);
        rig.cycle.setSamplingSeconds(1);
        rig.clock.advance(3000);
        rig.meterOn = false;
        rig.clock.advance(3000);
        rig.meterOn = true;
        rig.clock.advance(2000);
        QCOMPARE(sampleTimes(samples).join(' '),
                 "14:05:10 14:05:11 14:05:12 14:05:13 14:05:16 14:05:17");

        LiveRig silent;
        silent.meterOn = false;
        QSignalSpy none(&silent.cycle, &live::LiveCycle::sampleTaken);
        silent.clock.advance(5000);
        QCOMPARE(none.size(), 0);
        QCOMPARE(silent.cycle.view().time, QString("14:05:14"));  // the clock still shows
    }

    // The port's name while the meter answers; "No COM", silent, after ten failed
    // attempts or when the port goes away; the name again with the next frame.
    void linkLabelFollowsTheMeter() {
        LiveRig rig;
        QCOMPARE(rig.cycle.view().link, QString("COM1"));
        rig.meterOn = false;
        rig.clock.advance(2400);  // ten attempts: test_meter_link
        QCOMPARE(rig.cycle.view().link, QString("No COM"));
        QVERIFY(rig.cycle.view().silent);
        QCOMPARE(rig.cycle.view().meter.level, QString("---.-"));  // nothing decoded meanwhile
        rig.meterOn = true;
        rig.cycle.setPortNames({"SIM", "SIM"});
        rig.clock.advance(600);
        QCOMPARE(rig.cycle.view().link, QString("SIM"));
        QVERIFY(!rig.cycle.view().silent);
        rig.port.fail("gone");
        QCOMPARE(rig.cycle.view().link, QString("No COM"));
    }

    // "Wait..." until the clock bytes are out, then the port's after-clock-set name.
    void clockSetSendsTheClock() {
        LiveRig rig;
        rig.clock.advance(400);
        rig.clock.setNow(QDateTime(QDate(2009, 6, 1), QTime(14, 5, 9)));
        rig.cycle.setMeterClock();
        QCOMPARE(rig.cycle.view().link, QString("Wait..."));
        QVERIFY(rig.cycle.view().clockSetPending);
        rig.clock.advance(600);
        QVERIFY(rig.port.written.contains('D'));  // the bytes: test_meter_link
        QCOMPARE(rig.cycle.view().link, QString("Com1"));
        QVERIFY(!rig.cycle.view().clockSetPending);
        // With the port gone the clock set is refused at once: the label keeps saying
        // so, and nothing waits.
        rig.port.fail("gone");
        rig.cycle.setMeterClock();
        QCOMPARE(rig.cycle.view().link, QString("No COM"));
        QVERIFY(!rig.cycle.view().clockSetPending);
    }

    // While a dial is shown, each sample moves its needle; a sample in another range
    // asks for a new dial instead, and the next tick samples again.
    void dialRangeDecidesNeedleOrNewDial() {
        LiveRig rig;
        QSignalSpy samples(&rig.cycle, &live::LiveCycle::sampleTaken);
        QSignalSpy needles(&rig.cycle, &live::LiveCycle::needleDue);
        QSignalSpy stale(&rig.cycle, &live::LiveCycle::dialStale);
        rig.clock.advance(400);
        rig.cycle.setDialRange(link::RangeEnds{30, 80});
        rig.clock.advance(2600);  // samples at :10 and :12
        QCOMPARE(needles.size(), 2);
        rig.frame = liveFrame(0x41, 0x06, 0x53);  // 40..90
        rig.clock.advance(1000);                  // :13, no sample due
        rig.clock.advance(1000);                  // :14, the new range
        QCOMPARE(stale.size(), 1);
        rig.cycle.setDialRange(link::RangeEnds{40, 90});
        rig.clock.advance(1000);  // sampled again at :15
        QCOMPARE(sampleTimes(samples).join(' '), "14:05:10 14:05:12 14:05:14 14:05:15");
        QCOMPARE(needles.size(), 3);
        rig.cycle.setDialRange({});
        rig.clock.advance(2000);
        QCOMPARE(needles.size(), 3);
        QCOMPARE(stale.size(), 1);
    }

    void pausedTimersNeitherPollNorSample() {
        LiveRig rig;
        QSignalSpy samples(&rig.cycle, &live::LiveCycle::sampleTaken);
        rig.cycle.pauseTimers();
        rig.cycle.pauseTimers();
        rig.clock.advance(3000);
        rig.cycle.resumeTimers();
        rig.clock.advance(3000);
        QVERIFY(rig.port.written.isEmpty());
        QCOMPARE(samples.size(), 0);
        rig.cycle.resumeTimers();
        rig.clock.advance(1000);
        QCOMPARE(samples.size(), 1);
        QVERIFY(!rig.port.written.isEmpty());
        rig.cycle.setPolling(false);
        const QByteArray before = rig.port.written;
        rig.clock.advance(2000);
        QCOMPARE(rig.port.written, before);
        QCOMPARE(rig.cycle.view().time, QString("14:05:18"));  // the clock goes on
    }
};

QTEST_MAIN(TestLiveCycle)
#include "test_live_cycle.moc"
