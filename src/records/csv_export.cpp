// Writing records as CSV, field by field on the store's bytes.
#include "records/csv_export.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/iso_time.h"
#include "records/level_marks.h"
#include "records/record_file_writer.h"
#include "records/record_stamp.h"

namespace lp::records {
namespace {

constexpr qsizetype kFlushBytes = 1 << 20;
constexpr qsizetype kReadItems = 16384;

// What a byte means to a CSV field.
enum : quint8 { kSpace = 1, kQuoted = 2, kHigh = 4, kFormula = 8 };

constexpr std::array<quint8, 256> makeByteClasses() {
    std::array<quint8, 256> classes{};
    // The characters QChar::isSpace() finds in Latin-1.
    for (const unsigned char c : {'\t', '\n', '\v', '\f', '\r', ' ', '\x85', '\xa0'}) {
        classes[c] |= kSpace;
    }
    for (const unsigned char c : {',', '"', '\n', '\r'}) {
        classes[c] |= kQuoted;
    }
    // What a spreadsheet takes for the start of a formula.
    for (const unsigned char c : {'=', '+', '-', '@', '\t', '\r'}) {
        classes[c] |= kFormula;
    }
    for (int c = 0x80; c < 0x100; ++c) {
        classes[static_cast<size_t>(c)] |= kHigh;
    }
    return classes;
}
constexpr std::array<quint8, 256> kByteClasses = makeByteClasses();

quint8 classOf(char c) {
    return kByteClasses[static_cast<unsigned char>(c)];
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The most bytes a field of `n` bytes takes in the CSV: each byte may become two
// (UTF-8) and each of those two again (a doubled quote), with the quotes around and
// the quote mark before a formula.
constexpr qsizetype fieldBound(qsizetype n) {
    return 4 * n + 3;
}

// Whether the text is digits with at most one point among them, after a digit: a
// plain level that is its own number.
bool isPlainNumber(QByteArrayView text) {
    if (text.isEmpty() || !isDigit(text.front())) {
        return false;
    }
    int points = 0;
    bool other = false;
    for (const char c : text) {
        points += c == '.';
        other |= c != '.' && !isDigit(c);
    }
    return !other && points <= 1;
}

// The characters of a plain level's number ("+65.35 dB" gives "+65.35"), or the text
// itself when it carries no plain level.
QByteArrayView levelField(QByteArrayView text) {
    if (!carriesLevel(QLatin1StringView(text))) {
        return text;
    }
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    const qsizetype start = i;
    if (i < text.size() && text[i] == '+') {
        ++i;
    }
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
    }
    return text.sliced(start, i - start);
}

// Whether the text is a number as a spreadsheet reads one: a sign, digits, and a point
// with more digits ("-30.0", "+65.35", "-.5").
bool isSignedNumber(QByteArrayView text) {
    qsizetype i = text.startsWith('-') || text.startsWith('+') ? 1 : 0;
    qsizetype digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            ++digits;
        }
    }
    return digits > 0 && i == text.size();
}

// A text a spreadsheet would run as a formula (it starts with "=", "+", "-", "@", a TAB
// or a CR) and that is no number and no mark of dashes alone (a level below the range).
bool runsAsFormula(QByteArrayView text) {
    if (text.isEmpty() || (classOf(text.front()) & kFormula) == 0) {
        return false;
    }
    const bool dashes = text.count('-') == text.size();
    return !dashes && !isSignedNumber(text);
}

// Writes one Latin-1 character as UTF-8.
char* putUtf8(char* out, char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
        *out++ = c;
    } else {
        *out++ = static_cast<char>(0xC0 | (u >> 6));
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
}

