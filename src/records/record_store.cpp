// The packed record store.
#include "records/record_store.h"

#include <algorithm>
#include <cstring>

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
    return true;
}

bool RecordStore::append(const RecordStore& other) {
    if (!fits(other.text_.size())) {
        return false;
    }
    for (const qsizetype start : other.runStarts_) {
        runStarts_.push_back(count() + start);
    }
    const auto base = static_cast<quint32>(text_.size());
    text_.append(other.text_);
    growEnds(other.ends_.size());
    for (const quint32 end : other.ends_) {
        ends_.push_back(base + end);
    }
    return true;
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
    const auto slot = static_cast<size_t>(record * kFieldCount + static_cast<int>(field));
    const quint32 begin = slot == 0 ? 0 : ends_[slot - 1];
    return QByteArrayView(text_.constData() + begin, ends_[slot] - begin);
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
}

void RecordStore::removeAll() {
    text_.truncate(0);
    ends_.clear();
    runStarts_.clear();
}

void RecordStore::reserve(qsizetype records, qsizetype textBytes) {
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

void RecordStore::squeeze() {
    text_.squeeze();
    ends_.shrink_to_fit();
    runStarts_.shrink_to_fit();
}

qsizetype RecordStore::memoryBytes() const {
    return text_.capacity() + static_cast<qsizetype>(ends_.capacity() * sizeof(quint32)) +
           static_cast<qsizetype>(runStarts_.capacity() * sizeof(qsizetype)) +
           static_cast<qsizetype>(sizeof(*this));
}

}  // namespace lp::records
