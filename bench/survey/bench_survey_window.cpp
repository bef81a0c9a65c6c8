// The Survey window over a week of 1 s records in seven daily files (604,800 records):
// from the call that opens it (reading the files included) to its first full paint
// (the chart's and the period table's), in this process, median of 5 windows. Goal:
// at most 0.5 s. Then changes of the period length (to 15 min, then 1 min: 10,080
// periods), from the change to the chart painted, and the process's peak memory. Then
// the Assessment tab, each method chosen in turn: a changed option (the least coverage)
// to the method's first table painted, median of 5 (goal: at most 0.2 s).
// Run: QT_QPA_PLATFORM=offscreen build/bench/survey/bench_survey_window [DIR [PNG]]
//      (DIR keeps the files; PNG gets a picture of the window)
//      ... bench_survey_window --open FILE...: one window over the files (such as the
//      year of bench_survey --write-year), opened to painted, and the peak memory.
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

#include "../support/bench_support.h"
#include "../support/survey_week.h"
#include "platform/settings_place.h"
#include "survey/assessment_panel.h"
#include "survey/assessment_tab.h"
#include "survey/survey_chart.h"
#include "survey/survey_controls.h"
#include "survey/survey_opener.h"

namespace {

constexpr int kRounds = 5;

// Counts the paint events of the widgets it watches.
class PaintWatch : public QObject {
public:
    int painted = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        painted += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The Assessment tab of `window`: for each method offered, the median time from a
// change of the least coverage to its first table painted.
QString assessmentTimes(lp::survey::SurveyWindow& window) {
    using lp::survey::AssessmentMethod;
    lp::survey::AssessmentTab* tab = window.assessmentTab();
    window.tableTabs()->setCurrentWidget(tab);
    QStringList times;
    for (const auto& [method, name] : {std::pair{AssessmentMethod::Background, "background"},
                                       std::pair{AssessmentMethod::Rating, "rating"},
                                       std::pair{AssessmentMethod::Exposure, "exposure"},
                                       std::pair{AssessmentMethod::Events, "events"},
                                       std::pair{AssessmentMethod::Limits, "limits"}}) {
        lp::survey::AssessmentPanel* panel = tab->panel(method);
        if (panel == nullptr) {
            continue;
        }
        tab->chooseMethod(method);
        QApplication::processEvents();
        QList<double> changes;
        for (int round = 0; round < kRounds; ++round) {
            PaintWatch table;
            QElapsedTimer timer;
            timer.start();
            tab->minCoverageSpin()->setValue(round % 2 == 0 ? 70.0 : 75.0);
            panel->table(0)->viewport()->installEventFilter(&table);
            while (table.painted == 0) {
                QApplication::processEvents(QEventLoop::AllEvents, 5);
            }
            changes << timer.nsecsElapsed() / 1e6;
            panel->table(0)->viewport()->removeEventFilter(&table);
        }
        times << QStringLiteral("%1 %2 ms").arg(QLatin1String(name)).arg(median(changes));
    }
    return times.join(QStringLiteral(", "));
}

}  // namespace

namespace {

// One window over `files`: from the call to the chart and the table painted.
int openOnce(const QStringList& files, QTextStream& out) {
    lp::bench::CountingDialogs dialogs;
    const auto noPlot = [](const lp::records::RecordStore&, const QString&, QWidget*) {};
    QElapsedTimer timer;
    timer.start();
    const QTemporaryDir settingsFolder;  // a first start's options
    const std::unique_ptr<QSettings> settings = lp::platform::openSettings(settingsFolder.path());
    lp::survey::SurveyWindow* window =
        lp::survey::openSurveyWindow(files, dialogs, *settings, noPlot);
    if (window == nullptr) {
        out << "the files did not read" << Qt::endl;
        return 1;
    }
    PaintWatch chart;
    PaintWatch table;
    window->chart()->viewport()->installEventFilter(&chart);
    window->periodTable()->viewport()->installEventFilter(&table);
    while (chart.painted == 0 || table.painted == 0) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const double shown = timer.nsecsElapsed() / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    out << "Survey window over " << files.size() << " files (" << window->result().records
        << " records): opened and painted in " << shown << " ms; peak memory "
        << usage.ru_maxrss / 1024 << " MB" << Qt::endl;
    delete window;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc > 2 && QByteArray(argv[1]) == "--open") {
        QStringList files;
        for (int i = 2; i < argc; ++i) {
            files << QString::fromLocal8Bit(argv[i]);
        }
        return openOnce(files, out);
    }
    QTemporaryDir temporary;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QStringList files = lp::bench::writeSurveyWeek(dir);
    if (files.isEmpty()) {
        out << "cannot write the files in " << dir << Qt::endl;
        return 1;
    }
    lp::bench::CountingDialogs dialogs;
    const QTemporaryDir settingsFolder;  // a first start's options
    const std::unique_ptr<QSettings> settings = lp::platform::openSettings(settingsFolder.path());
    const auto noPlot = [](const lp::records::RecordStore&, const QString&, QWidget*) {};
    QList<double> shown;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        lp::survey::SurveyWindow* window =
            lp::survey::openSurveyWindow(files, dialogs, *settings, noPlot);
        if (window == nullptr) {
            out << "the files did not read" << Qt::endl;
            return 1;
        }
        PaintWatch chart;
        PaintWatch table;
        window->chart()->viewport()->installEventFilter(&chart);
        window->periodTable()->viewport()->installEventFilter(&table);
        while (chart.painted == 0 || table.painted == 0) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        shown << timer.nsecsElapsed() / 1e6;
        if (round + 1 < kRounds) {
            delete window;
            continue;
        }
        timer.restart();
        window->controls()->periodCombo()->setCurrentIndex(
            window->controls()->periodCombo()->findText(QStringLiteral("15 min")));
        chart.painted = 0;
        while (chart.painted == 0) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        const double changed = timer.nsecsElapsed() / 1e6;
        timer.restart();
        window->controls()->periodCombo()->setCurrentIndex(
            window->controls()->periodCombo()->findText(QStringLiteral("1 min")));
        chart.painted = 0;
        while (chart.painted == 0) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        const double minutes = timer.nsecsElapsed() / 1e6;
        window->controls()->periodCombo()->setCurrentIndex(
            window->controls()->periodCombo()->findText(QStringLiteral("1 h")));
        QApplication::processEvents();
        const QString assessed = assessmentTimes(*window);
        if (argc > 2) {
            window->grab().save(QString::fromLocal8Bit(argv[2]));
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        out << "Survey window over " << files.size() << " daily files (604,800 records): "
            << "opened and painted in " << median(shown) << " ms (median of " << kRounds
            << "; fastest " << *std::min_element(shown.begin(), shown.end()) << ", slowest "
            << *std::max_element(shown.begin(), shown.end()) << "); 1 h to 15 min periods "
            << changed << " ms, to 1 min " << minutes << " ms; " << window->result().events.size()
            << " events at 85 dB; peak memory " << usage.ru_maxrss / 1024 << " MB" << Qt::endl;
        out << "Assessment tab, a changed option to the figures painted (median of " << kRounds
            << "): " << assessed << Qt::endl;
        delete window;
    }
    return 0;
}