// Writes a field of Latin-1 text, quoted where it must be, as UTF-8; at most
// fieldBound(text.size()) bytes. A text that would run as a formula is quoted behind a
// single quote, which the spreadsheet shows and which keeps it text.
char* putField(char* out, QByteArrayView text) {
    // Copied as it stands while looked at, which is all a field usually needs.
    quint8 seen = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[i] = text[i];
        seen |= classOf(text[i]);
    }
    const bool formula = runsAsFormula(text);
    const bool quote =
        formula || (seen & kQuoted) != 0 ||
        (!text.isEmpty() && ((classOf(text.front()) | classOf(text.back())) & kSpace));
    if (!quote && (seen & kHigh) == 0) {
        return out + text.size();
    }
    if (quote) {
        *out++ = '"';
    }
    if (formula) {
        *out++ = '\'';
    }
    for (const char c : text) {
        if (c == '"') {
            *out++ = '"';
        }
        out = putUtf8(out, c);
    }
    if (quote) {
        *out++ = '"';
    }
    return out;
}

// Any other text the date and time parsers take (blanks around the parts), else the
// text as it stands.
QByteArray otherStamp(QByteArrayView latin1) {
    const QString dateTime = QString::fromLatin1(latin1);
    const QStringView trimmed = QStringView(dateTime).trimmed();
    const qsizetype space = trimmed.indexOf(u' ');
    if (space > 0) {
        const QDate date =
            QDate::fromString(trimmed.left(space).toString(), QStringLiteral("yyyy/MM/dd"));
        const QTime time = QTime::fromString(trimmed.mid(space + 1).trimmed().toString(),
                                             QStringLiteral("hh:mm:ss"));
        if (date.isValid() && time.isValid()) {
            return (date.toString(QStringLiteral("yyyy-MM-dd")) + u'T' +
                    time.toString(QStringLiteral("HH:mm:ss")))
                .toLatin1();
        }
    }
    return latin1.toByteArray();
}

// The most bytes the CSV line of a record takes. The stamp's field is the text or the
// 19 characters of its ISO form and its offset.
qsizetype lineBound(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) {
    return fieldBound(no.size()) + fieldBound(std::max<qsizetype>(dateTime.size(), 25)) +
           fieldBound(level.size()) + 4;
}

// Writes the CSV line of a record, at most lineBound() bytes; a valid stamp with the
// UTC offset of local time then when `stamps` is given, which is fed every stamp in
// record order.
char* putLine(char* out, QByteArrayView no, QByteArrayView dateTime, QByteArrayView level,
              StampReader* stamps = nullptr) {
    char* p = putField(out, no);
    *p++ = ',';
    const std::optional<StampTime> time = stamps != nullptr ? stamps->next(dateTime) : std::nullopt;
    if (char* stamp = putIsoStamp(p, dateTime)) {
        p = time ? platform::putUtcOffset(stamp, time->offset) : stamp;
    } else {
        p = putField(p, otherStamp(dateTime));
    }
    *p++ = ',';
    if (isPlainNumber(level)) {  // the common case, no character of which needs care
        std::memcpy(p, level.data(), static_cast<size_t>(level.size()));
        p += level.size();
    } else {
        p = putField(p, levelField(level));
    }
    *p++ = '\r';
    *p++ = '\n';
    return p;
}

// Writes each record it is handed as a CSV line, through a buffer of a megabyte.
class CsvSink final : public RecordSink {
public:
    explicit CsvSink(QIODevice& out, CsvTimes times = CsvTimes::Local)
        : out_(out), buffer_(kFlushBytes), withOffsets_(times == CsvTimes::WithOffset) {
        std::memcpy(buffer_.data(), kCsvHeader.data(), static_cast<size_t>(kCsvHeader.size()));
        used_ = kCsvHeader.size();
    }
    bool take(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) override {
        const qsizetype bound = lineBound(no, dateTime, level);
        if (used_ + bound > static_cast<qsizetype>(buffer_.size())) {
            if (!flushed()) {
                return false;
            }
            buffer_.resize(std::max(buffer_.size(), static_cast<size_t>(bound)));
        }
        used_ = putLine(buffer_.data() + used_, no, dateTime, level,
                        withOffsets_ ? &stamps_ : nullptr) -
                buffer_.data();
        ++records_;
        return true;
    }
    // Writes what is left; the reason when a write failed.
    std::optional<QString> finish() {
        if (!failed_ && used_ > 0) {
            (void)flushed();
        }
        return failed_ ? std::optional<QString>(out_.errorString()) : std::nullopt;
    }
    [[nodiscard]] bool failed() const { return failed_; }
    [[nodiscard]] qsizetype records() const { return records_; }

private:
    bool flushed() {
        failed_ = out_.write(buffer_.data(), used_) != used_;
        used_ = 0;
        return !failed_;
    }

