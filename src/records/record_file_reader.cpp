// Reading record files item by item, in pieces.
#include "records/record_file_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/numeric_text.h"
#include "records/record_format.h"

namespace lp::records {
namespace {

constexpr qsizetype kLoadChunkItems = 16384;
// A whole load reserves room for the file's text at once, up to this much; past it the
// store grows as it fills.
constexpr qint64 kReserveLimitBytes = qint64(256) << 20;
// Bytes of a record line as this program writes them, near enough to reserve by.
constexpr qint64 kTypicalLineBytes = 32;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// What a byte means to the one-pass scan of a line.
enum ByteClass : quint8 { kPlain, kTab, kFixedMark, kItemEnd };

constexpr std::array<quint8, 256> makeByteClasses() {
    std::array<quint8, 256> classes{};
    classes[static_cast<unsigned char>('\t')] = kTab;
    classes[static_cast<unsigned char>('A')] = kFixedMark;
    classes[static_cast<unsigned char>('C')] = kFixedMark;
    classes[static_cast<unsigned char>(',')] = kItemEnd;
    classes[static_cast<unsigned char>('\r')] = kItemEnd;
    classes[static_cast<unsigned char>('\n')] = kItemEnd;
    return classes;
}
constexpr std::array<quint8, 256> kByteClasses = makeByteClasses();

// Characters start+1 .. start+len of a text, as far as the text reaches.
QByteArrayView mid(QByteArrayView text, qsizetype start, qsizetype len) {
    if (start >= text.size()) {
        return {};
    }
    return text.sliced(start, std::min(len, text.size() - start));
}

// A number written with exactly one decimal, halves away from zero.
QByteArray oneDecimal(double value) {
    return QByteArray::number(std::round(value * 10.0) / 10.0, 'f', 1);
}

// Handles one byte of the scan that is not plain: true when it ends the item.
inline bool markByte(quint8 byteClass, qsizetype offset, int& tabCount, qsizetype* tabs,
                     bool& fixedColumns) {
    if (byteClass == kItemEnd) {
        return true;
    }
    if (byteClass == kTab) {
        if (tabCount < 3) {
            tabs[tabCount++] = offset;
        }
    } else {
        fixedColumns = true;
    }
    return false;
}

// Scans `data` up to `end` or the first item end (comma, CR, LF), noting the first
// three TABs and any "A" or "C"; returns where it stopped. Sixteen bytes are compared
// at once where the processor can: one bit mask each for item ends, TABs and the
// fixed-column marks, cut at the first item end.
const char* scanItem(const char* data, const char* end, int& tabCount, qsizetype* tabs,
                     bool& fixedColumns) {
    const char* p = data;
#ifdef __SSE2__
    const auto mask = [](__m128i bytes) { return static_cast<unsigned>(_mm_movemask_epi8(bytes)); };
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i a = _mm_set1_epi8('A');
    const __m128i c = _mm_set1_epi8('C');
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned ends =
            mask(_mm_or_si128(_mm_cmpeq_epi8(block, comma),
                              _mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf))));
        // The bytes before the first item end of the block (all of them when none).
        const unsigned before = ends != 0 ? (ends & (0u - ends)) - 1 : 0xFFFFu;
        unsigned tabBits = mask(_mm_cmpeq_epi8(block, tab)) & before;
        fixedColumns |=
            (mask(_mm_or_si128(_mm_cmpeq_epi8(block, a), _mm_cmpeq_epi8(block, c))) & before) != 0;
        for (; tabBits != 0 && tabCount < 3; tabBits &= tabBits - 1) {
            tabs[tabCount++] = p - data + __builtin_ctz(tabBits);
        }
        if (ends != 0) {
            return p + __builtin_ctz(ends);
        }
    }
#endif
    for (; p < end; ++p) {
        const quint8 byteClass = kByteClasses[static_cast<unsigned char>(*p)];
        if (byteClass != kPlain && markByte(byteClass, p - data, tabCount, tabs, fixedColumns)) {
            break;
        }
    }
    return p;
}

