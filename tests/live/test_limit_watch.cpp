// The live limits against figures worked by hand: the level still allowed, a period's
// figure and its alignment, the rolling span, the hysteresis and the repeat.
#include <QTest>

#include "live/limit_watch.h"
#include "live/sample_schedule.h"

using namespace lp;
using live::LimitEvent;
using live::LimitLevel;
using live::LiveLimitRule;

Q_DECLARE_METATYPE(std::optional<double>)

namespace {

LiveLimitRule rule(assess::LimitFigure figure, bool rolling, qint64 length, double db,
                   std::optional<double> warn = std::nullopt) {
    LiveLimitRule r;
    r.figure = figure;
    r.rolling = rolling;
    r.length = length;
    r.db = db;
    r.warn = warn;
    r.text = QStringLiteral("rule");
    return r;
}

// "3 start alarm 80.0/80.0": seconds since the first sample, kind, level, value/limit.
QString eventText(const LimitEvent& e, qint64 origin) {
    return QStringLiteral("%1 %2 %3 %4/%5")
        .arg(e.instant - origin)
        .arg(live::limitEventKindText(e.kind), live::limitLevelText(e.level))
        .arg(e.value, 0, 'f', 1)
        .arg(e.limit, 0, 'f', 1);
}

struct WatchRig {
    live::LimitWatch watch;
    QDateTime at;
    int seconds = 1;
    qint64 origin = 0;
    QStringList told;
    WatchRig(const live::LiveLimitOptions& options, const QDateTime& start, int interval)
        : at(start), seconds(interval), origin(start.toSecsSinceEpoch()) {
        watch.setOptions(options);
        watch.setInterval(interval);
        QObject::connect(&watch, &live::LimitWatch::eventOccurred,
                         [this](const LimitEvent& e) { told << eventText(e, origin); });
    }
    // One sample per level, S apart, an A-weighted FAST reading with it.
    void feed(const QString& levels) {
        for (const QString& level : levels.split(' ')) {
            link::Reading reading;
            reading.weightingA = true;
            watch.take({at, live::dateTimeText(at), level, reading});
            at = at.addSecs(seconds);
        }
    }
    [[nodiscard]] const live::LimitStatus& status() const { return watch.statuses().front(); }
};

}  // namespace

class TestLimitWatch : public QObject {
    Q_OBJECT
private slots:
    // allowed = 10 lg(((n + m) 10^(DB/10) - E) / m), worked with a calculator.
    void allowedByHand_data() {
        QTest::addColumn<qint64>("n");
        QTest::addColumn<double>("energy");
        QTest::addColumn<qint64>("m");
        QTest::addColumn<double>("db");
        QTest::addColumn<std::optional<double>>("allowed");
        QTest::newRow("at the limit so far")
            << qint64(4) << 4e7 << qint64(6) << 70.0 << std::optional(70.0);
        QTest::newRow("one sample left")
            << qint64(9) << 9e6 << qint64(1) << 70.0 << std::optional(79.5904);
        QTest::newRow("little room left")
            << qint64(5) << 5e8 << qint64(5) << 77.0 << std::optional(53.7557);
        QTest::newRow("over whatever follows")
            << qint64(5) << 5e8 << qint64(5) << 76.0 << std::optional<double>();
        QTest::newRow("nothing left")
            << qint64(4) << 4e6 << qint64(0) << 70.0 << std::optional<double>();
    }
    void allowedByHand() {
        QFETCH(qint64, n);
        QFETCH(double, energy);
        QFETCH(qint64, m);
        QFETCH(double, db);
        QFETCH(std::optional<double>, allowed);
        const std::optional<double> got = live::allowedLevel(n, energy, m, db);
        QCOMPARE(got.has_value(), allowed.has_value());
        if (allowed) {
            QVERIFY2(std::abs(*got - *allowed) < 1e-3, qPrintable(QString::number(*got)));
        }
    }

