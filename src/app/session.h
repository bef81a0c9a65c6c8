// One linked run of the program: the opened port, the exchange queue, the live
// poller, the recording, the alarms on the live level and the panel, with the panel's
// buttons wired to the other windows.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QSettings;

#include "link/live_poller.h"
#include "link/meter_link.h"
#include "live/linked_meter.h"
#include "live/open_port.h"
#include "live/port_choice.h"
#include "live/port_keeper.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

namespace lp::live {
class Alarms;
class LimitWatch;
class LiveCycle;
class Recording;
}  // namespace lp::live
namespace lp::panel {
class LimitWindow;
class Panel;
}  // namespace lp::panel
namespace lp::charts {
class RecordPlot;
class RealTimeChart;
}  // namespace lp::charts
namespace lp::records {
class RecordStore;
}  // namespace lp::records
namespace lp::lists {
class LiveListFeed;
class SavedFileOpener;
}  // namespace lp::lists
namespace lp::survey {
class SurveyWindow;
}  // namespace lp::survey
namespace lp::memory {
class DownloadedSetWindow;
}  // namespace lp::memory

namespace lp::app {

class Session : public QObject {
    Q_OBJECT
public:
    // Opens the port again after it went away (by default live::openPort()).
    using Reopen = live::PortKeeper::Reopen;
    // How often a port that went away is tried again.
    static constexpr int kReconnectMs = live::PortKeeper::kReconnectMs;
    // Asked on Defaults (the panel's context menu), and the caption's notice on Yes.
    inline static const QString kForgetQuestion = QStringLiteral(
        "Forget what LevelPanel remembers: the port, the sampling time, the recording file, "
        "the alarm, the limit rules, the Survey window's options and every window's place? "
        "It starts with its defaults next time; the profiles stay.");
    inline static const QString kForgottenNotice =
        QStringLiteral("Settings forgotten: defaults at the next start");

    Session(live::OpenedPort port, const live::PortRequest& request, platform::Clock& clock,
            platform::Dialogs& dialogs, QSettings& settings, QObject* parent = nullptr,
            Reopen reopen = {});
    ~Session() override;

    [[nodiscard]] panel::Panel& panel() { return *panel_; }
    [[nodiscard]] live::LiveCycle& liveCycle() { return *cycle_; }
    [[nodiscard]] live::Recording& recording() { return *recording_; }
    [[nodiscard]] live::Alarms& alarms() { return *alarms_; }
    [[nodiscard]] live::LimitWatch& limitWatch() { return *limits_; }
    // The limits window while it is open.
    [[nodiscard]] panel::LimitWindow* limitWindow() const;
    [[nodiscard]] link::MeterLink& link() { return meter_->link(); }
    // The real-time chart and the record plot while they are open.
    [[nodiscard]] charts::RealTimeChart* realTimeChart() const;
    [[nodiscard]] charts::RecordPlot* listPlot() const;

signals:
    // The panel was closed: the program ends.
    void finished();

private:
    void wireWindows();
    void openSavedFile();
    // GRAPH: the real-time chart, or the one open brought to the front.
    void openRealTimeChart();
    // LIMITS: the limits window, or the one open brought to the front.
    void openLimitWindow();
    // A record plot of `records` beside `opener`, replacing the one open.
    void openPlot(const records::RecordStore& records, const QString& title, QWidget* opener);
    // The Survey window of `files` beside `opener`, replacing the one open.
    void openSurvey(const QStringList& files, QWidget* opener);
    // The Survey window of a downloaded set's records, held in memory, beside its list.
    void openSetSurvey(memory::DownloadedSetWindow* list);
    void portLost(const QString& reason);
    // Defaults: forgets the settings file's values once the user says Yes.
    void forgetSettings();

    platform::Clock& clock_;
    platform::Dialogs& dialogs_;
    QSettings& settings_;  // what the windows remember between runs
    bool lossNoticeShown_ = false;
    QString portName_;  // the port as the metadata beside record files names it
    std::unique_ptr<live::LinkedMeter> meter_;
    live::LiveCycle* cycle_;  // the meter's
    std::unique_ptr<live::Recording> recording_;
    std::unique_ptr<live::Alarms> alarms_;      // set in the panel's alarm box
    std::unique_ptr<live::LimitWatch> limits_;  // set in the limits window
    std::unique_ptr<panel::Panel> panel_;
    std::unique_ptr<lists::LiveListFeed> listFeed_;
    std::unique_ptr<lists::SavedFileOpener> fileOpener_;
    QPointer<charts::RealTimeChart> chart_;
    QPointer<panel::LimitWindow> limitWindow_;
    QPointer<charts::RecordPlot> plot_;
    QPointer<survey::SurveyWindow> survey_;
};

}  // namespace lp::app
