// The packed record store.
#include "records/record_store.h"

#include <algorithm>
#include <cstring>

#include "records/record_format.h"

namespace lp::records {

bool RecordStore::append(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) {
    const qsizetype bytes = no.size() + dateTime.size() + level.size();
    if (!fits(bytes)) {
        return false;
    }
    // One growth check and three copies: a load appends hundreds of thousands of these.
    const qsizetype start = text_.size();
    if (start + bytes > text_.capacity()) {
        text_.reserve(std::max(start + bytes, 2 * text_.capacity()));
    }
    text_.resize(start + bytes);
    char* out = text_.data() + start;
    for (const QByteArrayView field : {no, dateTime, level}) {
        if (!field.isEmpty()) {
            std::memcpy(out, field.data(), static_cast<size_t>(field.size()));
        }
        out += field.size();
        ends_.push_back(static_cast<quint32>(out - text_.constData()));
    }
    referPacked();
    return true;
}

bool RecordStore::append(QStringView no, QStringView dateTime, QStringView level) {
    if (!fits(no.size() + dateTime.size() + level.size())) {
        return false;
    }
    appendLatin1(no);
    closeField();
    appendLatin1(dateTime);
    closeField();
    appendLatin1(level);
    closeField();
    referPacked();
    return true;
}

bool RecordStore::append(const RecordStore& other) {
    const bool sameSource =
        other.source_ == source_ || (other.source_ && !source_ && isEmpty() && ends_.empty());
    if (other.source_ && !sameSource) {
        // Over another file (or after records of no file): copy the text.
        qsizetype bytes = 0;
        for (qsizetype i = 0; i < other.count(); ++i) {
            for (int f = 0; f < kFieldCount; ++f) {
                bytes += other.bytes(i, static_cast<Field>(f)).size();
            }
        }
        if (!fits(bytes)) {
            return false;
        }
        for (const qsizetype start : other.runStarts_) {
            runStarts_.push_back(count() + start);
        }
        for (qsizetype i = 0; i < other.count(); ++i) {
            append(other.bytes(i, Field::No), other.bytes(i, Field::DateTime),
                   other.bytes(i, Field::Level));
        }
        return true;
    }
    if (!fits(other.text_.size())) {
        return false;
    }
    for (const qsizetype start : other.runStarts_) {
        runStarts_.push_back(count() + start);
    }
    const qsizetype packedBase = packedCount();
    const auto base = static_cast<quint32>(text_.size());
    text_.append(other.text_);
    growEnds(other.ends_.size());
    for (const quint32 end : other.ends_) {
        ends_.push_back(base + end);
    }
    if (other.source_) {
        source_ = other.source_;
        growRefs(other.refs_.size());
        for (const quint32 ref : other.refs_) {
            refs_.push_back((ref & kPackedBit) != 0
                                ? kPackedBit |
                                      static_cast<quint32>(packedBase + (ref & ~kPackedBit))
                                : ref);
        }
    } else if (source_) {
        growRefs(static_cast<size_t>(other.count()));
        for (qsizetype i = 0; i < other.count(); ++i) {
            refs_.push_back(kPackedBit | static_cast<quint32>(packedBase + i));
        }
    }
    return true;
}

void RecordStore::useSource(std::shared_ptr<const RecordSource> source) {
    if (isEmpty() && ends_.empty()) {
        source_ = std::move(source);
        refs_.clear();
    }
}

bool RecordStore::appendFromSource(qint64 offset, qsizetype fieldBytes) {
    if (!source_ || offset < 0 || offset >= kPackedBit ||
        offset + fieldBytes + kFieldCount > source_->size()) {
        return false;
    }
    refs_.push_back(static_cast<quint32>(offset));
    return true;
}

void RecordStore::referPacked() {
    if (source_) {
        refs_.push_back(kPackedBit | static_cast<quint32>(packedCount() - 1));
    }
}

void RecordStore::appendLatin1(QStringView text) {
    const qsizetype start = text_.size();
    text_.resize(start + text.size());
    char* out = text_.data() + start;
    for (const QChar c : text) {
        *out++ = c.unicode() < 0x100 ? static_cast<char>(c.unicode()) : '?';
    }
}

QByteArrayView RecordStore::bytes(qsizetype record, Field field) const {
    if (source_) {
        const quint32 ref = refs_[static_cast<size_t>(record)];
        return (ref & kPackedBit) != 0 ? packedBytes(ref & ~kPackedBit, field)
                                       : sourceBytes(ref, field);
    }
    return packedBytes(record, field);
}

QByteArrayView RecordStore::packedBytes(qsizetype packed, Field field) const {
    const auto slot = static_cast<size_t>(packed * kFieldCount + static_cast<int>(field));
    const quint32 begin = slot == 0 ? 0 : ends_[slot - 1];
    return QByteArrayView(text_.constData() + begin, ends_[slot] - begin);
}

// The field cut from the source: the pieces before the first three TABs from `offset`.
QByteArrayView RecordStore::sourceBytes(quint32 offset, Field field) const {
    const QByteArrayView all = source_->bytes();
    const char* end = all.data() + all.size();
    const char* p = all.data() + offset;
    for (int f = 0;; ++f) {
        const auto* tab =
            static_cast<const char*>(std::memchr(p, kFieldEnd, static_cast<size_t>(end - p)));
        if (tab == nullptr) {
            tab = end;
        }
        if (f == static_cast<int>(field)) {
            return QByteArrayView(p, tab - p);
        }
        if (tab == end) {
            return {};
        }
        p = tab + 1;
    }
}

QString RecordStore::text(qsizetype record, Field field) const {
    return QString::fromLatin1(bytes(record, field));
}

Record RecordStore::record(qsizetype index) const {
    return {text(index, Field::No), text(index, Field::DateTime), text(index, Field::Level)};
}

void RecordStore::clear() {
    text_.clear();
    ends_.clear();
    ends_.shrink_to_fit();
    runStarts_.clear();
    runStarts_.shrink_to_fit();
    source_.reset();
    refs_.clear();
    refs_.shrink_to_fit();
}

void RecordStore::removeAll() {
    text_.truncate(0);
    ends_.clear();
    runStarts_.clear();
    refs_.clear();
}

void RecordStore::reserve(qsizetype records, qsizetype textBytes) {
    if (source_) {
        growRefs(static_cast<size_t>(records));
        return;
    }
    const qsizetype text = text_.size() + textBytes;
    if (text > text_.capacity()) {
        text_.reserve(std::max(text, 2 * text_.capacity()));
    }
    growEnds(static_cast<size_t>(records * kFieldCount));
}

// Room for `more` field ends. The room at least doubles when it grows: a load appends
// piece after piece, and growing by each piece alone would copy every offset again
// at every piece.
void RecordStore::growEnds(size_t more) {
    const size_t needed = ends_.size() + more;
    if (needed > ends_.capacity()) {
        ends_.reserve(std::max(needed, 2 * ends_.capacity()));
    }
}

void RecordStore::growRefs(size_t more) {
    const size_t needed = refs_.size() + more;
    if (needed > refs_.capacity()) {
        refs_.reserve(std::max(needed, 2 * refs_.capacity()));
    }
}

void RecordStore::squeeze() {
    text_.squeeze();
    ends_.shrink_to_fit();
    runStarts_.shrink_to_fit();
    refs_.shrink_to_fit();
}

qsizetype RecordStore::memoryBytes() const {
    return text_.capacity() + static_cast<qsizetype>(ends_.capacity() * sizeof(quint32)) +
           static_cast<qsizetype>(runStarts_.capacity() * sizeof(qsizetype)) +
           static_cast<qsizetype>(refs_.capacity() * sizeof(quint32)) +
           static_cast<qsizetype>(sizeof(*this));
}

}  // namespace lp::records