    // A period of 1 min at S = 6 s holds 10 samples; it begins at 12:00:00, so the loud
    // sample at 11:59:54 lies in the period before. Limit 73: after four samples of
    // 70 dB, E = 4e7, m = (60 - 24) / 6 = 6: allowed = 10 lg((10 x 10^7.3 - 4e7) / 6)
    // = 74.2; after an 80 dB sample, E = 1.4e8, so far 10 lg(2.8e7) = 74.5, m = 5:
    // allowed 10 lg((10 x 10^7.3 - 1.4e8) / 5) = 70.8; after another, E = 2.4e8 is over
    // 10 x 10^7.3 = 2.0e8: over whatever follows, so far 10 lg(4e7) = 76.0.
    void periodAllowance() {
        live::LiveLimitOptions options;
        options.rules = {rule(assess::LimitFigure::Laeq, false, 60, 73.0)};
        WatchRig rig(options, QDateTime(QDate(2026, 12, 6), QTime(11, 59, 54)), 6);
        rig.feed("90.0 70.0 70.0 70.0 70.0");
        QCOMPARE(rig.status().soFar, 70.0);
        QCOMPARE(rig.status().allowed, 74.2);
        QCOMPARE(rig.status().secondsLeft, 36);
        QCOMPARE(live::limitStatusText(rig.status()),
                 "LAeq,1min so far 70.0 · allowed for the remaining 36 s: 74.2");
        rig.feed("80.0");
        QCOMPARE(rig.status().soFar, 74.5);
        QCOMPARE(rig.status().allowed, 70.8);
        rig.feed("80.0");
        QCOMPARE(rig.status().soFar, 76.0);
        QVERIFY(rig.status().exceeded);
        QCOMPARE(live::limitStatusText(rig.status()),
                 "LAeq,1min so far 76.0 · over its limit whatever follows");
        QCOMPARE(rig.told, (QStringList{"0 start alarm 90.0/73.0", "6 end alarm 70.0/73.0",
                                        "30 start alarm 74.5/73.0"}));
    }

    // laeq~3s at S = 1: no figure until 3 s are covered, then the energy mean of the
    // last three: (1e7 + 1e8 + 1e7) / 3 = 4e7 is 76.0, and 70.0 once the 80 has left.
    void rollingSpan() {
        live::LiveLimitOptions options;
        options.rules = {rule(assess::LimitFigure::Laeq, true, 3, 99.0)};
        WatchRig rig(options, QDateTime(QDate(2026, 12, 6), QTime(12, 0, 0)), 1);
        rig.feed("70.0 80.0");
        QCOMPARE(rig.status().soFar, std::nullopt);
        rig.feed("70.0");
        QCOMPARE(rig.status().soFar, 76.0);
        rig.feed("70.0");
        QCOMPARE(rig.status().soFar, 76.0);
        rig.feed("70.0");
        QCOMPARE(rig.status().soFar, 70.0);
        QCOMPARE(live::limitStatusText(rig.status()), "LAeq,3s (rolling) 70.0");
    }

    // A rolling LAeq over one sample is the sample's level: limit 80, warning 75.
    void hysteresisAndRepeat_data() {
        QTest::addColumn<double>("hysteresis");
        QTest::addColumn<qint64>("repeat");
        QTest::addColumn<QString>("levels");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("ends 1 dB below")
            << 1.0 << qint64(300) << "74.9 80.0 79.1 79.0"
            << QStringList{"1 start alarm 80.0/80.0", "3 start warning 79.0/75.0"};
        QTest::newRow("warning holds to 74.0")
            << 1.0 << qint64(300) << "75.0 74.1 74.0"
            << QStringList{"0 start warning 75.0/75.0", "2 end warning 74.0/75.0"};
        QTest::newRow("alarm to quiet in one step")
            << 2.0 << qint64(300) << "80.0 78.1 70.0"
            << QStringList{"0 start alarm 80.0/80.0", "2 end alarm 70.0/80.0"};
        QTest::newRow("told again every 3 s")
            << 1.0 << qint64(3) << "81.0 81.0 81.0 81.0 81.0 81.0 81.0 60.0"
            << QStringList{"0 start alarm 81.0/80.0", "3 repeat alarm 81.0/80.0",
                           "6 repeat alarm 81.0/80.0", "7 end alarm 60.0/80.0"};
    }
    void hysteresisAndRepeat() {
        QFETCH(double, hysteresis);
        QFETCH(qint64, repeat);
        QFETCH(QString, levels);
        QFETCH(QStringList, told);
        live::LiveLimitOptions options;
        options.rules = {rule(assess::LimitFigure::Laeq, true, 1, 80.0, 75.0)};
        options.hysteresis = hysteresis;
        options.repeat = repeat;
        WatchRig rig(options, QDateTime(QDate(2026, 12, 6), QTime(12, 0, 0)), 1);
        rig.feed(levels);
        QCOMPARE(rig.told, told);
    }
};

QTEST_GUILESS_MAIN(TestLimitWatch)
#include "test_limit_watch.moc"
