// The two line-chart windows in virtual time: faces, one rendered check each, the
// "Limit" panels (their rules: test_chart_rules), the plot's timing, tool tip, picture.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "charts/real_time_chart.h"
#include "charts/record_plot.h"
#include "face.h"
#include "keys.h"
#include "level_records.h"
#include "platform/twips_canvas.h"
#include "platform/virtual_clock.h"
#include "scripted_dialogs.h"

using namespace lp;
using charts::RealTimeChart;
using charts::RecordPlot;

namespace {

// The canvas picture and a point of it given in chart units.
struct Picture {
    explicit Picture(const platform::TwipsCanvas& c) : canvas(c), image(c.image().toImage()) {}
    // The darkest grey within one pixel of (x, y).
    [[nodiscard]] int darkest(double x, double y) const {
        const QPointF p = canvas.toPixels(x, y) * canvas.image().devicePixelRatio();
        int dark = 255;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint c(int(std::floor(p.x())) + dx, int(std::floor(p.y())) + dy);
                dark = std::min(dark, qGray(image.pixel(c)));
            }
        }
        return dark;
    }
    [[nodiscard]] bool onCurve(double x, double y) const { return darkest(x, y) < 150; }
    // A light-grey grid line passes here and nothing black.
    [[nodiscard]] bool onGrid(double x, double y) const {
        const int dark = darkest(x, y);
        return dark >= 150 && dark <= 235;
    }
    const platform::TwipsCanvas& canvas;
    QImage image;
};

QLineEdit* edit(QWidget* w, const char* name) {
    auto* e = w->findChild<QLineEdit*>(QLatin1String(name));
    if (!e) {
        qFatal("no input %s", name);
    }
    return e;
}

}  // namespace

class TestLineCharts : public QObject {
    Q_OBJECT
    std::unique_ptr<platform::VirtualClock> clock_;
    test::ScriptedDialogs dialogs_;

    // The record plot of five records, from 40 to 70 dB.
    std::unique_ptr<RecordPlot> fivePlot(platform::LivePause pause = {}) {
        return std::make_unique<RecordPlot>(
            test::levelStore({"40.0", "60.0", "45.0", "70.0", "50.0"}), QStringLiteral("a.sdm"),
            *clock_, dialogs_, pause);
    }

private slots:
    void init() {
        clock_ = std::make_unique<platform::VirtualClock>();
        dialogs_ = test::ScriptedDialogs();
    }
    void realTimeFace_data() {
        // The toolbar is both charts' (chart_canvas): its rows here only.
        lp::test::faceRows(
            {"RealTimeSPL|Real Time Graph", "PMessage||Limits", "TxtMax||Max", "TxtMin||Min",
             "TxtCounts||Counts", "CmdOK|OK", "Limit|Limit", "Print|Print (Print (Ctrl+P))|Print",
             "Save image|Save image (Save the chart as a PNG picture (Ctrl+S))|Save image"});
    }
    void realTimeFace() {
        RealTimeChart chart(*clock_, 67.0f, dialogs_);
        test::checkFace(chart);
    }

    void plotFace_data() {
        lp::test::faceRows({"ListPlot|Plot Data/File", "PicRange||Limits", "TxtR1||Records From",
                            "TxtR2||Records To", "TxtT1||Value Min", "TxtT2||Value Max",
                            "CmdOK|OK"});
    }
    void plotFace() {
        RecordPlot plot(test::levelStore({"40.0"}), QStringLiteral("a.sdm"), *clock_, dialogs_);
        test::checkFace(plot);
    }