// Appends each record to a store; to one over the file, where the record stands in it
// when the reader took its fields as they are.
class StoreSink final : public RecordSink {
public:
    StoreSink(RecordStore& store, const RecordFileReader& reader)
        : store_(store), reader_(reader) {}
    bool take(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) override {
        return (store_.source() && reader_.recordOffset() >= 0 &&
                store_.appendFromSource(reader_.recordOffset(),
                                        no.size() + dateTime.size() + level.size())) ||
               store_.append(no, dateTime, level);
    }
    void startRun() override { store_.startRun(); }

private:
    RecordStore& store_;
    const RecordFileReader& reader_;
};

}  // namespace

RecordFileReader::RecordFileReader(const QString& path) : path_(path), file_(path) {}

bool RecordFileReader::open() {
    // Read in large blocks straight into the line buffer; no second buffer between.
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return fail(0, QStringLiteral("the file cannot be opened (%1)").arg(file_.errorString()));
    }
    return true;
}

bool RecordFileReader::fail(qint64 line, QString reason) {
    error_ = FileError{path_, line, std::move(reason)};
    file_.close();
    return false;
}

// A record line is under 100 bytes: a far longer one means this is no record file, and
// reading on would hold the whole file in memory.
bool RecordFileReader::failLongLine() {
    return fail(line_, QStringLiteral("the line is longer than %1 bytes, far longer than any "
                                      "record line")
                           .arg(kMaxLineBytes));
}

// Appends the next block of the file to the buffer, dropping what was read before;
// at the end of the file sets exhausted_.
bool RecordFileReader::refill() {
    // The buffer is allocated once: the unread part of a line (never more than
    // kMaxLineBytes and a CR) moves to its front and the next block follows it.
    if (buffer_.isEmpty()) {
        buffer_.resize(kBufferBytes);
    }
    const qsizetype kept = filled_ - pos_;
    bufferStart_ += pos_;
    if (pos_ > 0 && kept > 0) {
        std::memmove(buffer_.data(), buffer_.constData() + pos_, static_cast<size_t>(kept));
    }
    pos_ = 0;
    const qint64 got = file_.read(buffer_.data() + kept, buffer_.size() - kept);
    filled_ = kept + std::max<qint64>(got, 0);
    if (got <= 0) {
        if (got < 0 || file_.error() != QFileDevice::NoError) {
            return fail(line_,
                        QStringLiteral("the file cannot be read (%1)").arg(file_.errorString()));
        }
        exhausted_ = true;
    }
    return true;
}

// Makes sure the buffer holds a whole line from pos_ on (up to and including its line
// end, where CR LF can be told from a lone CR) unless the file ends first.
bool RecordFileReader::ensureLine() {
    for (;;) {
        const char* data = buffer_.constData();
        const qsizetype size = filled_;
        for (qsizetype i = pos_ + scanned_; i < size; ++i) {
            const char c = data[i];
            if (c == '\n' || (c == '\r' && (i + 1 < size || exhausted_))) {
                scanned_ = i - pos_;
                return scanned_ <= kMaxLineBytes || failLongLine();
            }
        }
        // A CR on the last byte read may yet end the line: it is looked at again once
        // the next byte is known, and until then it is no part of the line's length.
        scanned_ = size - pos_;
        if (scanned_ > 0 && data[size - 1] == '\r') {
            --scanned_;
        }
        if (scanned_ > kMaxLineBytes) {
            return failLongLine();
        }
        if (exhausted_) {
            return true;
        }
        if (!refill()) {
            return false;
        }
    }
}

