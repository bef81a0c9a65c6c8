// The Histogram window: the view, bars, Ln table and figures it shows for a result
// (the computation itself is checked in test_ln_stats), the track modes with their
// hints, and panning, zooming and "Reset" with the mouse.
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>

#include "app/state/program_state.h"
#include "charts/histogram.h"
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

// Left edge of the bar of the given height: the first point of the outline that high.
double barLeft(const QLineSeries* line, double height) {
    for (const QPointF& p : line->points()) {
        if (p.y() == height) {
            return p.x();
        }
    }
    return -1.0;
}

}  // namespace

class TestHistogram : public QObject {
    Q_OBJECT

    app::ProgramState state_;
    test::ScriptedDialogs dialogs_;
    QPointer<Histogram> window_;

    Histogram* open(const QStringList& texts, Resolution resolution = Resolution::TenthDb) {
        window_ = Histogram::showFor(stats::computeLn(resolution, texts), state_, dialogs_);
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
        dialogs_.shown.clear();
        state_ = app::ProgramState();
    }

    // The ten-record case: the view from the lowest class to one past the highest,
    // axis labels in dB, and the Ln table L0..L49 at 60 dB, L50..L99 at 50 dB.
    void tenRecords_data() {
        QTest::addColumn<Resolution>("resolution");
        QTest::addColumn<int>("classMin");
        QTest::addColumn<int>("classMax");
        QTest::addColumn<double>("levelMax");
        QTest::addColumn<QString>("labelFormat");
        QTest::addColumn<QStringList>("ln");  // L0..L49, L50..L99
        QTest::newRow("0.1 dB") << Resolution::TenthDb << 500 << 600 << 60.1 << "%.1f"
                                << QStringList{"60.0", "50.0"};
        QTest::newRow("1 dB") << Resolution::WholeDb << 50 << 60 << 61.0 << "%.0f"
                              << QStringList{"60", "50"};
    }
    void tenRecords() {
        QFETCH(Resolution, resolution);
        QFETCH(QStringList, ln);
        QVERIFY(open(kTenRecords, resolution));
        QTEST(state_.HistClassMin, "classMin");
        QTEST(state_.HistClassMax, "classMax");
        QCOMPARE(window_->levelAxis()->min(), 50.0);
        QTEST(window_->levelAxis()->max(), "levelMax");
        QTEST(window_->levelAxis()->labelFormat(), "labelFormat");
        QCOMPARE(window_->windowTitle(), "Histogram");
        QCOMPARE(window_->pos(), window_->screen()->availableGeometry().topLeft());
        QCOMPARE(window_->levelAxis()->titleText(), "dB");
        QCOMPARE(window_->countAxis()->titleText(), "Frequency (Times)");
        QCOMPARE(window_->countAxis()->min(), 0.0);
        QCOMPARE(window_->countAxis()->max(), state_.HistCountMax);
        QVERIFY(state_.HistCountMax >= 5.0);  // room for the tallest bar
        QCOMPARE(window_->trackMode(), TrackMode::None);
        QVERIFY(!window_->findChild<QAction*>("Print")->isEnabled());

        auto* grid = window_->findChild<QTableWidget*>("GridLn");
        QVERIFY(grid);
        QCOMPARE(grid->rowCount(), 10);
        QCOMPARE(grid->columnCount(), 11);
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), "Ln");
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), " 0");
        QCOMPARE(grid->horizontalHeaderItem(10)->text(), " 9");
        const QFontMetrics metrics(grid->font());
        QCOMPARE(grid->columnWidth(0), metrics.horizontalAdvance("ABCDEFAA1"));
        QCOMPARE(grid->columnWidth(5), metrics.horizontalAdvance("ABCDEFAA"));
        for (int r = 0; r < 10; ++r) {
            QCOMPARE(grid->item(r, 0)->text(), QStringLiteral("L(%1%2)").arg(r).arg(0));
            for (int c = 1; c <= 10; ++c) {
                QCOMPARE(grid->item(r, c)->text(), ln[r < 5 ? 0 : 1]);
            }
        }
    }

    // Nice maximum of the count axis: the tallest bar rounded up, never cut.
    void countAxisMaximum() {
        QVERIFY(open(QStringList(37, "70.0"), Resolution::WholeDb));
        QVERIFY(state_.HistCountMax >= 37.0);
        QVERIFY(state_.HistCountMax <= 50.0);
    }

    void noLevelNoWindow() {
        state_.HistClassMin = 7;
        QVERIFY(!open({"*", "*"}));
        QCOMPARE(state_.HistClassMin, 7);
    }

    void barsStandAtTheirLevel_data() {
        QTest::addColumn<Resolution>("resolution");
        QTest::addColumn<double>("quietLeft");
        QTest::addColumn<double>("loudLeft");
        QTest::addColumn<double>("loudRight");
        QTest::newRow("0.1 dB") << Resolution::TenthDb << 65.3 << 70.0 << 70.1;
        QTest::newRow("1 dB") << Resolution::WholeDb << 65.0 << 70.0 << 71.0;
    }
    void barsStandAtTheirLevel() {
        QFETCH(Resolution, resolution);
        QFETCH(double, loudRight);
        QVERIFY(open({"65.3", "65.3", "65.3", "70.0"}, resolution));
        const QLineSeries* line = window_->barLine();
        QTEST(barLeft(line, 3.0), "quietLeft");
        QTEST(barLeft(line, 1.0), "loudLeft");
        // The loud bar is one class wide and ends where the view ends.
        QCOMPARE(line->points().last(), QPointF(loudRight, 0.0));
        QCOMPARE(window_->levelAxis()->max(), loudRight);
    }

    void figures_data() {
        QTest::addColumn<QStringList>("texts");
        // records, left out, Leq, Lmax, Lmin, L10, L90
        QTest::addColumn<QString>("shown");
        QTest::newRow("60 and 80")
            << QStringList{"60.0", "80.0"} << "2|0|77.0 dB|80.0 dB|60.0 dB|80.0 dB|60.0 dB";
        // The "*" keeps S below the L10 threshold.
        QTest::newRow("marked records") << QStringList{"L", "-", "*", "L"} << "0|4|—|—|—|—|25.0 dB";
    }
    void figures() {
        QFETCH(QStringList, texts);
        QVERIFY(open(texts));
        QStringList shown;
        for (const char* name :
             {"LblRecords", "LblLeftOut", "LblLeq", "LblLmax", "LblLmin", "LblL10", "LblL90"}) {
            auto* label = window_->findChild<QLabel*>(name);
            shown << (label != nullptr ? label->text() : QStringLiteral("(missing)"));
        }
        QTEST(shown.join('|'), "shown");
    }

    void trackModes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("hint");
        const QString drag =
            "Clique em alguma parte da área de renderização e arraste para "
            "expandir o gráfico ";
        const QString zoom = "Selecione uma região do gráfico para aumentar o zoom ";
        QTest::newRow("Normal") << 0 << "Normal" << 1 << "Normal mode";
        QTest::newRow("PanXY") << 1 << "PanXY" << 3 << drag + "horizontal e verticalmente.";
        QTest::newRow("PanX") << 2 << "PanX" << 4 << drag + "horizontalmente.";
        QTest::newRow("PanY") << 3 << "PanY" << 5 << drag + "verticalmente.";
        QTest::newRow("ZoomXY") << 4 << "ZoomXY" << 6 << zoom + "horizontal e verticalmente.";
        QTest::newRow("ZoomX") << 5 << "ZoomX" << 7 << zoom + "horizontalmente.";
        QTest::newRow("ZoomY") << 6 << "ZoomY" << 8 << zoom + "verticalmente.";
        QTest::newRow("Reset keeps the hint") << 7 << "Reset" << 1 << "previous hint";
    }
    void trackModes() {
        QFETCH(int, index);
        QFETCH(int, value);
        QVERIFY(open(kTenRecords));
        auto* combo = window_->findChild<QComboBox*>("Combo1");
        auto* description = window_->findChild<QPlainTextEdit*>("txtDescription");
        auto* picture = window_->findChild<QFrame*>("Picture1");
        QCOMPARE(combo->count(), 8);
        QCOMPARE(combo->currentText(), "Normal");
        QTEST(combo->itemText(index), "name");
        QCOMPARE(combo->itemData(index).toInt(), value);
        window_->chooseMode(4);  // a mode other than the one under test before the choice
        description->setPlainText("previous hint");
        window_->findChild<QAction*>("Limit")->trigger();  // "Limit" shows the chooser
        QVERIFY(picture->isVisible());
        window_->chooseMode(index);
        QCOMPARE(static_cast<int>(window_->trackMode()), value);
        QTEST(description->toPlainText(), "hint");
        QCOMPARE(combo->currentIndex(), index);
        QVERIFY(!picture->isVisible());
        QVERIFY(dialogs_.shown.empty());
    }

    // "Limit" hides the chooser again; a choice outside the list is refused.
    void limitAndInvalidMode() {
        QVERIFY(open(kTenRecords));
        auto* picture = window_->findChild<QFrame*>("Picture1");
        auto* limit = window_->findChild<QAction*>("Limit");
        window_->chooseMode(5);
        for (const int index : {-1, 8}) {
            limit->trigger();
            QVERIFY(picture->isVisible());
            window_->chooseMode(index);
            QVERIFY(picture->isHidden());
        }
        limit->trigger();
        limit->trigger();
        QVERIFY(picture->isHidden());
        QCOMPARE(dialogs_.messages(),
                 QStringList({"Select a valid TrackMode.", "Select a valid TrackMode."}));
        QCOMPARE(window_->trackMode(), TrackMode::ZoomX);
    }

    // What a drag right and down across the middle of the plot does to each axis in
    // each mode: "same", a pan to "lower" or "higher" values keeping the span, or a
    // "zoom" to the dragged 0.3 of the span.
    void dragging_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("change");  // level axis, count axis
        QTest::newRow("Normal") << 0 << "same, same";
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

    void resetAfterZoom_data() {
        QTest::addColumn<Resolution>("resolution");
        QTest::addColumn<QString>("view");
        QTest::newRow("0.1 dB") << Resolution::TenthDb << QString("50..61.8 / 0..%1");
        QTest::newRow("1 dB") << Resolution::WholeDb << QString("50..62 / 0..%1");
    }
    void resetAfterZoom() {
        QFETCH(Resolution, resolution);
        QFETCH(QString, view);
        QVERIFY(open({"50.0", "52.2", "52.2", "60.0", "61.7"}, resolution));
        const QString full = view.arg(state_.HistCountMax);
        QCOMPARE(this->view(), full);
        window_->chooseMode(4);
        drag(plotPoint(0.2, 0.1), plotPoint(0.5, 0.8));
        window_->chooseMode(2);
        drag(plotPoint(0.5, 0.5), plotPoint(0.7, 0.5));
        QVERIFY(window_->levelAxis()->min() != 50.0);
        QVERIFY(window_->countAxis()->max() != state_.HistCountMax);
        window_->chooseMode(7);
        QCOMPARE(this->view(), full);
        QCOMPARE(window_->trackMode(), TrackMode::None);
        // Mode 1: a drag changes nothing any more.
        drag(plotPoint(0.2, 0.2), plotPoint(0.6, 0.6));
        QCOMPARE(this->view(), full);
    }
};

QTEST_MAIN(TestHistogram)
#include "test_histogram.moc"
