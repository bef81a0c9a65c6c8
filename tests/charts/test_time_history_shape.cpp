// The time history's shape: the span of levels on its axis and the runs of a figure's
// line, worked by hand from four ten-minute periods.
#include <QTest>

#include "charts/time_history_shape.h"

using lp::stats::SurveyPeriod;

namespace {

SurveyPeriod period(qint64 start, std::optional<double> leq, std::optional<double> l90,
                    std::optional<double> lmax) {
    SurveyPeriod p;
    p.start = start;
    p.end = start + 600;
    p.leq = leq;
    p.l90 = l90;
    p.lmax = lmax;
    return p;
}

}  // namespace

class TestTimeHistoryShape : public QObject {
    Q_OBJECT
private slots:
    void levelSpan_data() {
        QTest::addColumn<std::vector<SurveyPeriod>>("periods");
        QTest::addColumn<QString>("span");  // "bottom-top", or "none"
        const auto none = std::nullopt;
        // The lowest L90 55.1 less 5 is 50.1, down to 50; the highest Lmax 83.0 and 2 is
        // 85, up to 90. A period of readings out of range alone (L90 25, no Leq) counts
        // in neither.
        QTest::newRow("L90 and Lmax")
            << std::vector{period(0, 62.3, 55.1, 71.8), period(600, none, none, none),
                           period(1200, 65.0, 58.4, 83.0), period(1800, none, 25.0, none)}
            << "50-90";
        // 65 less 5 is 60 and 88 and 2 is 90, multiples of 10 already.
        QTest::newRow("on the tens") << std::vector{period(0, 66.0, 65.0, 88.0)} << "60-90";
        QTest::newRow("no Leq") << std::vector{period(0, none, 25.0, none)} << "none";
        QTest::newRow("no periods") << std::vector<SurveyPeriod>{} << "none";
    }
    void levelSpan() {
        QFETCH(std::vector<SurveyPeriod>, periods);
        const std::optional<lp::charts::LevelSpan> span = lp::charts::levelSpan(periods);
        QTEST(span ? QStringLiteral("%1-%2").arg(span->bottom).arg(span->top)
                   : QStringLiteral("none"),
              "span");
    }

    // A point at each period's middle; a period without the figure ends a run.
    void figureRuns() {
        const auto none = std::nullopt;
        const std::vector periods{period(0, 62.3, 55.1, 71.8), period(600, none, none, none),
                                  period(1200, 65.0, 58.4, 83.0), period(1800, none, 25.0, none)};
        using Runs = QList<QList<QPointF>>;
        QCOMPARE(lp::charts::figureRuns(periods, &SurveyPeriod::l90),
                 (Runs{{{300, 55.1}}, {{1500, 58.4}, {2100, 25.0}}}));
        QCOMPARE(lp::charts::figureRuns(periods, &SurveyPeriod::lmax),
                 (Runs{{{300, 71.8}}, {{1500, 83.0}}}));
        QCOMPARE(lp::charts::figureRuns(periods, &SurveyPeriod::l10), Runs{});
    }
};

QTEST_GUILESS_MAIN(TestTimeHistoryShape)
#include "test_time_history_shape.moc"
