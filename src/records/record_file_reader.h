// Reading a record file back into a list, a piece at a time so a window can show its
// progress between pieces.
//
// The file is read item by item with the list-input rule: leading blanks are
// skipped, an item ends at a comma or at the end of its line (CR LF, LF or CR), and an
// item in double quotes loses its quotes. Files of this program hold neither commas
// nor quotes, so an item is a whole line. Each item is one of:
//  - a tab-separated record line "No TAB DateTime TAB Level TAB" (text after the third
//    TAB is ignored); the first item of the file is the header line and is skipped;
//  - a later header line, which starts the next run of a recording that appended to
//    the file (RecordSink::startRun); it is no record;
//  - an older fixed-column line (it holds a capital "A" or "C"): the number, a TAB,
//    then the date in characters 1-8, the time in 12-20 and the level in 26-29 (read
//    as a number and written with one decimal);
//  - an empty item, which holds no record and is passed over.
// Bytes are taken as Latin-1, so any byte sequence reads without touching valid lines.
// A line that cannot be cut into fields, or that is longer than kMaxLineBytes, stops
// the load; the records before it stay and the error names the line and the reason.
// Every byte is looked at a bounded number of times, whatever the file holds: an
// ordinary line (one item, no leading blank or quote) is found, cut and stored in one
// pass over its bytes; anything else takes the general item by item path.
#pragma once

#include <QByteArray>
#include <QFile>
#include <functional>
#include <optional>

#include "records/file_error.h"
#include "records/record_sink.h"
#include "records/record_store.h"

namespace lp::records {

class RecordFileReader {
public:
    enum class Status { More, End, Failed };
    // Longest line read; a longer one stops the load with its line number.
    static constexpr qsizetype kMaxLineBytes = 64 * 1024;
    // The line buffer: a block of the file and room for the unread part of a line
    // before it. The first read fills it whole; later reads fill what the unread part
    // leaves free.
    static constexpr qsizetype kBlockBytes = 1 << 17;
    static constexpr qsizetype kBufferBytes = kBlockBytes + kMaxLineBytes + 1;

    explicit RecordFileReader(const QString& path);

    // Opens the file; false (see error()) when it cannot be opened.
    [[nodiscard]] bool open();

    // Reads up to `maxItems` items, appending their records to `into`. A store over
    // this file (RecordStore::useSource) keeps where each record stands in it.
    // More: items remain; End: the file is read; Failed: see error().
    Status read(RecordStore& into, qsizetype maxItems);
    // The same, handing each record to `into` instead of storing it.
    Status read(RecordSink& into, qsizetype maxItems);

    [[nodiscard]] const std::optional<FileError>& error() const { return error_; }
    // The progress number a window shows with " record(s) completed": the item count
    // less the header for tab-separated lines, the item count for fixed-column lines.
    [[nodiscard]] qint64 progressCount() const { return progressCount_; }
    [[nodiscard]] qint64 itemCount() const { return items_; }
    // The line (1-based) the item handed to a sink last begins on: while a sink takes a
    // record, the record's line.
    [[nodiscard]] qint64 itemLine() const { return itemLine_; }
    // Where in the file the record handed to a sink last starts, when its three fields
    // are the file's first three TAB-ended pieces from there; -1 when the reader made
    // them (an older fixed-column line, an item in quotes).
    [[nodiscard]] qint64 recordOffset() const { return recordOffset_; }
    [[nodiscard]] const QString& path() const { return path_; }
    // The size of the open file in bytes (0 for a device or pipe).
    [[nodiscard]] qint64 fileSize() const { return file_.isSequential() ? 0 : file_.size(); }

private:
    // One item and what a single pass over it found: its first three TABs and whether
    // it holds a capital "A" or "C".
    struct ScannedItem {
        QByteArrayView text;
        qsizetype tabs[3] = {0, 0, 0};
        int tabCount = 0;
        bool fixedColumns = false;
    };

    bool ensureLine();
    bool refill();
    bool nextLineAtOnce(ScannedItem& item);
    QByteArrayView nextItem(qint64& startLine);
    static void scanWholeItem(ScannedItem& item);
    bool handleItem(const ScannedItem& item, qint64 line, RecordSink& into);
    bool fail(qint64 line, QString reason);
    bool failLongLine();

    QString path_;
    QFile file_;
    QByteArray buffer_;       // allocated at the first read, then reused
    qsizetype filled_ = 0;    // bytes of buffer_ holding file content
    qint64 bufferStart_ = 0;  // where in the file buffer_[0] stands
    qint64 recordOffset_ = -1;
    qsizetype pos_ = 0;
    qsizetype scanned_ = 0;  // bytes from pos_ already searched for a line end
    bool exhausted_ = false;
    bool atLineStart_ = true;  // the next item is the first of its line
    qint64 line_ = 1;
    qint64 itemLine_ = 0;
    qint64 items_ = 0;
    qint64 progressCount_ = 0;
    QByteArray quoted_;  // the content of the last quoted item
    std::optional<FileError> error_;
};

struct LoadResult {
    qsizetype records = 0;  // records appended
    std::optional<FileError> error;
};

// Reads the whole file into `into` (records are appended). `progress` gets the
// progress number now and then.
LoadResult loadRecordFile(const QString& path, RecordStore& into,
                          const std::function<void(qint64)>& progress = {});

}  // namespace lp::records
