// Loud events against hand-computed cases, over a whole list and level by level.
#include <QTest>

#include "stats/level_events.h"

using namespace lp::stats;

namespace {

QString figure(const std::optional<double>& value, int decimals = 2) {
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("-");
}

// "0-5 5 80.00 80.00 86.99": start-end (seconds), records, Lmax, Leq, SEL; then
// " 1/0" (readings over and under the range) where it holds any.
QString eventText(const LevelEvent& e) {
    return QStringLiteral("%1-%2 %3 %4 %5 %6")
               .arg(e.start)
               .arg(e.end)
               .arg(e.records)
               .arg(figure(e.lmax), figure(e.leq), figure(e.sel)) +
           (e.outOfRange.any()
                ? QStringLiteral(" %1/%2").arg(e.outOfRange.over).arg(e.outOfRange.under)
                : QString());
}

// Samples written "0-4@80 10@60 11@L 12@-": levels at whole seconds, a range of seconds
// at once; "L" over the measuring range, "-" under it.
std::vector<LevelSample> samples(const QString& steps) {
    std::vector<LevelSample> out;
    for (const QString& item : steps.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u'@');
        const QStringList range = parts[0].split(u'-');
        for (qint64 t = range.first().toLongLong(); t <= range.last().toLongLong(); ++t) {
            out.push_back(parts[1] == u"L"   ? overRangeSample(t)
                          : parts[1] == u"-" ? underRangeSample(t)
                                             : levelSample(t, parts[1].toDouble()));
        }
    }
    return out;
}

}  // namespace

Q_DECLARE_METATYPE(lp::stats::EventRule)

class TestLevelEvents : public QObject {
    Q_OBJECT
private slots:
    void events_data() {
        QTest::addColumn<QString>("levels");
        QTest::addColumn<qint64>("interval");
        QTest::addColumn<EventRule>("rule");
        QTest::addColumn<QString>("events");  // eventText of each, joined by "; "
        const auto row = [](const char* name, const char* levels, qint64 interval, EventRule rule,
                            const char* events) {
            QTest::newRow(name) << QString(levels) << interval << rule << QString(events);
        };
        const EventRule at70{70.0, 0, 0};
        row("a gap ends a run", "0-4@80 10-12@80", 1, at70,
            "0-5 5 80.00 80.00 86.99; 10-13 3 80.00 80.00 84.77");
        row("a level at the threshold belongs to it", "0-1@70 2@69.9", 1, at70,
            "0-2 2 70.00 70.00 73.01");
        row("S of 10 s", "0@80 10@80 20@80 40@80", 10, at70,
            "0-30 3 80.00 80.00 94.77; 40-50 1 80.00 80.00 90.00");
        // A dip of 2 s: shorter than a 3 s bridge, so one event with the dip's levels in
        // its Leq; not shorter than a 2 s one.
        row("a bridge joins", "0-2@80 3-4@60 5-6@90", 1, {70.0, 0, 3}, "0-7 7 90.00 85.17 93.62");
        row("a dip as long as the bridge", "0-2@80 3-4@60 5-6@90", 1, {70.0, 0, 2},
            "0-3 3 80.00 80.00 84.77; 5-7 2 90.00 90.00 93.01");
        row("a bridge does not cross a gap", "0-2@80 5-6@90", 1, {70.0, 0, 10},
            "0-3 3 80.00 80.00 84.77; 5-7 2 90.00 90.00 93.01");
        row("minimum duration", "0-2@80 3@60 4-5@80", 1, {70.0, 3, 0}, "0-3 3 80.00 80.00 84.77");
        // Over the range is at or above any threshold up to 145 dB, under it (25 dB)
        // below one of 70; neither is in Lmax, Leq or SEL.
        row("over range goes on a run", "0@85 1@L 2@86", 1, at70, "0-3 3 86.00 85.53 90.30 1/0");
        row("over range at 145 dB", "0@L 1@140", 1, {145.0, 0, 0}, "0-1 1 - - - 1/0");
        row("under range in a bridged dip", "0@80 1@- 2@80", 1, {70.0, 0, 3},
            "0-3 3 80.00 80.00 84.77 0/1");
        row("under range ends a run", "0@80 1@- 2@80", 1, at70,
            "0-1 1 80.00 80.00 80.00; 2-3 1 80.00 80.00 80.00");
    }
    void events() {
        QFETCH(QString, levels);
        QFETCH(qint64, interval);
        QFETCH(EventRule, rule);
        QStringList found;
        for (const LevelEvent& e : findEvents(samples(levels), rule, interval)) {
            found << eventText(e);
        }
        QTEST(found.join("; "), "events");
    }

    // What a live run is told, level by level: "S0" an event from 0 has started, "E0" the
    // event from 0 has ended, "." nothing; the last entry is the end of the levels.
    void liveSteps_data() {
        QTest::addColumn<QString>("levels");
        QTest::addColumn<EventRule>("rule");
        QTest::addColumn<QString>("steps");
        // Started once 3 s long; the run at 6 is too short to be told, and a gap ends it.
        QTest::newRow("minimum duration")
            << "0-4@80 5@60 6@80 9@80" << EventRule{70.0, 3, 0} << ". . S0 . . E0 . . | .";
        QTest::newRow("a gap ends one and starts the next")
            << "0@80 5@80" << EventRule{70.0, 0, 0} << "S0 E0S5 | E5";
    }
    void liveSteps() {
        QFETCH(QString, levels);
        QFETCH(EventRule, rule);
        EventDetector detector(rule, 1);
        QStringList steps;
        for (const LevelSample& sample : samples(levels)) {
            const EventDetector::Step step = detector.add(sample);
            QString text;
            if (step.ended) {
                text += u'E' + QString::number(step.ended->start);
            }
            if (step.startedAt) {
                text += u'S' + QString::number(*step.startedAt);
            }
            steps << (text.isEmpty() ? QStringLiteral(".") : text);
        }
        const std::optional<LevelEvent> last = detector.finish();
        steps << QStringLiteral("|") << (last ? u'E' + QString::number(last->start) : ".");
        QTEST(steps.join(u' '), "steps");
    }
};

QTEST_APPLESS_MAIN(TestLevelEvents)
#include "test_level_events.moc"
