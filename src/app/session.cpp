#include "app/session.h"

#include <QSysInfo>

#include "app/file_viewer.h"
#include "app/start_options.h"

#include "charts/real_time_chart.h"
#include "charts/record_plot.h"
#include "lists/live_list_feed.h"
#include "lists/saved_file_opener.h"
#include "lists/saved_file_window.h"
#include "live/alarms.h"
#include "live/limit_watch.h"
#include "live/live_cycle.h"
#include "live/recording.h"
#include "memory/downloaded_set_window.h"
#include "memory/memory_flow.h"
#include "panel/limit_window.h"
#include "panel/panel.h"
#include "panel/panel_memory.h"
#include "platform/version.h"
#include "platform/window_memory.h"
#include "platform/window_place.h"
#include "survey/survey_opener.h"

namespace lp::app {

Session::Session(live::OpenedPort port, const live::PortRequest& request, platform::Clock& clock,
                 platform::Dialogs& dialogs, QSettings& settings, QObject* parent, Reopen reopen)
    : QObject(parent),
      clock_(clock),
      dialogs_(dialogs),
      settings_(settings),
      meter_(std::make_unique<live::LinkedMeter>(std::move(port), request, live::portNames(request),
                                                 clock, std::move(reopen))),
      cycle_(&meter_->cycle()) {
    recording_ = std::make_unique<live::Recording>();
    portName_ = request.kind == live::PortKind::Simulated ? live::kSimPortArgument : request.device;
    recording_->setContextSource([cycle = cycle_, portName = portName_] {
        return live::RunContext{kGuiProgramName + u' ' + platform::kVersion,
                                QSysInfo::machineHostName(), portName,
                                double(cycle->samplingSeconds())};
    });
    connect(cycle_, &live::LiveCycle::sampleTaken, recording_.get(), &live::Recording::record);
    alarms_ = std::make_unique<live::Alarms>(clock_);
    live::feedAlarms(*cycle_, *alarms_);
    // The live limits, fed as the alarms are.
    limits_ = std::make_unique<live::LimitWatch>();
    limits_->setInterval(cycle_->samplingSeconds());
    connect(cycle_, &live::LiveCycle::viewChanged, limits_.get(),
            [limits = limits_.get(),
             seconds = cycle_->samplingSeconds()](const live::LiveView& view) mutable {
                if (view.samplingSeconds != seconds) {
                    seconds = view.samplingSeconds;
                    limits->setInterval(seconds);
                }
            });
    connect(cycle_, &live::LiveCycle::sampleTaken, limits_.get(), &live::LimitWatch::take);
    panel_ = std::make_unique<panel::Panel>(*cycle_, *recording_, *alarms_, dialogs_);
    // The port opened is the port choice's proposal at the next start.
    live::rememberPort(settings_, request);
    panel::rememberPanelSettings(*panel_, *cycle_, *recording_, *limits_, settings_);
    connect(panel_.get(), &panel::Panel::defaultsRequested, this, &Session::forgetSettings);
    connect(&meter_->keeper(), &live::PortKeeper::portLost, this, &Session::portLost);
    connect(panel_.get(), &panel::Panel::exitRequested, this, &Session::finished);
    wireWindows();
}

Session::~Session() {
    // The windows go first; the panel closes its recording file and goes before the
    // link it polls.
    delete survey_;
    delete plot_;
    delete chart_;
    delete limitWindow_;
    fileOpener_.reset();
    listFeed_.reset();
    panel_.reset();
    limits_.reset();
    alarms_.reset();
    recording_.reset();
    meter_.reset();
}

void Session::wireWindows() {
    panel::Panel* panel = panel_.get();

    listFeed_ = std::make_unique<lists::LiveListFeed>(dialogs_, panel);
    connect(panel, &panel::Panel::listRequested, listFeed_.get(), &lists::LiveListFeed::openList);
    connect(cycle_, &live::LiveCycle::sampleTaken, listFeed_.get(), &lists::LiveListFeed::sample);

    live::LiveCycle* cycle = cycle_;
    const platform::LivePause timers{[cycle] { cycle->pauseTimers(); },
                                     [cycle] { cycle->resumeTimers(); }};
    fileOpener_ = std::make_unique<lists::SavedFileOpener>(dialogs_, timers, panel);
    fileOpener_->setSeveralFilesHandler(
        [this, panel](const QStringList& files) { openSurvey(files, panel); });
    connect(panel, &panel::Panel::openRequested, this, &Session::openSavedFile);

    // The memory windows go with the panel, before the link they talk through.
    auto* memoryFlow = new memory::MemoryFlow(meter_->link(), dialogs_, panel, panel);
    records::RunStart context;
    context.program = kGuiProgramName + u' ' + platform::kVersion;
    context.host = QSysInfo::machineHostName();
    context.port = portName_;
    memoryFlow->setMetadataContext(context);
    connect(panel, &panel::Panel::memoryRequested, memoryFlow, &memory::MemoryFlow::open);
    connect(memoryFlow, &memory::MemoryFlow::dataListShown, this,
            [this](memory::DownloadedSetWindow* list) {
                equipLnChooser(*list, dialogs_,
                               [list] { return QStringLiteral("Set %1").arg(list->setNumber()); });
                list->setPlotAvailable(true);
                connect(list, &memory::DownloadedSetWindow::plotRequested, this, [this, list] {
                    openPlot(list->records().store(),
                             QStringLiteral("Set %1").arg(list->setNumber()), list);
                });
                list->setSurveyAvailable(true);
                connect(list, &memory::DownloadedSetWindow::surveyRequested, this,
                        [this, list] { openSetSurvey(list); });
            });

    connect(panel, &panel::Panel::graphRequested, this, &Session::openRealTimeChart);
    connect(panel, &panel::Panel::limitsRequested, this, &Session::openLimitWindow);
}

panel::LimitWindow* Session::limitWindow() const {
    return limitWindow_;
}

void Session::openLimitWindow() {
    if (limitWindow_) {
        limitWindow_->showNormal();
        limitWindow_->raise();
        limitWindow_->activateWindow();
        return;
    }
    limitWindow_ = new panel::LimitWindow(*limits_);
    limitWindow_->setAttribute(Qt::WA_DeleteOnClose);
    // Under the panel.
    platform::placeWindow(
        limitWindow_, QPoint(panel_->frameGeometry().left(), panel_->frameGeometry().bottom() + 1));
    limitWindow_->show();
}

charts::RealTimeChart* Session::realTimeChart() const {
    return chart_;
}

charts::RecordPlot* Session::listPlot() const {
    return plot_;
}

void Session::openRealTimeChart() {
    if (chart_) {
        chart_->showNormal();
        chart_->raise();
        chart_->activateWindow();
        return;
    }
    chart_ = new charts::RealTimeChart(clock_, cycle_->reading().level, dialogs_);
    connect(
        cycle_, &live::LiveCycle::readingDecoded, chart_,
        [chart = chart_.data()](const link::Reading& reading) { chart->setLevel(reading.level); });
    chart_->setAttribute(Qt::WA_DeleteOnClose);
    // At the panel's right edge, at the top of the screen.
    platform::placeWindow(chart_, QPoint(panel_->frameGeometry().right() + 1, 0));
    chart_->show();
}

void Session::openPlot(const records::RecordStore& records, const QString& title, QWidget* opener) {
    delete plot_;
    live::LiveCycle* cycle = cycle_;
    const platform::LivePause pause{[cycle] { cycle->pauseTimers(); },
                                    [cycle] { cycle->resumeTimers(); }};
    plot_ = new charts::RecordPlot(records, title, clock_, dialogs_, pause);
    plot_->setAttribute(Qt::WA_DeleteOnClose);
    // Beside the window it plots.
    platform::placeWindow(
        plot_, QPoint(opener->frameGeometry().right() + 1, opener->frameGeometry().top()));
    plot_->show();
}

void Session::forgetSettings() {
    if (!dialogs_.ask(panel_.get(), kForgetQuestion)) {
        return;
    }
    platform::forgetSettings(settings_);
    platform::showCaptionNotice(panel_.get(), kForgottenNotice);
}

void Session::portLost(const QString& reason) {
    // The keeper tries again in the background while the user reads the message: a
    // replugged adapter usually comes back under the same name.
    // One notice at a time: a port that comes and goes while the user reads it adds
    // no second box.
    if (lossNoticeShown_) {
        return;
    }
    lossNoticeShown_ = true;
    // Told from the event loop, not from inside the dying port's own signal.
    QMetaObject::invokeMethod(
        this,
        [this, reason] {
            dialogs_.message(panel_.get(),
                             reason + QStringLiteral("\n\nLevelPanel reconnects by itself as "
                                                     "soon as the port is back."),
                             platform::MessageIcon::Warning);
            lossNoticeShown_ = false;
        },
        Qt::QueuedConnection);
}

void Session::openSavedFile() {
    lists::SavedFileWindow* window = fileOpener_->open();
    if (window) {
        equipSavedFileWindow(
            *window, dialogs_,
            [this](const records::RecordStore& records, const QString& title, QWidget* opener) {
                openPlot(records, title, opener);
            },
            [this](const QStringList& files, QWidget* opener) { openSurvey(files, opener); });
    }
}

void Session::openSurvey(const QStringList& files, QWidget* opener) {
    delete survey_;
    survey_ = survey::openSurveyWindow(
        files, dialogs_, settings_,
        [this](const records::RecordStore& records, const QString& title, QWidget* from) {
            openPlot(records, title, from);
        },
        opener);
}

void Session::openSetSurvey(memory::DownloadedSetWindow* list) {
    delete survey_;
    survey_ = survey::showSurveyWindow(
        list->survey(), dialogs_, settings_,
        [this](const records::RecordStore& records, const QString& title, QWidget* from) {
            openPlot(records, title, from);
        },
        list);
}

}  // namespace lp::app
