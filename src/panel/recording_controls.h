// The panel's PC recording controls: the sampling time, the file choice, starting
// and stopping a run, and the line written at every sample while a run is on.
#pragma once

#include <QObject>
#include <QString>

#include "app/state/program_state.h"
#include "panel/recorder.h"
#include "platform/dialogs.h"

class QLabel;
class QPushButton;
class QWidget;

namespace lp::panel {

struct PanelFace;

class RecordingControls : public QObject {
    Q_OBJECT
public:
    inline static const QString kNoFileMessage = QStringLiteral("You have to creat a file first .");

    RecordingControls(app::ProgramState& state, platform::Dialogs& dialogs, const PanelFace& face,
                      QWidget* window);

    void CmdPc_Click();
    void CmdSave_Click();
    void CmdStart_Click();
    void CmdStop_Click();
    void StartRecording();
    void StopRecording();

    // One sample while recording: counts, blinks, writes the line; stops the run at
    // the line limit or when the file takes no more lines (and says so).
    void recordSample(const QString& sampleTail);

    // The record file dialog: a confirmed name becomes the file of the next run; a
    // cancel keeps the file chosen before.
    void ShowSaveDialog();

    [[nodiscard]] Recorder& recorder() { return recorder_; }

private:
    [[nodiscard]] bool noFileChosen() const;
    void askForFile();
    void showFileName();

    app::ProgramState& state_;
    platform::Dialogs& dialogs_;
    QWidget* window_;
    QLabel* LblSample;
    QLabel* LblFile;
    QLabel* LblCount;
    QLabel* LblRecording;
    QPushButton* CmdStart;
    QPushButton* CmdStop;
    Recorder recorder_;
    // The name the panel's own file dialog returned last; LblFile shows it.
    QString dialogFileName_;
};

}  // namespace lp::panel
