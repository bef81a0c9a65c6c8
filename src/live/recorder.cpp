#include "live/recorder.h"

#include <QFileInfo>
#include <algorithm>

#include "platform/write_failure.h"
#include "platform/writer_lock.h"
#include "records/record_file_reader.h"
#include "records/record_file_writer.h"
#include "records/record_format.h"

namespace lp::live {
namespace {

constexpr qsizetype kShownBytes = 80;

// The removed bytes as the user reads them: TABs and other control bytes escaped,
// at most kShownBytes of them.
QString printable(const QByteArray& bytes) {
    QString text;
    for (const char c : bytes.left(kShownBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\t') {
            text += QStringLiteral("\\t");
        } else if (byte < 0x20 || byte == 0x7f) {
            text += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
        } else {
            text += QLatin1Char(c);  // Latin-1, as the reader takes it
        }
    }
    return bytes.size() > kShownBytes ? text + QStringLiteral("...") : text;
}

}  // namespace

Recorder::Recorder(qint32 lineLimit) : lineLimit_(lineLimit) {}

Recorder::~Recorder() {
    stop();
}

std::optional<QString> Recorder::start(const QString& path) {
    stop();
    notices_.clear();
    appendedTo_.reset();
    const bool existed = QFileInfo::exists(path);
    std::optional<QString> error = openFile(path);
    if (error && file_.isOpen()) {
        file_.close();
    }
    if (error && !existed) {
        QFile::remove(path);  // made by this start alone, and empty
    }
    return error;
}

std::optional<QString> Recorder::openFile(const QString& path) {
    file_.setFileName(path);
    // Unbuffered: each write goes to the operating system at once. ReadWrite so that
    // the end of an earlier run can be looked at.
    if (!file_.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        return QStringLiteral("Cannot open the recording file \"%1\": %2.")
            .arg(path, file_.errorString());
    }
    switch (platform::lockForWriting(file_)) {
        case platform::WriteLock::Taken:
            break;
        case platform::WriteLock::HeldByAnother:
            return QStringLiteral("Cannot record into \"%1\": another recording writes to it.")
                .arg(path);
        case platform::WriteLock::NotOffered:
            notices_ << QStringLiteral(
                            "The file system of \"%1\" offers no file locks: recording "
                            "without one, so make sure no other program writes to the file.")
                            .arg(QFileInfo(path).absolutePath());
            break;
    }
    if (auto error = cutUnendedLine()) {
        return error;
    }
    if (auto error = countLines()) {
        return error;
    }
    appendedTo_ = records::tallyRecordFile(path);
    if (!writeBytes(records::kHeaderLine.toByteArray())) {
        return QStringLiteral("Cannot write to the recording file \"%1\": %2.")
            .arg(path, platform::writeFailureText(writeError_));
    }
    fileLines_ += 1;
    return std::nullopt;
}

std::optional<QString> Recorder::cutUnendedLine() {
    if (file_.isSequential()) {
        return std::nullopt;
    }
    const qint64 size = file_.size();
    // A line end (CR LF, LF or a lone CR) ends the file, or the longest line the
    // reader takes plus one byte holds one: anything longer is no record line to cut.
    const qint64 window = std::min<qint64>(size, records::RecordFileReader::kMaxLineBytes + 1);
    if (window == 0) {
        return std::nullopt;
    }
    QByteArray tail;
    if (file_.seek(size - window)) {
        tail = file_.read(window);
    }
    if (tail.size() != window) {
        return QStringLiteral("Cannot read the end of the recording file \"%1\": %2.")
            .arg(file_.fileName(), file_.errorString());
    }
    const qsizetype lastEnd = std::max(tail.lastIndexOf('\n'), tail.lastIndexOf('\r'));
    if (lastEnd == tail.size() - 1) {
        return std::nullopt;
    }
    if (lastEnd < 0 && window < size) {
        return QStringLiteral(
                   "Cannot record into \"%1\": it ends in a line of more than %2 bytes, so it "
                   "is no record file.")
            .arg(file_.fileName())
            .arg(records::RecordFileReader::kMaxLineBytes);
    }
    const QByteArray cut = tail.mid(lastEnd + 1);
    if (!file_.resize(size - cut.size())) {
        return QStringLiteral("Cannot repair the recording file \"%1\": %2.")
            .arg(file_.fileName(), file_.errorString());
    }
    notices_ << QStringLiteral(
                    "The recording file \"%1\" ended in a line cut short (no line end): "
                    "%2 byte(s) removed so that the file reads whole: \"%3\"")
                    .arg(file_.fileName())
                    .arg(cut.size())
                    .arg(printable(cut));
    return std::nullopt;
}

std::optional<QString> Recorder::countLines() {
    fileLines_ = 0;
    if (file_.isSequential()) {
        return std::nullopt;
    }
    const qint64 size = file_.size();
    if (size > 0 && !file_.seek(0)) {
        return QStringLiteral("Cannot read the recording file \"%1\": %2.")
            .arg(file_.fileName(), file_.errorString());
    }
    constexpr qint64 kBlock = 1 << 20;
    qint64 done = 0;
    bool afterCr = false;  // a CR ended the bytes before: an LF now ends no other line
    while (done < size) {
        const QByteArray block = file_.read(std::min(kBlock, size - done));
        if (block.isEmpty()) {
            return QStringLiteral("Cannot read the recording file \"%1\": %2.")
                .arg(file_.fileName(), file_.errorString());
        }
        for (const char c : block) {
            fileLines_ += (c == '\r' || (c == '\n' && !afterCr)) ? 1 : 0;
            afterCr = c == '\r';
        }
        done += block.size();
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
                    .arg(file_.fileName(), platform::writeFailureText(writeError_))};
    }
    fileLines_ += 1;
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
    fileLines_ = 0;
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

}  // namespace lp::live