    // The keys reach the commands (one toolbar for both charts: chart_canvas).
    void keysRunCommands_data() {
        test::keyRows({{"Ctrl+P", "Print"}, {"Ctrl+S", "Save image"}, {"Esc", "CloseKeys"}});
    }
    void keysRunCommands() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, command);
        const std::unique_ptr<RecordPlot> plot = fivePlot();
        QCOMPARE(test::runsOnKeys(*plot, command, keys), 1);
    }

    // A point a second; the smallest size; "Save image" and Print.
    void realTimeDrawsOnePointASecond() {
        RealTimeChart chart(*clock_, 67.0f, dialogs_);
        chart.show();
        QVERIFY(chart.ticking());
        clock_->advance(10000);
        QCOMPARE(chart.pointCount(), 10);
        chart.setLevel(80.0f);
        clock_->advance(1000);

        const charts::PlotFrame f = chart.frame();
        const Picture pic(*chart.canvas());
        QVERIFY(pic.onCurve(f.left + 4, f.base - f.height * 0.37));
        QVERIFY(!pic.onCurve(f.left + 4, f.base - f.height * 0.6));
        QVERIFY(pic.onGrid(f.left + f.width - 20, f.base - f.height / 2));
        QVERIFY(chart.canvas()->accessibleDescription().contains("last level 80.0 dB"));

        QCOMPARE(chart.size(), chart.minimumSize());
        QVERIFY(chart.width() > 300);
        QTemporaryDir dir;
        dialogs_.saveNames.push_back(dir.filePath("chart"));
        QVERIFY(chart.saveImage());
        QCOMPARE(QImage(dir.filePath("chart.png")).size(), chart.canvas()->image().size());

        // Print: cancelled, nothing; then the window without its toolbar, per copy.
        dialogs_.printers = {std::nullopt, 2};
        QAction* print = chart.findChild<QAction*>("Print");
        print->trigger();
        QVERIFY(dialogs_.printLog->entries.isEmpty());
        print->trigger();
        const QString image =
            QStringLiteral("image %1x%2")
                .arg(chart.width())
                .arg(chart.height() - chart.findChild<QToolBar*>("Toolbar1")->height());
        QCOMPARE(dialogs_.printLog->entries, (QStringList{image, image, "end"}));
    }

    // Limit stops the chart; the boxes filter keys, Enter walks Max -> Min -> Counts -> OK.
    void realTimeLimitsByKeyboard() {
        RealTimeChart chart(*clock_, 60.0f, dialogs_);
        chart.show();
        QApplication::setActiveWindow(&chart);
        clock_->advance(3000);
        chart.toolbar().limit->trigger();
        QVERIFY(!chart.ticking());
        auto* pMessage = chart.findChild<QWidget*>(QStringLiteral("PMessage"));
        QVERIFY(pMessage->isVisible());
        QLineEdit* max = edit(&chart, "TxtMax");
        QLineEdit* min = edit(&chart, "TxtMin");
        QLineEdit* counts = edit(&chart, "TxtCounts");
        QCOMPARE(max->text() + u'|' + min->text() + u'|' + counts->text(),
                 QStringLiteral("130|30|%1").arg(chart.frame().width));

        max->setText(QStringLiteral("120"));
        min->clear();
        QTest::keyClicks(min, "-4a,.5q");  // Max takes the same keys
        QCOMPARE(min->text(), QStringLiteral("-4.5"));
        QTest::keyClick(max, Qt::Key_Return);
        QVERIFY(min->hasFocus());
        QTest::keyClick(min, Qt::Key_Return);
        QVERIFY(counts->hasFocus());
        counts->clear();
        QTest::keyClicks(counts, "1.2-e");  // no point, no sign in the counts
        QCOMPARE(counts->text(), QStringLiteral("12"));

        // Min below 30: refused and told (which refusal: test_chart_rules).
        QTest::keyClick(counts, Qt::Key_Return);
        QCOMPARE(dialogs_.shown.back().icon, platform::MessageIcon::Critical);
        QCOMPARE(dialogs_.messages(), QStringList{charts::sweepValueMessage()});
        QVERIFY(pMessage->isVisible());
        min->setText(QStringLiteral("40"));
        QTest::keyClick(counts, Qt::Key_Return);
        QVERIFY(!pMessage->isVisible());
        QVERIFY(chart.ticking());
        QCOMPARE(chart.sweep().maxValue(), 120.0);
        QCOMPARE(chart.sweep().counts(), 12.0);
    }

    // The curve two seconds after the frame, the live cycle paused for it; the tool tip;
    // a resize then draws at once.
    void plotDrawsItsRecords() {
        int paused = 0;
        int resumed = 0;
        const auto plot = fivePlot({[&] { ++paused; }, [&] { ++resumed; }});
        plot->show();
        QVERIFY(plot->curvePending());
        clock_->advance(1999);
        QVERIFY(!plot->curveDrawn());
        QCOMPARE(paused, 0);
        clock_->advance(1);
        QVERIFY(plot->curveDrawn());
        QCOMPARE(paused, 1);
        QCOMPARE(resumed, 1);
        QVERIFY(plot->canvas()->accessibleDescription().startsWith("a.sdm: records 1 to 5"));

        // Halfway between the first two records, on the line from 40 to 60 dB.
        const charts::PlotFrame f = plot->frame();
        const Picture pic(*plot->canvas());
        QVERIFY(pic.onCurve(f.left + plot->step() / 2, f.base - f.height * 0.2));
        QVERIFY(!pic.onCurve(f.left + plot->step() / 2, f.base - f.height * 0.35));
        QVERIFY(pic.onGrid(f.left + plot->step() / 2, f.base - f.height / 2));

        const QPointF p = plot->pointOf(3);
        const QPoint px = plot->canvas()->toPixels(p.x(), p.y()).toPoint();
        QCOMPARE(plot->toolTipAt(px + QPoint(2, -1)),
                 QStringLiteral("No. 3\n2009/06/01 14:05:03\n45.0 dB"));
        QVERIFY(plot->toolTipAt(px + QPoint(0, 40)).isEmpty());

        plot->resize(plot->width() + 40, plot->height() + 30);
        QCOMPARE(plot->curvePasses(), 2);
        QVERIFY(!plot->curvePending());
        QCOMPARE(paused, 2);
    }

    // One record is one point; no records leave the empty frame.
    void plotOfOneRecordAndOfNone() {
        RecordPlot one(test::levelStore({"80.0"}), QStringLiteral("Set 1"), *clock_, dialogs_);
        one.show();
        clock_->advance(2000);
        const charts::PlotFrame f = one.frame();
        QVERIFY(Picture(*one.canvas()).onCurve(f.left, f.base - f.height / 2));

        int paused = 0;
        RecordPlot none(records::RecordStore(), QStringLiteral("Set 2"), *clock_, dialogs_,
                        {[&] { ++paused; }, [] {}});
        none.show();
        clock_->advance(2000);
        QVERIFY(!none.curveDrawn());
        QCOMPARE(paused, 0);
    }

    // Limit shows the plot's range; refusals change nothing, a good range (OK, or Enter in
    // a box) is drawn later.
    void plotLimits() {
        const auto plot = fivePlot();
        plot->show();
        clock_->advance(2000);
        plot->toolbar().limit->trigger();
        auto* picRange = plot->findChild<QWidget*>(QStringLiteral("PicRange"));
        QVERIFY(picRange->isVisible());
        QStringList shown;
        for (const char* name : {"TxtT1", "TxtT2", "TxtR1", "TxtR2"}) {
            shown << edit(plot.get(), name)->text();
        }
        QCOMPARE(shown.join(u'|'), QStringLiteral("30|130|1|5"));
        auto* ok = plot->findChild<QPushButton*>(QStringLiteral("CmdOK"));

        edit(plot.get(), "TxtT2")->setText(QStringLiteral("131"));
        ok->click();
        QCOMPARE(dialogs_.messages(), QStringList{charts::plotValueMessage(130)});
        QCOMPARE(plot->range().top, 130.0);
        edit(plot.get(), "TxtT2")->setText(QStringLiteral("90"));

        edit(plot.get(), "TxtR1")->setText(QStringLiteral("2"));
        edit(plot.get(), "TxtR2")->setText(QStringLiteral("4"));
        QTest::keyClick(edit(plot.get(), "TxtR2"), Qt::Key_Return);  // Enter is OK
        QVERIFY(!picRange->isVisible());
        QCOMPARE(plot->range().first, qint64(2));
        QCOMPARE(plot->range().top, 90.0);
        QVERIFY(plot->curvePending());
        clock_->advance(2000);
        QCOMPARE(plot->curvePasses(), 2);
    }
};

QTEST_MAIN(TestLineCharts)
#include "test_line_charts.moc"
