// The Histogram window wired to computeLn's result (figures: test_ln_stats; outline and
// modes: test_histogram_shape): view, Ln table, mode chooser, pan, zoom, Reset, chooser.
#include <QAccessible>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <QValueAxis>

#include "charts/histogram.h"
#include "charts/percentile_chooser.h"
#include "face.h"
#include "keys.h"
#include "level_records.h"
#include "records/record_store.h"
#include "scripted_dialogs.h"
#include "stats/ln_computation.h"

using namespace lp;
using charts::Histogram;
using charts::TrackMode;
using stats::Resolution;

Q_DECLARE_METATYPE(lp::stats::Resolution)

namespace {

// Five records at 50 dB and five at 60 dB.
const QStringList kTenRecords = {"50.0", "60.0", "50.0", "60.0", "50.0",
                                 "60.0", "50.0", "60.0", "50.0", "60.0"};

const QStringList kHistogramFace{"Histogram|Histogram",
                                 "Limit|Limit (Pan and zoom modes)|Limit",
                                 "Print|Print (Print (Ctrl+P))|Print",
                                 "LblRecords|1|Records",
                                 "LblLeftOut|1|Left out",
                                 "LblLeq|60.0 dB|Leq",
                                 "LblLmax|60.0 dB|Lmax",
                                 "LblLmin|60.0 dB|Lmin",
                                 "LblL10|—|L10",
                                 "LblL50|60.0 dB|L50",
                                 "LblL90|60.0 dB|L90"};

}  // namespace

class TestHistogram : public QObject {
    Q_OBJECT

    test::ScriptedDialogs dialogs_;
    QPointer<Histogram> window_;

    Histogram* open(const QStringList& texts, Resolution resolution = Resolution::TenthDb) {
        window_ = Histogram::showFor(stats::computeLn(resolution, texts), dialogs_);
        if (window_ != nullptr) {
            (void)QTest::qWaitForWindowExposed(window_);
        }
        return window_;
    }
    // The view as "x0..x1 / y0..y1".
    QString view() const {
        return QStringLiteral("%1..%2 / %3..%4")
            .arg(window_->levelAxis()->min())
            .arg(window_->levelAxis()->max())
            .arg(window_->countAxis()->min())
            .arg(window_->countAxis()->max());
    }

    // A point of the plot area in viewport pixels, fx and fy from 0 to 1 across it.
    QPoint plotPoint(double fx, double fy) const {
        auto* view = window_->findChild<QChartView*>("CWG");
        const QRectF area = view->chart()->plotArea();
        const QPointF chartPoint(area.left() + fx * area.width(), area.top() + fy * area.height());
        return view->mapFromScene(view->chart()->mapToScene(chartPoint));
    }

    void drag(QPoint from, QPoint to) {
        QWidget* viewport = window_->findChild<QChartView*>("CWG")->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport, (from + to) / 2);
        QTest::mouseMove(viewport, to);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    }

