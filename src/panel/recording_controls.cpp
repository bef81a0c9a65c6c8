#include "panel/recording_controls.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "live/sampling_time.h"
#include "panel/panel_face.h"
#include "platform/accessible_value.h"
#include "records/record_tally.h"

namespace lp::panel {

RecordingControls::RecordingControls(live::LiveCycle& cycle, live::Recording& recording,
                                     platform::Dialogs& dialogs, const PanelFace& face,
                                     QWidget* window)
    : QObject(window),
      cycle_(cycle),
      recording_(recording),
      dialogs_(dialogs),
      face_(face),
      window_(window) {
    connect(face_.samplingButton, &QPushButton::clicked, this,
            &RecordingControls::onSamplingClicked);
    connect(face_.saveAsButton, &QPushButton::clicked, this, &RecordingControls::onSaveAsClicked);
    connect(face_.startButton, &QPushButton::clicked, this, &RecordingControls::onStartClicked);
    connect(face_.stopButton, &QPushButton::clicked, this, &RecordingControls::onStopClicked);
    connect(&recording_, &live::Recording::viewChanged, this, &RecordingControls::render);
    connect(&recording_, &live::Recording::stopped, this, [this](const QString& reason) {
        dialogs_.message(window_, reason, platform::MessageIcon::Warning);
    });
    connect(&recording_, &live::Recording::noticed, this, [this](const QString& text) {
        dialogs_.message(window_, text, platform::MessageIcon::Information);
    });
    render(recording_.view());
    // STOP is enabled until the first stop, as on the meter's own software; it does
    // nothing while no run is on.
    face_.stopButton->setEnabled(true);
}

void RecordingControls::render(const live::RecordingView& view) {
    const QString name = QFileInfo(view.file).fileName();
    platform::showValue(face_.fileName, name);
    face_.fileName->setToolTip(QDir::toNativeSeparators(view.file));
    platform::showValue(face_.recordCount, view.on ? QString::number(view.count) : QString());
    face_.recordingLamp->setVisible(view.on && view.lampLit);
    platform::setAccessibleValue(face_.recordingLamp,
                                 view.on ? QStringLiteral("on") : QStringLiteral("off"));
    face_.startButton->setEnabled(!view.on);
    face_.stopButton->setEnabled(view.on);
}

void RecordingControls::onSamplingClicked() {
    const auto answer = dialogs_.input(window_, live::kSamplingTitle, live::kSamplingPrompt,
                                       QString::number(cycle_.samplingSeconds()));
    const live::SamplingAnswer a = live::readSamplingAnswer(answer);
    switch (a.kind) {
        case live::SamplingAnswer::Kind::Unchanged:
            return;
        case live::SamplingAnswer::Kind::Refused:
            dialogs_.message(window_, live::kSamplingRefused, platform::MessageIcon::Warning,
                             live::kSamplingTitle);
            return;
        case live::SamplingAnswer::Kind::Set:
            cycle_.setSamplingSeconds(a.seconds);
            return;
    }
}

// A recording appends to an existing file (runs share a file): the dialog does not
// offer to replace it, and what the file holds is told once chosen.
void RecordingControls::chooseFile() {
    const auto path = platform::askRecordingFileName(dialogs_, window_, recording_.view().file);
    if (!path) {
        return;
    }
    recording_.chooseFile(*path);
    if (const std::optional<records::RecordTally> tally = records::tallyRecordFile(*path)) {
        dialogs_.message(window_, records::recordingStartText(*path, tally),
                         platform::MessageIcon::Information);
    }
}

void RecordingControls::onSaveAsClicked() {
    chooseFile();
}

void RecordingControls::onStartClicked() {
    if (!recording_.hasFile()) {
        dialogs_.message(window_, kNoFileMessage);
        chooseFile();
        return;
    }
    if (const auto error = recording_.start()) {
        dialogs_.message(window_, *error, platform::MessageIcon::Warning);
    }
}

void RecordingControls::onStopClicked() {
    if (recording_.on()) {
        recording_.stop();
    }
}

}  // namespace lp::panel
