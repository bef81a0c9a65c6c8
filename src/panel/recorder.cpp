#include "panel/recorder.h"

#include "platform/writer_lock.h"
#include "records/record_file_writer.h"
#include "records/record_format.h"

namespace lp::panel {

Recorder::Recorder(qint32 lineLimit) : lineLimit_(lineLimit) {}

Recorder::~Recorder() {
    stop();
}

std::optional<QString> Recorder::start(const QString& path) {
    stop();
    file_.setFileName(path);
    // Unbuffered: each write goes to the operating system at once. ReadWrite so that
    // the end of an earlier run can be looked at.
    if (!file_.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        return QStringLiteral("Cannot open the recording file \"%1\": %2.")
            .arg(path, file_.errorString());
    }
    if (!platform::lockForWriting(file_)) {
        file_.close();
        return QStringLiteral("Cannot record into \"%1\": another recording writes to it.")
            .arg(path);
    }
    // A run cut short (a full disk, a crash of the machine) may have left a line
    // without its end: this run starts on a line of its own.
    QByteArray start = records::kHeaderLine.toByteArray();
    if (!file_.isSequential() && file_.size() > 0 && file_.seek(file_.size() - 1) &&
        file_.peek(1) != "\n") {
        start.prepend(records::kLineEnd.toByteArray());
    }
    if (!writeBytes(start)) {
        const QString reason = records::writeFailureText(writeError_);
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
                    .arg(file_.fileName(), records::writeFailureText(writeError_))};
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
    if (!file_.isOpen()) {
        writeError_ = QStringLiteral("the file is not open");
        return false;
    }
    const qint64 before = file_.size();
    if (file_.write(bytes) == bytes.size()) {
        return true;
    }
    // Part of the line may have gone out: take it back, so the file holds whole
    // lines only.
    writeError_ = file_.errorString();
    (void)file_.resize(before);
    return false;
}

}  // namespace lp::panel
