#include "remote/record_queue.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "records/file_error.h"

namespace lp::remote {
namespace {

QString cleanPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The record of a line the recorder wrote, with the meter's reading. The offset is local
// time's at the sample's instant (kept per hour in `times`): its stamp alone cannot
// tell the two passes of the hour shown twice in autumn.
WrittenRecord recordOf(live::RecordedLine line, platform::LocalTimes& times) {
    live::Sample& s = line.sample;
    const std::optional<int> offset =
        s.when.isValid() ? std::optional(times.offsetAt(s.when.toSecsSinceEpoch())) : std::nullopt;
    return WrittenRecord{std::move(line.file),
                         line.line,
                         QString::number(line.no),
                         std::move(s.dateTime),
                         std::move(s.levelText),
                         s.reading,
                         offset,
                         std::move(line.limits)};
}

}  // namespace

RecordQueue::RecordQueue(qsizetype memoryLimit, qsizetype linesPerTurn, QObject* parent)
    : QObject(parent),
      memoryLimit_(std::max<qsizetype>(memoryLimit, 1)),
      linesPerTurn_(std::max<qsizetype>(linesPerTurn, 1)) {}

RecordQueue::~RecordQueue() = default;

void RecordQueue::resume(const PublishState& state) {
    files_.clear();
    identities_.clear();
    for (const QString& file : state.files) {
        addFile(file);
    }
    firstFile_ = 0;
    startLine_ = state.line;
    memory_.clear();
    onDisk_ = !files_.isEmpty();
    diskFrom_ = lastOut_ = lastKnown_ = RecordKey{0, state.line};
    diskFile_ = 0;
    dropReader();
}

void RecordQueue::begin(const QString& path, qint64 afterLine) {
    resume(PublishState{{cleanPath(path)}, afterLine, std::nullopt});
    onDisk_ = afterLine == 0;  // a file published from its start: its earlier runs too
}

void RecordQueue::addFile(const QString& path) {
    files_ << path;
    identities_ << platform::fileIdentity(path);
}

RecordQueue::Place RecordQueue::place(const QString& path, qint64 line) {
    const QString clean = cleanPath(path);
    for (qsizetype i = files_.size() - 1; i >= 0; --i) {
        if (files_[i] == clean) {
            if (!identities_[i]) {
                identities_[i] = platform::fileIdentity(clean);
            }
            return Place{RecordKey{firstFile_ + i, line}, false};
        }
    }
    addFile(clean);
    return Place{RecordKey{lastFile(), line}, true};
}

bool RecordQueue::add(RecordKey key, live::RecordedLine line) {
    if (key <= lastKnown_) {
        return false;
    }
    lastKnown_ = key;
    memory_.emplace_back(key, std::move(line));
    if (static_cast<qsizetype>(memory_.size()) > memoryLimit_) {
        memory_.pop_front();
        if (!onDisk_) {
            // From here to the oldest record still held, the file has them.
            onDisk_ = true;
            diskFrom_ = lastOut_;
            diskFile_ = lastOut_.file;
        }
    }
    return true;
}

RecordQueue::Next RecordQueue::next() {
    if (onDisk_) {
        Next got = nextOnDisk();
        if (std::holds_alternative<Later>(got)) {
            return got;
        }
        const Record* read = std::get_if<Record>(&got);
        if (read && (memory_.empty() || read->key < memory_.front().first)) {
            lastOut_ = read->key;
            lastKnown_ = std::max(lastKnown_, read->key);
            return got;
        }
        // The file has been read up to what memory holds, or to its end.
        onDisk_ = false;
        dropReader();
    }
    if (memory_.empty()) {
        return Drained{};
    }
    auto [key, line] = std::move(memory_.front());
    memory_.pop_front();
    lastOut_ = key;
    return Record{key, recordOf(std::move(line), localTimes_)};
}

RecordQueue::Next RecordQueue::nextOnDisk() {
    qsizetype budget = linesPerTurn_;
    for (;;) {
        if (bufferPos_ < buffer_.size()) {
            WrittenRecord& record = buffer_[bufferPos_++];
            return Record{RecordKey{diskFile_, record.line}, std::move(record)};
        }
        buffer_.clear();
        bufferPos_ = 0;
        if (budget <= 0) {
            return Later{};
        }
        if (!reader_) {
            if (diskFile_ > lastFile()) {
                return Drained{};
            }
            const qint64 after = diskFile_ == diskFrom_.file ? diskFrom_.line : 0;
            reader_ = std::make_unique<BacklogReader>(files_[diskFile_ - firstFile_], after);
        }
        if (readerDone_) {
            reader_.reset();
            readerDone_ = false;
            ++diskFile_;
            continue;
        }
        const qsizetype lines = std::min<qsizetype>(budget, 1024);
        budget -= lines;
        const BacklogReader::Status status = reader_->read(buffer_, lines);
        if (status == BacklogReader::Status::More) {
            continue;
        }
        readerDone_ = true;  // once what it read is handed out, on to the next file
        if (status == BacklogReader::Status::Failed) {
            const records::FileError& e = *reader_->error();
            emit unreadable(e.line > 0 ? QStringLiteral("%1, line %2: %3; its records from there "
                                                        "on are not published")
                                             .arg(e.fileName)
                                             .arg(e.line)
                                             .arg(e.reason)
                                       : QStringLiteral("%1: %2; its records are not published")
                                             .arg(e.fileName, e.reason));
        }
    }
}

void RecordQueue::dropReader() {
    reader_.reset();
    readerDone_ = false;
    buffer_.clear();
    bufferPos_ = 0;
}

void RecordQueue::rewind(RecordKey after) {
    if (after >= lastOut_) {
        return;
    }
    onDisk_ = true;
    diskFrom_ = after;
    diskFile_ = after.file;
    lastOut_ = after;
    dropReader();
}

PublishState RecordQueue::stateAt(RecordKey acknowledged) {
    const qint64 drop = std::clamp<qint64>(acknowledged.file - firstFile_, 0, files_.size() - 1);
    files_.remove(0, drop);
    identities_.remove(0, drop);
    firstFile_ += drop;
    if (drop > 0) {
        startLine_ = 0;
    }
    const qint64 line = acknowledged.file == firstFile_ ? acknowledged.line : startLine_;
    return PublishState{files_, line, identities_.value(0)};
}

}  // namespace lp::remote
