// The main window: the meter's front panel. It renders what the live cycle and the
// recording emit (the LCD, MAX/MIN, the time, the link state, the recording) and the
// alarms' view, and forwards its controls: the meter's keys go to the live cycle, the
// recording controls to the recording, the alarm box to the alarms, and its other
// buttons ask for the program's other windows.
#pragma once

#include <QPointer>
#include <QWidget>

#include "live/alarms.h"
#include "live/live_cycle.h"
#include "live/recording.h"
#include "panel/panel_face.h"
#include "platform/dialogs.h"

namespace lp::panel {

class AnalogMeter;
class RecordingControls;

class Panel : public QWidget {
    Q_OBJECT
public:
    inline static const QString kCaption = QStringLiteral("Panel   V7.0");
    inline static const QString kCaptionDated = QStringLiteral("Panel   V7.0   20090601");
    // Asked on EXIT (and Ctrl+Q) while a recording runs; No keeps it running.
    inline static const QString kStopRecordingQuestion =
        QStringLiteral("A recording is running. Stop it and quit?");

    Panel(live::LiveCycle& cycle, live::Recording& recording, live::Alarms& alarms,
          platform::Dialogs& dialogs, QWidget* parent = nullptr);
    ~Panel() override;

    [[nodiscard]] const PanelFace& face() const { return f_; }
    // The analog window, once it has been opened.
    [[nodiscard]] AnalogMeter* analogMeter() const;

signals:
    // LIST: open or resume the live list.
    void listRequested();
    // GRAPH.
    void graphRequested();
    // LIMITS: the limits window.
    void limitsRequested();
    // MEMORY: read the memory status and show the memory window.
    void memoryRequested();
    // OPEN  FILE: a running recording has been stopped; show the open dialog.
    void openRequested();
    // Defaults (the panel's context menu): forget what the program remembers.
    void defaultsRequested();
    // The panel was closed (close box, EXIT, or the desktop logging out): the program
    // ends. The recording file is already closed.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void render(const live::LiveView& view);
    void showSilent(bool silent);
    void onOpenClicked();
    void onExitClicked();
    void openAnalogMeter();
    void onCaptionClicked();

    live::LiveCycle& cycle_;
    live::Recording& recording_;
    platform::Dialogs& dialogs_;
    PanelFace f_;
    RecordingControls* recordingControls_ = nullptr;
    QPointer<AnalogMeter> analog_;
    bool captionDated_ = false;  // the caption shows the program's date
};

}  // namespace lp::panel
