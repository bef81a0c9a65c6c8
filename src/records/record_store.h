// The records of one list, packed: every field's bytes (single-byte Latin-1 text) sit
// in one contiguous buffer and each field is found by its end offset. A list of
// 348,000 records takes about 14 MB this way instead of several hundred bytes a
// record as separate strings.
//
// A store over a record file (useSource) holds less still: a record whose fields stand
// in the file as they are listed is kept as where it starts there (4 bytes), its
// fields cut at the first three TABs from there when asked for; only the others (an
// older fixed-column line, a quoted item, a record appended from elsewhere) are packed.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

#include "records/record_source.h"

namespace lp::records {

// The three text fields of one record, in file and column order.
enum class Field : int { No = 0, DateTime = 1, Level = 2 };
inline constexpr int kFieldCount = 3;

// One record as texts, for callers that want it whole.
struct Record {
    QString no;
    QString dateTime;
    QString level;
    friend bool operator==(const Record&, const Record&) = default;
};

class RecordStore {
public:
    // The buffer addresses its bytes with 32-bit offsets.
    static constexpr qsizetype kMaxTextBytes = 0xFFFFFFFFLL;

    // Appends one record. Characters outside Latin-1 are stored as '?', as a
    // single-byte file would hold them. Returns false (and stores nothing) when the
    // store's text would pass kMaxTextBytes.
    bool append(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level);
    bool append(QStringView no, QStringView dateTime, QStringView level);
    // Appends every record of another store, and its runs.
    bool append(const RecordStore& other);

    // Makes an empty store one over `source`: its records may then be appended by
    // where they start in the source (appendFromSource).
    void useSource(std::shared_ptr<const RecordSource> source);
    [[nodiscard]] const std::shared_ptr<const RecordSource>& source() const { return source_; }
    // Appends the record whose three fields are the source's first three TAB-ended
    // pieces from `offset` on. False (and nothing stored) when the store has no
    // source or the record does not lie wholly inside it.
    bool appendFromSource(qint64 offset, qsizetype fieldBytes);

    // A file recorded in several runs holds a header line before each later run. The
    // store keeps where each later run starts (the index of its first record, or the
    // record count when no record follows yet), so a save writes those header lines
    // where they were. In order; two header lines in a row give the same index twice.
    void startRun() { runStarts_.push_back(count()); }
    [[nodiscard]] const std::vector<qsizetype>& runStarts() const { return runStarts_; }

    [[nodiscard]] qsizetype count() const {
        return source_ ? static_cast<qsizetype>(refs_.size())
                       : static_cast<qsizetype>(ends_.size()) / kFieldCount;
    }
    [[nodiscard]] bool isEmpty() const { return count() == 0; }

    // The bytes of one field; valid until the store changes.
    [[nodiscard]] QByteArrayView bytes(qsizetype record, Field field) const;
    [[nodiscard]] QString text(qsizetype record, Field field) const;
    [[nodiscard]] Record record(qsizetype index) const;

    // Empties the store; it is over no source any more.
    void clear();
    // Empties the store but keeps its room and its source, for a reader that fills it
    // piece by piece.
    void removeAll();
    // Room for `records` more records holding `textBytes` more bytes in all (over a
    // source: room for `records` more places, the text being the source's).
    void reserve(qsizetype records, qsizetype textBytes);
    // Gives back the room reserved for growth.
    void squeeze();
    // Heap bytes the store holds (buffer, offsets and runs, capacity included; not the
    // source's bytes, which are the file's).
    [[nodiscard]] qsizetype memoryBytes() const;
    // Total bytes of text held.
    [[nodiscard]] qsizetype textBytes() const { return text_.size(); }
    // Whether `more` bytes of text still fit.
    [[nodiscard]] bool fits(qsizetype more) const { return text_.size() + more <= kMaxTextBytes; }

private:
    void appendLatin1(QStringView text);
    void closeField() { ends_.push_back(static_cast<quint32>(text_.size())); }
    void growEnds(size_t more);
    void growRefs(size_t more);
    [[nodiscard]] qsizetype packedCount() const {
        return static_cast<qsizetype>(ends_.size()) / kFieldCount;
    }
    [[nodiscard]] QByteArrayView packedBytes(qsizetype packed, Field field) const;
    [[nodiscard]] QByteArrayView sourceBytes(quint32 offset, Field field) const;
    // Over a source: notes that the record just packed is the next record.
    void referPacked();

    // A place in refs_ with this bit set is the index of a packed record.
    static constexpr quint32 kPackedBit = 0x80000000u;

    QByteArray text_;
    std::vector<quint32> ends_;  // end offset of each field, kFieldCount per packed record
    std::vector<qsizetype> runStarts_;
    std::shared_ptr<const RecordSource> source_;
    std::vector<quint32> refs_;  // over a source: each record's offset there, or kPackedBit|index
};

}  // namespace lp::records
