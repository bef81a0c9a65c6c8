// levelpanel-screenshots OUTDIR: the pictures of the user guide. Runs the program's own
// windows on the built-in simulated meter (best under QT_QPA_PLATFORM=offscreen), opens
// each of them as a user would, and saves every window shown as OUTDIR/NAME.png, NAME
// taken from its class (AnalogMeter: analog-meter.png). The saved-file windows list two
// days of demo records it writes to OUTDIR/demo first (the first two days of the example
// week the guide's survey examples run on).
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/file_viewer.h"
#include "app/port_choice_window.h"
#include "app/session.h"
#include "demo_day.h"
#include "lists/saved_file_window.h"
#include "live/limit_watch.h"
#include "live/open_port.h"
#include "panel/limit_texts.h"
#include "panel/panel.h"
#include "platform/qt_clock.h"
#include "platform/qt_dialogs.h"
#include "platform/settings_place.h"
#include "survey/assessment_tab.h"
#include "survey/survey_window.h"

namespace {

// "lp::charts::RealTimeChart" -> "real-time-chart"
QString pictureName(const QWidget& window) {
    QString name = QString::fromLatin1(window.metaObject()->className());
    name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
    name.replace(QRegularExpression(QStringLiteral("(?<=[a-z])(?=[A-Z])")), QStringLiteral("-"));
    return name.toLower();
}

// Saves each window shown that has no picture yet; false when one cannot be written.
bool saveWindows(const QDir& out, QSet<QString>& saved) {
    bool ok = true;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const QString name = pictureName(*window);
        if (!window->isVisible() || saved.contains(name)) {
            continue;
        }
        saved.insert(name);
        const QString path = out.filePath(name + QStringLiteral(".png"));
        if (!window->grab().save(path)) {
            std::fprintf(stderr, "levelpanel-screenshots: cannot write %s\n", qPrintable(path));
            ok = false;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return ok;
}

void click(QWidget& window, const char* name) {
    if (auto* button = window.findChild<QPushButton*>(QLatin1String(name))) {
        button->click();
    } else {
        std::fprintf(stderr, "levelpanel-screenshots: no button %s\n", name);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LevelPanel"));
    if (argc != 2) {
        std::fputs("usage: levelpanel-screenshots OUTDIR\n", stderr);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir demo(out.filePath(QStringLiteral("demo")));
    const QStringList files = lp::tools::writeDemoDays(demo.path());
    if (files.isEmpty()) {
        std::fprintf(stderr, "levelpanel-screenshots: cannot write the demo records in %s\n",
                     qPrintable(demo.path()));
        return 1;
    }

    lp::platform::QtClock clock;
    lp::platform::QtDialogs dialogs;
    // A settings file of its own: the pictures show what a first start shows.
    const QTemporaryDir settingsFolder;
    const std::unique_ptr<QSettings> settings = lp::platform::openSettings(settingsFolder.path());
    QSet<QString> saved;
    bool ok = true;

    // Each step runs once the one before has had `ms` to settle.
    QList<std::pair<int, std::function<void()>>> steps;
    const auto then = [&steps](int ms, std::function<void()> step) {
        steps.append({ms, std::move(step)});
    };

    auto choice = std::make_unique<lp::app::PortChoiceWindow>(
        dialogs, QList<lp::live::SystemPort>{
                     {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART")}});
    std::unique_ptr<lp::app::Session> session;
    lp::app::FileViewer viewer(clock, dialogs, *settings);

    then(0, [&] { choice->show(); });
    then(500, [&] {
        ok = saveWindows(out, saved) && ok;
        choice.reset();
        const lp::live::PortRequest request{
            lp::live::PortKind::Simulated, 0, {}, QStringLiteral("SIM")};
        lp::live::PortOpening opening = lp::live::openPort(request, clock);
        session = std::make_unique<lp::app::Session>(std::move(opening.port), request, clock,
                                                     dialogs, *settings);
        session->panel().show();
    });
    then(2000, [&] {
        // The limits window with a rule of each kind; on the simulated meter's level
        // (60 to 75 dB) mostly a warning, a quiet rule and an alarm.
        lp::live::LiveLimitOptions limits;
        limits.rules = {{lp::assess::LimitFigure::Laeq, false, 900, 0, 24, 80.0, 60.0, {}},
                        {lp::assess::LimitFigure::Laeq, true, 10, 0, 24, 85.0, {}, {}},
                        {lp::assess::LimitFigure::Lmax, false, 900, 0, 24, 65.0, {}, {}}};
        for (lp::live::LiveLimitRule& rule : limits.rules) {
            rule.text = lp::panel::limitRuleText(rule);
        }
        session->limitWatch().setOptions(limits);
        click(session->panel(), "CmdLimits");
        click(session->panel(), "CmdAnalog");
        click(session->panel(), "CmdGraph");
        click(session->panel(), "CmdList");
    });
    then(20000, [&] {
        ok = saveWindows(out, saved) && ok;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != &session->panel()) {
                window->close();
            }
        }
        click(session->panel(), "CmdMemory");
    });
    then(3000, [&] {
        ok = saveWindows(out, saved) && ok;
        session.reset();
        lp::lists::SavedFileWindow* list = viewer.open(files.first());
        if (list == nullptr) {
            ok = false;
            return;
        }
        click(*list, "Cmd01dB");
        list->plotTool()->trigger();
    });
    QPointer<lp::survey::SurveyWindow> survey;
    then(5000, [&] {  // the plot draws its curve two seconds after its frame
        ok = saveWindows(out, saved) && ok;
        survey = viewer.openSurvey(files);
    });
    then(2000, [&] {
        ok = saveWindows(out, saved) && ok;
        if (survey) {  // its Assessment tab: the background with its histogram
            survey->tableTabs()->setCurrentWidget(survey->assessmentTab());
            if (auto* split = survey->findChild<QSplitter*>(QStringLiteral("figuresSplitter"))) {
                split->setSizes({240, 540});  // the tab's tables and histogram, a smaller chart
            }
        }
    });
    then(1000, [&] {
        const QString path = out.filePath(QStringLiteral("survey-assessment.png"));
        if (!survey || !survey->grab().save(path)) {
            std::fprintf(stderr, "levelpanel-screenshots: cannot write %s\n", qPrintable(path));
            ok = false;
        }
        std::printf("%s\n", qPrintable(path));
        QApplication::quit();
    });

    int at = 0;
    for (auto& [ms, step] : steps) {
        at += ms;
        QTimer::singleShot(at, &app, step);
    }
    QApplication::exec();
    return ok ? 0 : 1;
}
