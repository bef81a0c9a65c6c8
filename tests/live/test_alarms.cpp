// Alarms on the live level against hand-computed cases, the alarm option, the event log.
#include <QTemporaryDir>
#include <QTest>
#include <ctime>

#include "files.h"
#include "live/event_log.h"
#include "live/sample_schedule.h"
#include "platform/virtual_clock.h"

using namespace lp;
using live::AlarmEvent;
using live::AlarmLevel;

namespace {

QString clockTime(qint64 instant) {
    return QDateTime::fromSecsSinceEpoch(instant).toString("HH:mm:ss");
}

// "start 85.0 14:05:10", "end 85.0 14:05:10-14:05:16 6 90.0 89.3 97.1".
QString eventText(const AlarmEvent& e) {
    if (!e.ended) {
        return QStringLiteral("start %1 %2").arg(e.above, 0, 'f', 1).arg(clockTime(e.start));
    }
    const stats::LevelEvent& f = *e.ended;
    return QStringLiteral("end %1 %2-%3 %4 %5 %6 %7")
        .arg(e.above, 0, 'f', 1)
        .arg(clockTime(f.start), clockTime(f.end))
        .arg(f.duration)
        .arg(f.lmax.value_or(0.0), 0, 'f', 1)
        .arg(f.leq.value_or(0.0), 0, 'f', 1)
        .arg(f.sel.value_or(0.0), 0, 'f', 1);
}

struct AlarmRig {
    platform::VirtualClock clock;  // 14:05:09.000
    live::Alarms alarms{clock};
    QStringList told;
    bool jitter = false;
    AlarmRig() {
        QObject::connect(&alarms, &live::Alarms::eventOccurred,
                         [this](const AlarmEvent& e) { told << eventText(e); });
    }
    // One sample per level, a second apart, 40 ms early and late by turns: the clock's
    // seconds then skip one now and then.
    void feed(const QString& levels) {
        for (const QString& level : levels.split(' ')) {
            clock.advance((jitter = !jitter) ? 960 : 1040);
            const QDateTime now = clock.now();
            alarms.take({now, live::dateTimeText(now), level, {}});
        }
    }
};

}  // namespace

class TestAlarms : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void twoAlarmsByTheEventRule() {
        AlarmRig rig;
        rig.alarms.setInterval(1);
        rig.alarms.setLevels({{85.0, 3}, {70.0, 0}}, 2);
        // 85 dB: on at 14:05:10, started once it has lasted 3 s; the 1 s dip to 80 is
        // bridged, the one to 72 and 60 is not. 70 dB: started at once, the 72 is in it.
        rig.feed("60 90 90");
        QCOMPARE(rig.told, QStringList{"start 70.0 14:05:10"});
        rig.feed("90");
        QVERIFY(rig.alarms.view().on);
        rig.feed("80 90 90 72 60 60");
        QCOMPARE(rig.told, (QStringList{"start 70.0 14:05:10", "start 85.0 14:05:10",
                                        "end 85.0 14:05:10-14:05:16 6 90.0 89.3 97.1",
                                        "end 70.0 14:05:10-14:05:17 7 90.0 88.6 97.1"}));
        QVERIFY(!rig.alarms.view().on);
        QCOMPARE(rig.alarms.view().events.size(), 2);  // each start replaced by its end
        QVERIFY(rig.alarms.view().events.at(0).ended && rig.alarms.view().events.at(1).ended);

        // The meter falls silent: the event ends once the next sample is overdue, and a
        // text without a level is no level.
        rig.told.clear();
        rig.alarms.setLevels({{85.0, 0}});
        rig.feed("90 90 ---.-");
        QCOMPARE(rig.told, QStringList{"start 85.0 14:05:19"});
        rig.clock.advance(600);
        QCOMPARE(rig.told.value(1), "end 85.0 14:05:19-14:05:21 2 90.0 90.0 93.0");

        // A reading over the range goes on with the event and one under it ends it; only
        // the levels inside the range make its figures (SEL 90.0 + 10 lg 3).
        rig.told.clear();
        rig.feed("90 L 150.0 - 60");
        QCOMPARE(rig.told.size(), 2);
        QVERIFY2(rig.told.at(1).endsWith(" 3 90.0 90.0 94.8"), qPrintable(rig.told.at(1)));
    }

    void alarmOption() {
        QCOMPARE(live::readAlarmLevel(u"85"), (AlarmLevel{85.0, 0}));
        QCOMPARE(live::readAlarmLevel(u"72.5/10"), (AlarmLevel{72.5, 10}));
        for (const char16_t* bad : {u"", u"85/", u"/5", u"loud", u"85/-1", u"200", u"85/5/2"}) {
            QVERIFY2(!live::readAlarmLevel(bad), qPrintable(QString::fromUtf16(bad)));
        }
    }

    void eventLogPerDay() {
        QTemporaryDir dir;
        live::EventLog log(dir.filePath("ev.csv"));  // ev-YYYY-MM-DD.csv
        const auto at = [](int day, const char* time) {
            return QDateTime(QDate(2026, 12, day), QTime::fromString(time)).toSecsSinceEpoch();
        };
        const qint64 late = at(6, "23:59:50");
        const qint64 early = at(7, "00:00:05");
        QVERIFY(
            !log.write({85.0, late, stats::LevelEvent{late, late + 8, 8, 8, 91.24, 88.04, 97.07}}));
        QVERIFY(!log.write({85.0, early, std::nullopt}));  // only started: not logged
        const AlarmEvent next{85.0, early,
                              stats::LevelEvent{early, early + 1, 1, 1, 86.0, 86.0, {}}};
        QVERIFY(!log.write(next));
        QVERIFY(lp::test::writeFile(
            dir.filePath("ev-2026-12-07.csv"),
            lp::test::readAll(dir.filePath("ev-2026-12-07.csv")) + "2026-12-07T00:0"));
        QVERIFY(!log.write(next));
        const QByteArray header = "start,end,duration_s,lmax,leq,sel,above\r\n";
        const QByteArray nextLine =
            "2026-12-07T00:00:05+01:00,2026-12-07T00:00:06+01:00,1,86.0,86.0,,85.0\r\n";
        QCOMPARE(
            lp::test::readAll(dir.filePath("ev-2026-12-06.csv")),
            header +
                "2026-12-06T23:59:50+01:00,2026-12-06T23:59:58+01:00,8,91.2,88.0,97.1,85.0\r\n");
        QCOMPARE(lp::test::readAll(dir.filePath("ev-2026-12-07.csv")),
                 header + nextLine + "2026-12-07T00:0\r\n" + nextLine);
    }
};

QTEST_GUILESS_MAIN(TestAlarms)
#include "test_alarms.moc"
