#include "panel/recording_controls.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "panel/panel_face.h"
#include "panel/sample_schedule.h"
#include "panel/sampling_time.h"

namespace lp::panel {

RecordingControls::RecordingControls(app::ProgramState& state, platform::Dialogs& dialogs,
                                     const PanelFace& face, QWidget* window)
    : QObject(window),
      state_(state),
      dialogs_(dialogs),
      window_(window),
      LblSample(face.LblSample),
      LblFile(face.LblFile),
      LblCount(face.LblCount),
      LblRecording(face.LblRecording),
      CmdStart(face.CmdStart),
      CmdStop(face.CmdStop),
      recorder_(state) {
    LblRecording->hide();
    LblCount->clear();
    LblFile->clear();
}

void RecordingControls::CmdPc_Click() {
    const int current = static_cast<int>(samplingSeconds(LblSample->text()));
    const auto answer =
        dialogs_.input(window_, kSamplingTitle, kSamplingPrompt, QString::number(current));
    const SamplingAnswer a = readSamplingAnswer(answer);
    switch (a.kind) {
        case SamplingAnswer::Kind::Unchanged:
            return;
        case SamplingAnswer::Kind::Refused:
            dialogs_.message(window_, kSamplingRefused, platform::MessageIcon::Warning,
                             kSamplingTitle);
            return;
        case SamplingAnswer::Kind::Set:
            LblSample->setText(samplingCaption(a.seconds));
            return;
    }
}

void RecordingControls::ShowSaveDialog() {
    if (const auto name = platform::askRecordFileName(dialogs_, window_)) {
        dialogFileName_ = *name;
    }
}

void RecordingControls::showFileName() {
    LblFile->setText(QFileInfo(dialogFileName_).fileName());
    LblFile->setToolTip(QDir::toNativeSeparators(dialogFileName_));
}

void RecordingControls::CmdSave_Click() {
    ShowSaveDialog();
    showFileName();
}

bool RecordingControls::noFileChosen() const {
    return LblFile->text().isEmpty() || LblFile->text() == QLatin1String("*.DAT");
}

void RecordingControls::askForFile() {
    dialogs_.message(window_, kNoFileMessage);
    ShowSaveDialog();
    showFileName();
}

void RecordingControls::CmdStart_Click() {
    if (noFileChosen()) {
        askForFile();
        return;
    }
    StartRecording();
}

void RecordingControls::StartRecording() {
    if (noFileChosen()) {
        askForFile();
        return;
    }
    if (const auto error = recorder_.start(dialogFileName_)) {
        dialogs_.message(window_, *error, platform::MessageIcon::Warning);
        return;
    }
    showFileName();
    LblRecording->show();
    CmdStart->setEnabled(false);
    CmdStop->setEnabled(true);
}

void RecordingControls::CmdStop_Click() {
    if (state_.RecordingOn) {
        StopRecording();
    }
}

void RecordingControls::StopRecording() {
    recorder_.stop();
    LblRecording->hide();
    LblCount->clear();
    CmdStart->setEnabled(true);
    CmdStop->setEnabled(false);
}

void RecordingControls::recordSample(const QString& sampleTail) {
    const Recorder::StepResult result = recorder_.record(sampleTail);
    LblCount->setText(QString::number(state_.RecordCount));
    LblRecording->setVisible(LblRecording->isHidden());
    switch (result.step) {
        case Recorder::Step::Written:
            return;
        case Recorder::Step::LimitReached:
            StopRecording();
            return;
        case Recorder::Step::Failed:
            StopRecording();
            dialogs_.message(window_, result.error, platform::MessageIcon::Warning);
            return;
    }
}

}  // namespace lp::panel
