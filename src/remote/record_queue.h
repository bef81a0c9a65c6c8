// The records a publisher still has to hand to the broker, in the order they were
// written: first those that wait in the record files (after a restart, after a lost
// connection, or when too many piled up in memory), read back a chunk at a time, then
// those the recorder told of while they waited, kept in memory with the meter's reading.
//
// The record files are the record of truth: memory only saves reading them back. The
// queue keeps the logger's files in writing order (a journal; see publish_state.h), and
// a record is named by its key: the file's place in that order and its line.
#pragma once

#include <QString>
#include <QStringList>
#include <compare>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "remote/backlog_reader.h"
#include "remote/messages.h"
#include "remote/publish_state.h"

namespace lp::remote {

struct RecordKey {
    qint64 file = 0;  // the file's place in the journal, counted from the first file ever
    qint64 line = 0;
    friend auto operator<=>(const RecordKey&, const RecordKey&) = default;
};

class RecordQueue {
public:
    // `memoryLimit`: records kept in memory at most, beyond which the oldest are left to
    // the file; `linesPerTurn`: lines read back from files at most per call of next().
    RecordQueue(qsizetype memoryLimit, qsizetype linesPerTurn);
    ~RecordQueue();

    // Starts from a loaded cursor: everything after it waits on disk.
    void resume(const PublishState& state);
    [[nodiscard]] bool hasJournal() const { return !files_.isEmpty(); }
    // Starts a journal with `path` when there is none yet, the records up to `afterLine`
    // counting as published.
    void begin(const QString& path, qint64 afterLine);
    // The key of line `line` of `path`; a file not yet in the journal is added (`added`).
    RecordKey keyOf(const QString& path, qint64 line, bool& added);

    // A record the recorder wrote. False when it was read back from its file already.
    bool add(RecordKey key, WrittenRecord record);

    enum class Next { Record, Later, None };
    // The next record to publish. Later: reading back took this turn's share; ask again
    // on the next turn of the event loop. None: nothing waits.
    Next next(RecordKey& key, WrittenRecord& record);
    // Everything after `after` is to be published again (read back from the files).
    void rewind(RecordKey after);
    [[nodiscard]] bool isEmpty() const { return !onDisk_ && memory_.empty(); }

    // The cursor file's content for `acknowledged`, and the journal cut to start there.
    [[nodiscard]] PublishState stateAt(RecordKey acknowledged);
    [[nodiscard]] RecordKey startKey() const { return RecordKey{firstFile_, startLine_}; }

    // A file that cannot be read back: its records that were not yet published are
    // passed over. Gets the reason in words.
    std::function<void(const QString&)> onUnreadable;

private:
    Next nextOnDisk(RecordKey& key, WrittenRecord& record);
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
    std::deque<std::pair<RecordKey, WrittenRecord>> memory_;
    bool onDisk_ = false;  // records after diskFrom_ wait in the files
    RecordKey diskFrom_;
    qint64 diskFile_ = 0;  // the file read back now
    std::unique_ptr<BacklogReader> reader_;
    bool readerDone_ = false;  // the reader is at its file's end (or cannot go on)
    std::vector<WrittenRecord> buffer_;
    size_t bufferPos_ = 0;
    RecordKey lastOut_;    // the last record handed out
    RecordKey lastKnown_;  // the last record handed out or held
};

}  // namespace lp::remote
