// The main window: the meter's front panel. Timer1 polls the meter and shows each
// live frame; Timer2 ticks every second and takes a sample every sampling time (the
// recording line, the live list row, the analog needle). Its keys press the meter's
// keys over the link; its other buttons ask for the program's other windows.
#pragma once

#include <QDateTime>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "app/state/program_state.h"
#include "link/live_poller.h"
#include "link/meter_link.h"
#include "panel/max_min.h"
#include "panel/panel_face.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

namespace lp::panel {

class AnalogMeter;
class RecordingControls;

class Panel : public QWidget {
    Q_OBJECT
public:
    inline static const QString kCaption = QStringLiteral("Panel   V7.0");
    inline static const QString kCaptionDated = QStringLiteral("Panel   V7.0   20090601");
    static constexpr int kTimer1Ms = 150;
    static constexpr int kTimer2Ms = 1000;

    // The buttons that open windows built elsewhere; until the program says a window
    // is there, its button does nothing and its tool tip says so.
    enum class Feature { List, Graph, Memory, Open };

    // The port is open when the panel is made: the panel shows the port as linked,
    // sets the sampling time to "2 sec" and starts both timers.
    Panel(app::ProgramState& state, link::MeterLink& link, link::LivePoller& poller,
          platform::Clock& clock, platform::Dialogs& dialogs, QWidget* parent = nullptr);
    ~Panel() override;

    // The name LblComm shows for the port ("COM3" and, after a clock set, "Com3" by
    // default). Give a short name when the port is not COM1..COM8 (a device path,
    // the simulated meter).
    void setPortLabel(const QString& label);
    void setFeatureAvailable(Feature feature, bool available);
    [[nodiscard]] bool featureAvailable(Feature feature) const;

    // Both timers off and on again, for long file operations and printing. Pauses
    // nest: the timers run again after the last resume.
    void pauseTimers();
    void resumeTimers();
    // Timer1 (the live polling) off and on, for exchanges that need the line quiet.
    void setPolling(bool on);
    [[nodiscard]] platform::Timer& timer1() { return *timer1_; }
    [[nodiscard]] platform::Timer& timer2() { return *timer2_; }

    // Ends a running recording (CmdOpen does this before it opens a file).
    void stopRecording();

    [[nodiscard]] const PanelFace& face() const { return f_; }
    // The analog window, once it has been opened.
    [[nodiscard]] AnalogMeter* analogMeter() const;
    [[nodiscard]] RecordingControls& recording() { return *recording_; }

signals:
    // A sample while the live list takes rows (ListOn): date-time "YYYY/MM/DD hh:nn:ss",
    // the level text, and the clock time of the sample.
    void sampleTaken(const QString& dateTime, const QString& levelText, const QDateTime& when);
    // LIST: open or resume the live list (the receiver sets ListOn and ListCount).
    void listRequested();
    // GRAPH while no chart is open (ChartOn was false; the panel has set it).
    void graphRequested();
    // MEMORY: read the memory status and show the memory window.
    void memoryRequested();
    // OPEN  FILE: a running recording has been stopped; show the open dialog.
    void openRequested();
    // The panel was closed (close box or EXIT): the program ends. The recording file
    // is already closed.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void Timer1_Timer();
    void Timer2_Timer();
    void showFrame(const QByteArray& frame);
    void SetMaxMin();
    void linkStateChanged(link::LinkState state);
    void showSilent(bool silent);
    void CmdRec_Click();
    void CmdSystem_Click();
    void CmdList_Click();
    void CmdGraph_Click();
    void CmdMemory_Click();
    void CmdOpen_Click();
    void CmdAnalog_Click();
    void LblComm_Click();
    void applyTimers();
    [[nodiscard]] QString portText(bool afterClockSet) const;

    app::ProgramState& state_;
    link::MeterLink& link_;
    link::LivePoller& poller_;
    platform::Clock& clock_;
    platform::Dialogs& dialogs_;
    PanelFace f_;
    RecordingControls* recording_ = nullptr;
    QPointer<AnalogMeter> analog_;
    std::unique_ptr<platform::Timer> timer1_;
    std::unique_ptr<platform::Timer> timer2_;
    MaxMin maxMin_;
    QString portLabel_;
    bool pollingWanted_ = true;
    int pauseDepth_ = 0;
    bool features_[4] = {false, false, false, false};
};

}  // namespace lp::panel
