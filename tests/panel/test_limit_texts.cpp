// The limits window's rules in the logger's syntax.
#include <QTest>
#include <cmath>

#include "panel/limit_texts.h"

using namespace lp;

namespace {

std::optional<double> given(double value) {
    return std::isnan(value) ? std::nullopt : std::optional<double>(value);
}

}  // namespace

class TestLimitTexts : public QObject {
    Q_OBJECT
private slots:
    void ruleText_data() {
        QTest::addColumn<int>("figure");
        QTest::addColumn<bool>("rolling");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<double>("db");
        QTest::addColumn<double>("warn");  // NaN: none
        QTest::addColumn<QString>("text");
        const double none = std::nan("");
        QTest::newRow("night with warning")
            << int(assess::LimitFigure::Laeq) << false << qint64(900) << 23 << 7 << 45.0 << 42.0
            << "laeq,15min,23-07,45,warn=42";
        QTest::newRow("rolling all day") << int(assess::LimitFigure::Laeq) << true << qint64(300)
                                         << 0 << 24 << 85.0 << none << "laeq~5min,00-24,85";
        QTest::newRow("tenths kept") << int(assess::LimitFigure::L90) << false << qint64(3600) << 7
                                     << 23 << 42.5 << 40.5 << "l90,1h,07-23,42.5,warn=40.5";
    }
    void ruleText() {
        QFETCH(int, figure);
        QFETCH(double, warn);
        live::LiveLimitRule rule;
        rule.figure = static_cast<assess::LimitFigure>(figure);
        QFETCH(bool, rolling);
        rule.rolling = rolling;
        QFETCH(qint64, length);
        rule.length = length;
        QFETCH(int, from);
        rule.from = from;
        QFETCH(int, to);
        rule.to = to;
        QFETCH(double, db);
        rule.db = db;
        rule.warn = given(warn);
        QTEST(panel::limitRuleText(rule), "text");
    }
};

QTEST_GUILESS_MAIN(TestLimitTexts)
#include "test_limit_texts.moc"