    QIODevice& out_;
    std::vector<char> buffer_;
    qsizetype used_ = 0;
    qsizetype records_ = 0;
    bool failed_ = false;
    bool withOffsets_;
    StampReader stamps_;
};

}  // namespace

void appendCsvField(QByteArray& out, QByteArrayView latin1) {
    const qsizetype at = out.size();
    out.resize(at + fieldBound(latin1.size()));
    out.truncate(putField(out.data() + at, latin1) - out.constData());
}

QByteArray csvRow(std::span<const QByteArray> fields) {
    QByteArray line;
    for (const QByteArray& field : fields) {
        if (!line.isEmpty()) {
            line += ',';
        }
        appendCsvField(line, field);
    }
    return line + "\r\n";
}

void appendCsvLine(QByteArray& out, QByteArrayView no, QByteArrayView dateTime,
                   QByteArrayView level) {
    const qsizetype at = out.size();
    out.resize(at + lineBound(no, dateTime, level));
    out.truncate(putLine(out.data() + at, no, dateTime, level) - out.constData());
}

QByteArray csvOf(const RecordStore& records) {
    QByteArray csv(kCsvHeader.data(), kCsvHeader.size());
    for (qsizetype i = 0; i < records.count(); ++i) {
        appendCsvLine(csv, records.bytes(i, Field::No), records.bytes(i, Field::DateTime),
                      records.bytes(i, Field::Level));
    }
    return csv;
}

std::optional<FileError> writeCsvFile(const QString& path, const RecordStore& records,
                                      const QString& source) {
    return replaceFile(
        path,
        [&records](QIODevice& out) -> std::optional<QString> {
            CsvSink sink(out);
            for (qsizetype i = 0; i < records.count(); ++i) {
                if (!sink.take(records.bytes(i, Field::No), records.bytes(i, Field::DateTime),
                               records.bytes(i, Field::Level))) {
                    break;
                }
            }
            return sink.finish();
        },
        source);
}

namespace {

// The CSV of the open reader's records into `out`; why it stopped.
std::optional<QString> exportRecords(RecordFileReader& reader, QIODevice& out, LoadResult& load,
                                     CsvTimes times) {
    CsvSink sink(out, times);
    RecordFileReader::Status status;
    do {
        status = reader.read(sink, kReadItems);
    } while (status == RecordFileReader::Status::More);
    load.records = sink.records();
    if (sink.failed()) {
        return sink.finish();
    }
    if (status == RecordFileReader::Status::Failed) {
        load.error = reader.error();
        // Into a stream the lines read so far go out; a file is dropped whole anyway.
        (void)sink.finish();
        return QStringLiteral("the record file could not be read");
    }
    return sink.finish();
}

}  // namespace

CsvExport exportRecordFileTo(const QString& recordFile, QIODevice& out, CsvTimes times) {
    CsvExport result;
    RecordFileReader reader(recordFile);
    if (!reader.open()) {
        result.load.error = reader.error();
        return result;
    }
    if (const std::optional<QString> stopped = exportRecords(reader, out, result.load, times);
        stopped && !result.load.error) {
        result.written = FileError{QStringLiteral("standard output"), 0, *stopped};
    }
    return result;
}

CsvExport exportRecordFile(const QString& recordFile, const QString& csvPath, CsvTimes times) {
    CsvExport result;
    RecordFileReader reader(recordFile);
    if (!reader.open()) {
        result.load.error = reader.error();
        return result;
    }
    result.written = replaceFile(
        csvPath, [&](QIODevice& out) { return exportRecords(reader, out, result.load, times); },
        recordFile);
    if (result.load.error) {
        result.written.reset();  // nothing was written because the reading stopped
    }
    return result;
}

}  // namespace lp::records
