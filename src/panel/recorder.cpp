#include "panel/recorder.h"

#include "records/record_format.h"

namespace lp::panel {

Recorder::Recorder(qint32 lineLimit) : lineLimit_(lineLimit) {}

Recorder::~Recorder() {
    stop();
}

std::optional<QString> Recorder::start(const QString& path) {
    stop();
    file_.setFileName(path);
    // Unbuffered: each write goes to the operating system at once.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return QStringLiteral("Cannot open the recording file \"%1\": %2.")
            .arg(path, file_.errorString());
    }
    if (!writeBytes(records::kHeaderLine.toByteArray())) {
        const QString reason = file_.errorString();
        file_.close();
        return QStringLiteral("Cannot write to the recording file \"%1\": %2.").arg(path, reason);
    }
    return std::nullopt;
}

Recorder::StepResult Recorder::record(const QString& dateTime, const QString& levelText) {
    count_ += 1;
    QByteArray line;
    records::appendRecordLine(line, QByteArray::number(count_), dateTime.toLatin1(),
                              levelText.toLatin1());
    if (!writeBytes(line)) {
        return {Step::Failed,
                QStringLiteral("Recording stopped: cannot write to the file \"%1\": %2.\n"
                               "The lines recorded before are kept.")
                    .arg(file_.fileName(), file_.errorString())};
    }
    if (count_ == lineLimit_) {
        return {Step::LimitReached, {}};
    }
    return {};
}

void Recorder::stop() {
    if (file_.isOpen()) {
        file_.close();
    }
    count_ = 0;
}

bool Recorder::writeBytes(const QByteArray& bytes) {
    return file_.isOpen() && file_.write(bytes) == bytes.size();
}

}  // namespace lp::panel
