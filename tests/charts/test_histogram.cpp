// The Histogram window: what it draws for a result, the Ln table and figures, the
// track modes with their hints, and panning, zooming and "Reset" with the mouse.
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
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
#include "lists/stats/ln_computation.h"
#include "scripted_dialogs.h"

using namespace lp;
using charts::Histogram;
using charts::TrackMode;
using lists::Resolution;

Q_DECLARE_METATYPE(lp::lists::Resolution)
Q_DECLARE_METATYPE(lp::charts::TrackMode)

namespace {

QStringList tenRecords() {
    QStringList texts;
    for (int i = 0; i < 5; ++i) {
        texts << "50.0"
              << "60.0";
    }
    return texts;
}

// Left edge of the bar of the given height: the first point of the outline that high.
double barLeft(const QLineSeries* line, double height) {
    const QList<QPointF> points = line->points();
    for (const QPointF& p : points) {
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

    Histogram* open(const QStringList& texts, Resolution resolution) {
        window_ = Histogram::showFor(lists::computeLn(resolution, texts), state_, dialogs_);
        if (window_ != nullptr) {
            (void)QTest::qWaitForWindowExposed(window_);
        }
        return window_;
    }

    QWidget* viewport() const { return window_->findChild<QChartView*>("CWG")->viewport(); }

    // A point of the plot area in viewport pixels, fx and fy from 0 to 1 across it.
    QPoint plotPoint(double fx, double fy) const {
        auto* view = window_->findChild<QChartView*>("CWG");
        const QRectF area = view->chart()->plotArea();
        const QPointF chartPoint(area.left() + fx * area.width(), area.top() + fy * area.height());
        return view->mapFromScene(view->chart()->mapToScene(chartPoint));
    }

    void drag(QPoint from, QPoint to) {
        QTest::mousePress(viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport(), (from + to) / 2);
        QTest::mouseMove(viewport(), to);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, to);
    }

private slots:
    void cleanup() {
        delete window_;
        dialogs_.shown.clear();
        state_ = app::ProgramState();
    }

    void viewOfResult_data() {
        QTest::addColumn<Resolution>("resolution");
        QTest::addColumn<int>("classMin");
        QTest::addColumn<int>("classMax");
        QTest::addColumn<double>("levelMin");
        QTest::addColumn<double>("levelMax");
        QTest::addColumn<QString>("labelFormat");
        QTest::newRow("0.1 dB") << Resolution::TenthDb << 500 << 600 << 50.0 << 60.1 << "%.1f";
        QTest::newRow("1 dB") << Resolution::WholeDb << 50 << 60 << 50.0 << 61.0 << "%.0f";
    }
    void viewOfResult() {
        QFETCH(Resolution, resolution);
        QFETCH(int, classMin);
        QFETCH(int, classMax);
        QFETCH(double, levelMin);
        QFETCH(double, levelMax);
        QFETCH(QString, labelFormat);
        QVERIFY(open(tenRecords(), resolution));
        QCOMPARE(window_->windowTitle(), "Histogram");
        QCOMPARE(window_->pos(), window_->screen()->availableGeometry().topLeft());
        QCOMPARE(state_.HistClassMin, classMin);
        QCOMPARE(state_.HistClassMax, classMax);
        QCOMPARE(window_->levelAxis()->min(), levelMin);
        QCOMPARE(window_->levelAxis()->max(), levelMax);
        QCOMPARE(window_->levelAxis()->labelFormat(), labelFormat);
        QCOMPARE(window_->levelAxis()->titleText(), "dB");
        QCOMPARE(window_->countAxis()->titleText(), "Frequency (Times)");
        QCOMPARE(window_->countAxis()->min(), 0.0);
        QCOMPARE(window_->countAxis()->max(), state_.HistCountMax);
        QVERIFY(state_.HistCountMax >= 5.0);  // room for the tallest bar
        QCOMPARE(window_->trackMode(), TrackMode::None);
        QVERIFY(!window_->findChild<QAction*>("Print")->isEnabled());
    }

    // Nice maximum of the count axis: the tallest bar rounded up, never cut.
    void countAxisMaximum() {
        QStringList texts;
        for (int i = 0; i < 37; ++i) {
            texts << "70.0";
        }
        QVERIFY(open(texts, Resolution::WholeDb));
        QVERIFY(state_.HistCountMax >= 37.0);
        QVERIFY(state_.HistCountMax <= 50.0);
    }

    void noLevelNoWindow() {
        state_.HistClassMin = 7;
        QVERIFY(Histogram::showFor(lists::computeLn(Resolution::TenthDb, QStringList{"*", "*"}),
                                   state_, dialogs_) == nullptr);
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
        QFETCH(double, quietLeft);
        QFETCH(double, loudLeft);
        QFETCH(double, loudRight);
        QVERIFY(open({"65.3", "65.3", "65.3", "70.0"}, resolution));
        const QLineSeries* line = window_->barLine();
        QCOMPARE(barLeft(line, 3.0), quietLeft);
        QCOMPARE(barLeft(line, 1.0), loudLeft);
        // The loud bar is one class wide and ends where the view ends.
        const QList<QPointF> points = line->points();
        QCOMPARE(points.last(), QPointF(loudRight, 0.0));
        QCOMPARE(window_->levelAxis()->max(), loudRight);
    }

    void lnTable() {
        QVERIFY(open(tenRecords(), Resolution::TenthDb));
        auto* grid = window_->findChild<QTableWidget*>("GridLn");
        QVERIFY(grid);
        QCOMPARE(grid->columnCount(), 11);
        QCOMPARE(grid->rowCount(), 10);
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), "Ln");
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), " 0");
        QCOMPARE(grid->horizontalHeaderItem(10)->text(), " 9");
        const QFontMetrics metrics(grid->font());
        QCOMPARE(grid->columnWidth(0), metrics.horizontalAdvance("ABCDEFAA1"));
        QCOMPARE(grid->columnWidth(5), metrics.horizontalAdvance("ABCDEFAA"));
        for (int r = 0; r < 10; ++r) {
            QCOMPARE(grid->item(r, 0)->text(), QStringLiteral("L(%1%2)").arg(r).arg(0));
            for (int c = 1; c <= 10; ++c) {
                QCOMPARE(grid->item(r, c)->text(), r < 5 ? "60.0" : "50.0");
            }
        }
    }

    void figures_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("records");
        QTest::addColumn<QString>("leftOut");
        QTest::addColumn<QString>("leq");
        QTest::addColumn<QString>("lmax");
        QTest::addColumn<QString>("lmin");
        QTest::addColumn<QString>("l10");
        QTest::addColumn<QString>("l90");
        QTest::newRow("60 and 80") << QStringList{"60.0", "80.0"} << "2"
                                   << "0"
                                   << "77.0 dB"
                                   << "80.0 dB"
                                   << "60.0 dB"
                                   << "80.0 dB"
                                   << "60.0 dB";
        QTest::newRow("marked records") << QStringList{"L", "-", "*", "L"} << "0"
                                        << "4"
                                        << "—"
                                        << "—"
                                        << "—"
                                        << "—"
                                        << "25.0 dB";  // the "*" keeps S below the L10 threshold
    }
    void figures() {
        QFETCH(QStringList, texts);
        QVERIFY(open(texts, Resolution::TenthDb));
        const auto text = [this](const char* name) {
            auto* label = window_->findChild<QLabel*>(name);
            return label != nullptr ? label->text() : QStringLiteral("(missing)");
        };
        QTEST(text("LblRecords"), "records");
        QTEST(text("LblLeftOut"), "leftOut");
        QTEST(text("LblLeq"), "leq");
        QTEST(text("LblLmax"), "lmax");
        QTEST(text("LblLmin"), "lmin");
        QTEST(text("LblL10"), "l10");
        QTEST(text("LblL90"), "l90");
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
        QFETCH(QString, name);
        QFETCH(int, value);
        QFETCH(QString, hint);
        QVERIFY(open(tenRecords(), Resolution::TenthDb));
        auto* combo = window_->findChild<QComboBox*>("Combo1");
        auto* description = window_->findChild<QPlainTextEdit*>("txtDescription");
        auto* picture = window_->findChild<QFrame*>("Picture1");
        QCOMPARE(combo->count(), 8);
        QCOMPARE(combo->currentText(), "Normal");
        QCOMPARE(combo->itemText(index), name);
        QCOMPARE(combo->itemData(index).toInt(), value);
        window_->chooseMode(4);  // a mode other than the one under test before the choice
        description->setPlainText("previous hint");
        window_->toggleModeChooser();
        QVERIFY(picture->isVisible());
        window_->chooseMode(index);
        QCOMPARE(static_cast<int>(window_->trackMode()), value);
        QCOMPARE(description->toPlainText(), hint);
        QCOMPARE(combo->currentIndex(), index);
        QVERIFY(!picture->isVisible());
        QVERIFY(dialogs_.shown.empty());
    }

    void invalidMode() {
        QVERIFY(open(tenRecords(), Resolution::TenthDb));
        window_->chooseMode(5);
        for (const int index : {-1, 8}) {
            window_->toggleModeChooser();
            window_->chooseMode(index);
            QVERIFY(window_->findChild<QFrame*>("Picture1")->isHidden());
        }
        QCOMPARE(dialogs_.messages(),
                 QStringList({"Select a valid TrackMode.", "Select a valid TrackMode."}));
        QCOMPARE(window_->trackMode(), TrackMode::ZoomX);
    }

    void limitToggles() {
        QVERIFY(open(tenRecords(), Resolution::TenthDb));
        auto* picture = window_->findChild<QFrame*>("Picture1");
        auto* limit = window_->findChild<QAction*>("Limit");
        const bool before = picture->isVisible();
        limit->trigger();
        QCOMPARE(picture->isVisible(), !before);
        limit->trigger();
        QCOMPARE(picture->isVisible(), before);
    }

    // Which axes a drag moves in each mode, and which way.
    void dragging_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("xChange");  // -1 view moves to lower levels, 0 unchanged
        QTest::addColumn<int>("yChange");  // +1 view moves to higher counts
        QTest::addColumn<bool>("zoom");
        QTest::newRow("Normal") << 0 << 0 << 0 << false;
        QTest::newRow("PanXY") << 1 << -1 << 1 << false;
        QTest::newRow("PanX") << 2 << -1 << 0 << false;
        QTest::newRow("PanY") << 3 << 0 << 1 << false;
        QTest::newRow("ZoomXY") << 4 << 1 << 1 << true;
        QTest::newRow("ZoomX") << 5 << 1 << 0 << true;
        QTest::newRow("ZoomY") << 6 << 0 << 1 << true;
    }
    void dragging() {
        QFETCH(int, index);
        QFETCH(int, xChange);
        QFETCH(int, yChange);
        QFETCH(bool, zoom);
        QVERIFY(open(tenRecords(), Resolution::TenthDb));
        const double x0 = window_->levelAxis()->min(), x1 = window_->levelAxis()->max();
        const double y0 = window_->countAxis()->min(), y1 = window_->countAxis()->max();
        window_->chooseMode(index);
        // Right and down across a middle part of the plot area.
        drag(plotPoint(0.3, 0.3), plotPoint(0.6, 0.6));
        const double nx0 = window_->levelAxis()->min(), nx1 = window_->levelAxis()->max();
        const double ny0 = window_->countAxis()->min(), ny1 = window_->countAxis()->max();
        if (xChange == 0) {
            QCOMPARE(nx0, x0);
            QCOMPARE(nx1, x1);
        } else if (zoom) {
            QVERIFY(nx0 > x0 && nx1 < x1);
            QVERIFY(qAbs((nx1 - nx0) - 0.3 * (x1 - x0)) < 0.02 * (x1 - x0));
        } else {
            QVERIFY(nx0 < x0 && nx1 < x1);
            QVERIFY(qAbs((nx1 - nx0) - (x1 - x0)) < 1e-9);
        }
        if (yChange == 0) {
            QCOMPARE(ny0, y0);
            QCOMPARE(ny1, y1);
        } else if (zoom) {
            QVERIFY(ny0 > y0 && ny1 < y1);
        } else {
            QVERIFY(ny0 > y0 && ny1 > y1);
        }
    }

    void resetAfterZoom_data() {
        QTest::addColumn<Resolution>("resolution");
        QTest::newRow("0.1 dB") << Resolution::TenthDb;
        QTest::newRow("1 dB") << Resolution::WholeDb;
    }
    void resetAfterZoom() {
        QFETCH(Resolution, resolution);
        QVERIFY(open({"50.0", "52.2", "52.2", "60.0", "61.7"}, resolution));
        const double x0 = window_->levelAxis()->min(), x1 = window_->levelAxis()->max();
        window_->chooseMode(4);
        drag(plotPoint(0.2, 0.1), plotPoint(0.5, 0.8));
        window_->chooseMode(2);
        drag(plotPoint(0.5, 0.5), plotPoint(0.7, 0.5));
        QVERIFY(window_->levelAxis()->min() != x0);
        QVERIFY(window_->countAxis()->max() != state_.HistCountMax);
        window_->chooseMode(7);
        const double w = resolution == Resolution::TenthDb ? 10.0 : 1.0;
        QCOMPARE(window_->levelAxis()->min(), state_.HistClassMin / w);
        QCOMPARE(window_->levelAxis()->max(), (state_.HistClassMax + 1) / w);
        QCOMPARE(window_->levelAxis()->min(), x0);
        QCOMPARE(window_->levelAxis()->max(), x1);
        QCOMPARE(window_->countAxis()->min(), 0.0);
        QCOMPARE(window_->countAxis()->max(), state_.HistCountMax);
        QCOMPARE(window_->trackMode(), TrackMode::None);
        // Mode 1: a drag changes nothing any more.
        drag(plotPoint(0.2, 0.2), plotPoint(0.6, 0.6));
        QCOMPARE(window_->levelAxis()->min(), x0);
    }
};

QTEST_MAIN(TestHistogram)
#include "test_histogram.moc"
