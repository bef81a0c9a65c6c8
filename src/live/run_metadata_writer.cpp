#include "live/run_metadata_writer.h"

#include <QFileInfo>

#include "platform/iso_time.h"
#include "platform/write_failure.h"

namespace lp::live {

records::MeterState meterStateOf(const link::Reading& reading) {
    return {reading.weightingA ? records::Weighting::A : records::Weighting::C,
            reading.slowResponse ? records::Response::Slow : records::Response::Fast,
            std::pair<int, int>{reading.rangeLow, reading.rangeHigh}};
}

void RunMetadataWriter::begin(const QString& recordFile, qint64 headerLine,
                              const RunContext& context) {
    end();
    // A pipe or a device gets nothing beside it.
    on_ = QFileInfo(recordFile).isFile();
    recordFile_ = recordFile;
    headerLine_ = headerLine;
    context_ = context;
    written_.reset();
}

std::optional<QString> RunMetadataWriter::take(qint64 line, const QDateTime& when,
                                               const link::Reading& reading) {
    if (!on_) {
        return std::nullopt;
    }
    const records::MeterState state = meterStateOf(reading);
    QByteArray text;
    if (!written_) {
        text = records::runStartLine({headerLine_, platform::isoTimeText(when), context_.program,
                                      context_.host, context_.port, context_.everySeconds, state});
    } else if (state != *written_) {
        text = records::stateChangeLine(line, state);
    } else {
        return std::nullopt;
    }
    if (std::optional<QString> error = write(text, written_ ? line : headerLine_)) {
        end();
        return error;
    }
    written_ = state;
    return std::nullopt;
}

void RunMetadataWriter::end() {
    on_ = false;
    if (file_.isOpen()) {
        file_.close();
    }
}

std::optional<QString> RunMetadataWriter::write(const QByteArray& line, qint64 recordLine) {
    const QString path = records::metadataPathOf(recordFile_);
    const auto failed = [&](const QString& reason) {
        return QStringLiteral(
                   "Cannot write the metadata of the recording to \"%1\": %2. The recording "
                   "goes on; from line %3 of \"%4\" on, the metadata does not tell how the "
                   "meter was set.")
            .arg(path, reason)
            .arg(recordLine)
            .arg(recordFile_);
    };
    QByteArray bytes = line;
    if (!file_.isOpen()) {
        const QFileInfo info(path);
        if (info.exists() && !info.isFile()) {
            return failed(QStringLiteral("it is no regular file"));
        }
        file_.setFileName(path);
        // ReadWrite to look at the end of an earlier run's metadata.
        if (!file_.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
            return failed(file_.errorString());
        }
        // A last line cut short (a crash mid-write) gets its line end, so that this
        // run's first object is a line of its own; the reader passes over the cut one.
        const qint64 size = file_.size();
        if (size > 0 && (!file_.seek(size - 1) || file_.read(1) != "\n")) {
            bytes.prepend('\n');
        }
    }
    const qint64 before = file_.size();
    if (file_.write(bytes) != bytes.size()) {
        const QString reason = platform::writeFailureText(file_.errorString());
        (void)file_.resize(before);  // whole lines only
        return failed(reason);
    }
    return std::nullopt;
}

}  // namespace lp::live