private slots:
    void cleanup() {
        delete window_;
        dialogs_ = test::ScriptedDialogs();
    }

    void face_data() { lp::test::faceRows(kHistogramFace); }
    void face() {
        QVERIFY(open({"*", "60.0"}));
        test::checkFace(*window_);
        // The figures say their values (the dash of none in words), not only their names.
        QStringList said;
        for (const char* name : {"LblLeq", "LblL10"}) {
            said << QAccessible::queryAccessibleInterface(window_->findChild<QLabel*>(name))
                        ->text(QAccessible::Description);
        }
        QCOMPARE(said.join('|'), "60.0 dB|no value");
    }

    // The view runs from the lowest class to one past the highest, 0 to the tallest bar.
    void tenRecords_data() {
        QTest::addColumn<Resolution>("resolution");
        QTest::addColumn<double>("levelMax");
        QTest::addColumn<QString>("labelFormat");
        QTest::newRow("0.1 dB") << Resolution::TenthDb << 60.1 << "%.1f";
        QTest::newRow("1 dB") << Resolution::WholeDb << 61.0 << "%.0f";
    }
    void tenRecords() {
        QFETCH(Resolution, resolution);
        QVERIFY(open(kTenRecords, resolution));
        QCOMPARE(window_->levelAxis()->min(), 50.0);
        QTEST(window_->levelAxis()->max(), "levelMax");
        QTEST(window_->levelAxis()->labelFormat(), "labelFormat");
        QCOMPARE(window_->countAxis()->max(), 5.0);
        QCOMPARE(window_->pos(), window_->screen()->availableGeometry().topLeft());
        QCOMPARE(window_->trackMode(), TrackMode::None);
        auto* grid = window_->findChild<QTableWidget*>("GridLn");
        QCOMPARE(window_->levelAxis()->titleText() + u'|' + window_->countAxis()->titleText(),
                 "dB|Frequency (Times)");
        QCOMPARE(grid->horizontalHeaderItem(10)->text(), " 9");
        QCOMPARE(grid->item(5, 1)->text().toDouble(), 50.0);  // L51: computeLn reached the table
        // Print: the window's picture; the mode chooser goes away.
        window_->toggleModeChooser();
        dialogs_.printers = {1};
        window_->findChild<QAction*>("Print")->trigger();
        QCOMPARE(dialogs_.printLog->events().size(), 2);  // the picture, the end
        QVERIFY(!window_->findChild<QWidget*>("Picture1")->isVisible());
    }

    void keysRunCommands_data() { test::keyRows({{"Ctrl+P", "Print"}, {"Esc", "CloseKeys"}}); }
    void keysRunCommands() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, command);
        QVERIFY(open(kTenRecords));
        QCOMPARE(test::runsOnKeys(*window_, command, keys), 1);
    }

    void noLevelNoWindow() { QVERIFY(!open({"*", "*"})); }

    // A choice sets the mode, shows its hint and hides the chooser; one outside is refused.
    void modeChooser() {
        QVERIFY(open(kTenRecords));
        auto* combo = window_->findChild<QComboBox*>("Combo1");
        auto* description = window_->findChild<QPlainTextEdit*>("txtDescription");
        auto* picture = window_->findChild<QFrame*>("Picture1");
        auto* limit = window_->findChild<QAction*>("Limit");
        const auto& items = charts::trackModeItems();
        QCOMPARE(combo->count(), items.size());
        limit->trigger();
        QVERIFY(picture->isVisible());
        emit combo->activated(5);
        QCOMPARE(window_->trackMode(), TrackMode::ZoomX);
        QCOMPARE(description->toPlainText(), items[5].hint);
        QVERIFY(picture->isHidden());
        for (const int index : {-1, 8}) {
            limit->trigger();
            window_->chooseMode(index);
            QVERIFY(picture->isHidden());
        }
        QCOMPARE(window_->trackMode(), TrackMode::ZoomX);
        QCOMPARE(dialogs_.messages(), QStringList(2, "Select a valid TrackMode."));
        limit->trigger();
        limit->trigger();
        QVERIFY(picture->isHidden());
    }

    // A drag right and down across the plot, per axis: "same", a pan "lower" or "higher"
    // keeping the span, or a "zoom" to the dragged 0.3 of it. (Normal: resetAfterZoom.)
    void dragging_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("change");  // level axis, count axis
        QTest::newRow("PanXY") << 1 << "lower, higher";
        QTest::newRow("PanX") << 2 << "lower, same";
        QTest::newRow("PanY") << 3 << "same, higher";
        QTest::newRow("ZoomXY") << 4 << "zoom 0.3, zoom 0.3";
        QTest::newRow("ZoomX") << 5 << "zoom 0.3, same";
        QTest::newRow("ZoomY") << 6 << "same, zoom 0.3";
    }
    void dragging() {
        QFETCH(int, index);
        QVERIFY(open(kTenRecords));
        const auto ends = [](const QValueAxis* a) { return std::pair{a->min(), a->max()}; };
        const auto x = ends(window_->levelAxis());
        const auto y = ends(window_->countAxis());
        window_->chooseMode(index);
        drag(plotPoint(0.3, 0.3), plotPoint(0.6, 0.6));
        const auto change = [](std::pair<double, double> a, std::pair<double, double> b) {
            const double span = a.second - a.first;
            if (b == a) {
                return QStringLiteral("same");
            }
            if (b.first > a.first && b.second < a.second) {
                return QStringLiteral("zoom ") +
                       QString::number((b.second - b.first) / span, 'f', 1);
            }
            if (qAbs((b.second - b.first) - span) > 1e-9 * span) {
                return QStringLiteral("other");
            }
            return b.first < a.first ? QStringLiteral("lower") : QStringLiteral("higher");
        };
        QTEST(change(x, ends(window_->levelAxis())) + ", " + change(y, ends(window_->countAxis())),
              "change");
    }

    // "Reset" brings back the first view, keeps the last hint and goes back to Normal.
    void resetAfterZoom() {
        QVERIFY(open({"50.0", "52.2", "52.2", "60.0", "61.7"}));
        const QString full = QStringLiteral("50..61.8 / 0..%1").arg(window_->countMax());
        QCOMPARE(this->view(), full);
        window_->chooseMode(4);
        drag(plotPoint(0.2, 0.1), plotPoint(0.5, 0.8));
        window_->chooseMode(2);
        drag(plotPoint(0.5, 0.5), plotPoint(0.7, 0.5));
        QVERIFY(this->view() != full);
        window_->chooseMode(7);
        QCOMPARE(this->view(), full);
        QCOMPARE(window_->findChild<QPlainTextEdit*>("txtDescription")->toPlainText(),
                 charts::trackModeItems()[2].hint);
        drag(plotPoint(0.2, 0.2), plotPoint(0.6, 0.6));
        QCOMPARE(this->view(), full);
    }

    // Each percentile button opens a fresh histogram at its resolution; no level is told.
    void eachButtonOpensAFreshHistogram() {
        const records::RecordStore store = test::levelStore({"50.0", "60.0", "60.0"});
        const records::RecordStore noLevel = test::levelStore({"*", "*"});
        QWidget window;
        auto* chooser = new charts::PercentileChooser(store, dialogs_, &window);
        window.show();
        QCOMPARE(test::unnamedControls(window), QStringList());
        chooser->findChild<QPushButton*>("Cmd01dB")->click();
        QVERIFY(!chooser->isVisible());
        QPointer<charts::Histogram> first = chooser->histogram();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->classMax(), 600);

        chooser->findChild<QPushButton*>("Cmd1dB")->click();
        QTRY_VERIFY(!first);
        QCOMPARE(chooser->histogram()->classMax(), 60);
        chooser->histogram()->close();

        auto* empty = new charts::PercentileChooser(noLevel, dialogs_, &window);
        empty->onTenthDbClicked();
        QVERIFY(!empty->histogram());
        QCOMPARE(dialogs_.messages(),
                 QStringList{"There is no level to compute: none of the listed records holds a "
                             "sound level."});
        QCOMPARE(dialogs_.shown.back().icon, platform::MessageIcon::Information);
    }
};

QTEST_MAIN(TestHistogram)
#include "test_histogram.moc"