// The common case in one pass: at the start of a line that is one plain item (no
// leading blank, no quote, no comma) whose end is in the buffer, takes that line
// whole. False, with nothing consumed, when the line needs the general path.
bool RecordFileReader::nextLineAtOnce(ScannedItem& item) {
    const char* data = buffer_.constData();
    const qsizetype size = filled_;
    if (!atLineStart_ || pos_ >= size || data[pos_] == ' ' || data[pos_] == '"') {
        return false;
    }
    const char* start = data + pos_;
    const char* limit = data + std::min(size, pos_ + kMaxLineBytes + 1);
    item.tabCount = 0;
    item.fixedColumns = false;
    const char* p = scanItem(start, limit, item.tabCount, item.tabs, item.fixedColumns);
    if (p == limit || *p == ',') {
        return false;  // the line goes on past the buffer or the longest line, or a comma
    }
    qsizetype next = p - data;
    if (*p == '\r') {
        if (next + 1 >= size) {
            return false;  // CR LF or a lone CR: the next block tells
        }
        if (data[next + 1] == '\n') {
            ++next;
        }
    }
    item.text = QByteArrayView(start, p - start);
    pos_ = next + 1;
    scanned_ = 0;
    ++line_;
    return true;
}

QByteArrayView RecordFileReader::nextItem(qint64& startLine) {
    startLine = line_;
    // Where ensureLine() found this line's end: an item that ends at a comma leaves the
    // rest of the line known, so the next item does not search it again.
    const qsizetype lineEnd = pos_ + scanned_;
    const char* data = buffer_.constData();
    const qsizetype end = filled_;
    qsizetype p = pos_;
    while (p < end && data[p] == ' ') {
        ++p;
    }
    QByteArrayView item;
    if (p < end && data[p] == '"') {
        const qsizetype start = ++p;
        while (p < end && data[p] != '"' && !isLineEnd(data[p])) {
            ++p;
        }
        quoted_ = QByteArray(data + start, p - start);
        item = quoted_;
        // Whatever follows the closing quote up to the delimiter is not part of the item.
        while (p < end && data[p] != ',' && !isLineEnd(data[p])) {
            ++p;
        }
    } else {
        const qsizetype start = p;
        while (p < end && data[p] != ',' && !isLineEnd(data[p])) {
            ++p;
        }
        item = QByteArrayView(data + start, p - start);
    }
    bool lineEnded = true;
    if (p < end) {
        if (data[p] == ',') {
            ++p;
            lineEnded = false;
        } else {
            if (data[p] == '\r' && p + 1 < end && data[p + 1] == '\n') {
                ++p;
            }
            ++p;
            ++line_;
        }
    }
    pos_ = p;
    scanned_ = lineEnded ? 0 : std::max<qsizetype>(0, lineEnd - p);
    atLineStart_ = lineEnded;
    return item;
}

// A quoted item may hold commas: every byte of it counts.
void RecordFileReader::scanWholeItem(ScannedItem& item) {
    item.tabCount = 0;
    item.fixedColumns = false;
    const QByteArrayView text = item.text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const quint8 byteClass = kByteClasses[static_cast<unsigned char>(text[i])];
        if (byteClass == kTab && item.tabCount < 3) {
            item.tabs[item.tabCount++] = i;
        }
        item.fixedColumns |= byteClass == kFixedMark;
    }
}

