// The records a publisher still has to hand to the broker, in the order they were
// written: first those that wait in the record files (after a restart, after a lost
// connection, or when too many piled up in memory), read back a chunk at a time, then
// those the recorder told of while they waited, kept in memory with the meter's reading.
//
// The record files are the record of truth: memory only saves reading them back. The
// queue keeps the logger's files in writing order (a journal; see publish_state.h), and
// a record is named by its key: the file's place in that order and its line.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <compare>
#include <deque>
#include <memory>
#include <variant>
#include <vector>

#include "live/recording.h"
#include "platform/iso_time.h"
#include "remote/backlog_reader.h"
#include "remote/messages.h"
#include "remote/publish_state.h"

namespace lp::remote {

struct RecordKey {
    qint64 file = 0;  // the file's place in the journal, counted from the first file ever
    qint64 line = 0;
    friend auto operator<=>(const RecordKey&, const RecordKey&) = default;
};

class RecordQueue : public QObject {
    Q_OBJECT
public:
    // `memoryLimit`: records kept in memory at most, beyond which the oldest are left to
    // the file; `linesPerTurn`: lines read back from files at most per call of next().
    RecordQueue(qsizetype memoryLimit, qsizetype linesPerTurn, QObject* parent = nullptr);
    ~RecordQueue() override;

    // Starts from a loaded cursor: everything after it waits on disk.
    void resume(const PublishState& state);
    [[nodiscard]] bool hasJournal() const { return !files_.isEmpty(); }
    // Starts a journal with `path` when there is none yet, the records up to `afterLine`
    // counting as published.
    void begin(const QString& path, qint64 afterLine);
    // The key of line `line` of `path`; a file not yet in the journal is added to it.
    struct Place {
        RecordKey key;
        bool newFile = false;  // added just now
    };
    [[nodiscard]] Place place(const QString& path, qint64 line);

    // A line the recorder wrote, under its key. False when it was read back from its
    // file already.
    bool add(RecordKey key, live::RecordedLine line);

    // The next record to publish (a line told is handed out with the meter's reading).
    struct Record {
        RecordKey key;
        WrittenRecord record;
    };
    // Reading back took this turn's share: ask again on the next turn of the event loop.
    struct Later {};
    // Nothing waits.
    struct Drained {};
    using Next = std::variant<Record, Later, Drained>;
    [[nodiscard]] Next next();
    // Everything after `after` is to be published again (read back from the files).
    void rewind(RecordKey after);
    [[nodiscard]] bool isEmpty() const { return !onDisk_ && memory_.empty(); }

    // The cursor file's content for `acknowledged`, and the journal cut to start there.
    [[nodiscard]] PublishState stateAt(RecordKey acknowledged);
    [[nodiscard]] RecordKey startKey() const { return RecordKey{firstFile_, startLine_}; }

signals:
    // A file cannot be read back: its records that were not yet published are passed
    // over. The reason in words, naming the file and the line.
    void unreadable(const QString& reason);

private:
    [[nodiscard]] Next nextOnDisk();
    void dropReader();
    [[nodiscard]] qint64 lastFile() const { return firstFile_ + files_.size() - 1; }
    void addFile(const QString& path);

    qsizetype memoryLimit_;
    qsizetype linesPerTurn_;
    QStringList files_;  // the journal, from firstFile_ on
    // Each file's identity, taken when it joined the journal or, for a file not there
    // yet then, when the recorder tells of its first record.
    QList<std::optional<platform::FileIdentity>> identities_;
    qint64 firstFile_ = 0;  // key.file of files_[0]
    qint64 startLine_ = 0;  // the line of files_[0] after which the journal starts
    std::deque<std::pair<RecordKey, live::RecordedLine>> memory_;
    bool onDisk_ = false;  // records after diskFrom_ wait in the files
    RecordKey diskFrom_;
    qint64 diskFile_ = 0;  // the file read back now
    std::unique_ptr<BacklogReader> reader_;
    bool readerDone_ = false;  // the reader is at its file's end (or cannot go on)
    std::vector<WrittenRecord> buffer_;
    platform::LocalTimes localTimes_;  // the offsets of the lines just written
    size_t bufferPos_ = 0;
    RecordKey lastOut_;    // the last record handed out
    RecordKey lastKnown_;  // the last record handed out or held
};

}  // namespace lp::remote
