// The panel's PC recording controls: the sampling-time box, the file choice, START and
// STOP. They forward to the live cycle and the recording, render the recording's
// view (file name, count, the blinking "RECORDING") and tell the user what failed.
#pragma once

#include <QObject>
#include <QString>

#include "live/live_cycle.h"
#include "live/recording.h"
#include "platform/dialogs.h"

class QWidget;

namespace lp::panel {

struct PanelFace;

class RecordingControls : public QObject {
    Q_OBJECT
public:
    inline static const QString kNoFileMessage = QStringLiteral("You have to creat a file first .");

    RecordingControls(live::LiveCycle& cycle, live::Recording& recording,
                      platform::Dialogs& dialogs, const PanelFace& face, QWidget* window);

    void onSamplingClicked();
    void onSaveAsClicked();
    void onStartClicked();
    void onStopClicked();

private:
    void chooseFile();
    void render(const live::RecordingView& view);

    live::LiveCycle& cycle_;
    live::Recording& recording_;
    platform::Dialogs& dialogs_;
    const PanelFace& face_;
    QWidget* window_;
};

}  // namespace lp::panel
