#include "panel/recorder.h"

#include "records/record_format.h"

namespace lp::panel {

Recorder::Recorder(app::ProgramState& state) : state_(state) {}

Recorder::~Recorder() {
    stop();
}

std::optional<QString> Recorder::start(const QString& path) {
    if (file_.isOpen()) {
        file_.close();
    }
    file_.setFileName(path);
    // Unbuffered: each write goes to the operating system at once.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        const QString reason = file_.errorString();
        state_.RecordingOn = false;
        return QStringLiteral("Cannot open the recording file \"%1\": %2.").arg(path, reason);
    }
    if (!writeBytes(records::kHeaderLine.toByteArray())) {
        const QString reason = file_.errorString();
        file_.close();
        state_.RecordingOn = false;
        return QStringLiteral("Cannot write to the recording file \"%1\": %2.").arg(path, reason);
    }
    state_.RecordCount = 0;
    state_.RecordingOn = true;
    return std::nullopt;
}

Recorder::StepResult Recorder::record(const QString& sampleTail) {
    state_.RecordCount += 1;
    if (!writeLine(QString::number(state_.RecordCount) + QLatin1Char('\t') + sampleTail)) {
        return {Step::Failed,
                QStringLiteral("Recording stopped: cannot write to the file \"%1\": %2.\n"
                               "The lines recorded before are kept.")
                    .arg(file_.fileName(), file_.errorString())};
    }
    if (state_.RecordCount == kLineLimit) {
        return {Step::LimitReached, {}};
    }
    return {};
}

void Recorder::stop() {
    state_.RecordingOn = false;
    if (file_.isOpen()) {
        file_.close();
    }
    state_.RecordCount = 0;
}

bool Recorder::writeLine(const QString& line) {
    return writeBytes(line.toLatin1() + records::kLineEnd.toByteArray());
}

bool Recorder::writeBytes(const QByteArray& bytes) {
    return file_.isOpen() && file_.write(bytes) == bytes.size();
}

}  // namespace lp::panel