bool RecordFileReader::handleItem(const ScannedItem& scanned, qint64 line, RecordSink& into) {
    ++items_;
    const QByteArrayView item = scanned.text;
    if (item.isEmpty()) {
        return true;
    }
    if (scanned.fixedColumns) {
        if (scanned.tabCount == 0) {
            return fail(line, QStringLiteral("the line holds an \"A\" or a \"C\", so it is read as "
                                             "an older fixed-column line, but it has no TAB "
                                             "after its record number"));
        }
        const qsizetype tab = scanned.tabs[0];
        const QByteArrayView rest = item.sliced(tab + 1);
        QByteArray dateTime = mid(rest, 0, 8).toByteArray();
        dateTime.append(mid(rest, 11, 9));
        const double level = platform::leadingNumber(QString::fromLatin1(mid(rest, 25, 4)));
        recordOffset_ = -1;
        if (!into.take(item.first(tab), dateTime, oneDecimal(level))) {
            return fail(line, QStringLiteral("the file holds more text than a list can take"));
        }
        progressCount_ = items_;
        return true;
    }
    if (items_ == 1) {
        return true;  // the header line
    }
    if (item == kHeaderText) {
        into.startRun();
        progressCount_ = items_ - 1;
        return true;
    }
    if (scanned.tabCount == 2 && !atLineStart_) {
        // The item ended at a comma inside the level: a decimal comma, as a spreadsheet
        // or a hand edit in some locales writes it.
        const QByteArrayView before = item.sliced(scanned.tabs[1] + 1);
        qsizetype end = pos_;
        while (end < filled_ && buffer_[end] != '\t' && buffer_[end] != ',' &&
               !isLineEnd(buffer_[end])) {
            ++end;
        }
        const QString level = QString::fromLatin1(before) + u',' +
                              QString::fromLatin1(buffer_.constData() + pos_, end - pos_);
        return fail(line, QStringLiteral("the level \"%1\" is written with a decimal comma; a "
                                         "record line takes a decimal point (\"%2\")")
                              .arg(level, QString(level).replace(u',', u'.')));
    }
    if (scanned.tabCount < 3) {
        return fail(line, QStringLiteral("a record line needs a TAB after each of its three "
                                         "fields, and this line has %1")
                              .arg(scanned.tabCount == 0   ? QStringLiteral("none")
                                   : scanned.tabCount == 1 ? QStringLiteral("only one")
                                                           : QStringLiteral("only two")));
    }
    const qsizetype* cuts = scanned.tabs;
    const char* buffer = buffer_.constData();
    const bool inBuffer = item.data() >= buffer && item.data() < buffer + filled_;
    recordOffset_ = inBuffer ? bufferStart_ + (item.data() - buffer) : -1;
    if (!into.take(item.first(cuts[0]), item.sliced(cuts[0] + 1, cuts[1] - cuts[0] - 1),
                   item.sliced(cuts[1] + 1, cuts[2] - cuts[1] - 1))) {
        return fail(line, QStringLiteral("the file holds more text than a list can take"));
    }
    progressCount_ = items_ - 1;
    return true;
}

RecordFileReader::Status RecordFileReader::read(RecordStore& into, qsizetype maxItems) {
    StoreSink sink(into, *this);
    return read(sink, maxItems);
}

RecordFileReader::Status RecordFileReader::read(RecordSink& into, qsizetype maxItems) {
    if (error_) {
        return Status::Failed;
    }
    if (!file_.isOpen()) {
        return Status::End;
    }
    ScannedItem item;
    for (qsizetype n = 0; n < maxItems; ++n) {
        qint64 line = line_;
        if (!nextLineAtOnce(item)) {
            if (!ensureLine()) {
                return Status::Failed;
            }
            if (exhausted_ && pos_ >= filled_) {
                file_.close();
                return Status::End;
            }
            item.text = nextItem(line);
            scanWholeItem(item);
        }
        itemLine_ = line;
        if (!handleItem(item, line, into)) {
            return Status::Failed;
        }
    }
    return Status::More;
}

LoadResult loadRecordFile(const QString& path, RecordStore& into,
                          const std::function<void(qint64)>& progress) {
    const qsizetype before = into.count();
    RecordFileReader reader(path);
    LoadResult result;
    if (reader.open()) {
        // The records' text is never longer than the file: one allocation, no copying
        // while the store grows.
        const qint64 room = std::min(reader.fileSize(), kReserveLimitBytes);
        into.reserve(room / kTypicalLineBytes, room);
        RecordFileReader::Status status;
        do {
            status = reader.read(into, kLoadChunkItems);
            if (progress) {
                progress(reader.progressCount());
            }
        } while (status == RecordFileReader::Status::More);
    }
    result.records = into.count() - before;
    result.error = reader.error();
    return result;
}

}  // namespace lp::records
