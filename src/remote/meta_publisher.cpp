#include "remote/meta_publisher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "records/run_metadata.h"

namespace lp::remote {

MetaPublisher::MetaPublisher(SamplePublisher& publisher, QString cursorPath, QObject* parent)
    : QObject(parent),
      publisher_(publisher),
      cursorPath_(std::move(cursorPath)),
      topic_(topicUnder(publisher.loggerTopic(), Topic::Meta)) {
    connect(&publisher_, &SamplePublisher::trackedAcknowledged, this, &MetaPublisher::acknowledged);
}

void MetaPublisher::start() {
    MetaCursorStart start = loadMetaCursor(cursorPath_);
    if (!start.notice.isEmpty()) {
        emit problem(start.notice);
    }
    for (auto& [recordFile, progress] : start.cursor) {
        const QString path = records::metadataPathOf(recordFile);
        const QFileInfo info(path);
        if (!info.isFile()) {
            continue;  // gone: nothing to send
        }
        // A file replaced under its name, or cut shorter, goes out from its start.
        if (progress.identity != platform::fileIdentity(path) || info.size() < progress.bytes) {
            progress = {};
        }
        FileState& state = files_[recordFile];
        state.acknowledged = progress;
        state.readLines = progress.lines;
        state.readBytes = progress.bytes;
        readNew(recordFile, state);
    }
}

void MetaPublisher::recordWritten(const live::RecordedLine& line) {
    if (line.file != currentAsGiven_) {
        // The recorder names the file as it was given (relative, say); the cursor by its
        // absolute path.
        currentAsGiven_ = line.file;
        current_ = QDir::cleanPath(QFileInfo(line.file).absoluteFilePath());
        if (files_.find(current_) == files_.end()) {
            files_[current_] = {};
            saveCursor();  // before any of its lines can be acknowledged, the cursor knows it
        }
    }
    readNew(current_, files_[current_]);
}

void MetaPublisher::readNew(const QString& recordFile, FileState& state) {
    const QString path = records::metadataPathOf(recordFile);
    if (QFileInfo(path).size() <= state.readBytes) {
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(state.readBytes)) {
        return;  // tried again with the next record
    }
    const QByteArray bytes = file.readAll();
    if (!state.acknowledged.identity) {
        state.acknowledged.identity = platform::fileIdentity(path);
    }
    // Whole lines only: a line cut short waits for its end.
    qsizetype from = 0;
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n', from)) {
        const qint64 number = ++state.readLines;
        state.readBytes += end + 1 - from;
        const qint64 ticket = publisher_.publishTracked(
            topic_, metaMessage(recordFile, number, bytes.mid(from, end - from)));
        if (ticket != 0) {
            tickets_[ticket] = {recordFile, number};
        }
        state.out[number] = {state.readBytes, false};
        from = end + 1;
    }
}

void MetaPublisher::acknowledged(qint64 ticket) {
    const auto it = tickets_.find(ticket);
    if (it == tickets_.end()) {
        return;  // another sender's
    }
    const auto [recordFile, line] = it->second;
    tickets_.erase(it);
    const auto file = files_.find(recordFile);
    if (file == files_.end()) {
        return;
    }
    FileState& state = file->second;
    if (const auto sent = state.out.find(line); sent != state.out.end()) {
        sent->second.acknowledged = true;
    }
    bool moved = false;
    while (!state.out.empty() && state.out.begin()->second.acknowledged &&
           state.out.begin()->first == state.acknowledged.lines + 1) {
        state.acknowledged.lines += 1;
        state.acknowledged.bytes = state.out.begin()->second.endBytes;
        state.out.erase(state.out.begin());
        moved = true;
    }
    if (moved) {
        saveCursor();
    }
}

void MetaPublisher::saveCursor() {
    // A file all of whose lines the broker has is left out, unless it is written now (or
    // none is yet: the cursor's files are kept until the recorder names one).
    MetaCursor cursor;
    for (const auto& [recordFile, state] : files_) {
        if (current_.isEmpty() || recordFile == current_ ||
            state.acknowledged.lines < state.readLines) {
            cursor[recordFile] = state.acknowledged;
        }
    }
    if (const std::optional<QString> error = saveMetaCursor(cursorPath_, cursor)) {
        emit problem(*error);
    }
}

}  // namespace lp::remote
