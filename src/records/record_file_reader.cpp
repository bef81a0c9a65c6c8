// Reading record files item by item, in pieces.
#include "records/record_file_reader.h"

#include <algorithm>
#include <cmath>

#include "platform/numeric_text.h"

namespace lp::records {
namespace {

constexpr qint64 kBlockBytes = 1 << 20;
constexpr qsizetype kLoadChunkItems = 16384;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

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

}  // namespace

RecordFileReader::RecordFileReader(const QString& path) : path_(path), file_(path) {}

bool RecordFileReader::open() {
    if (!file_.open(QIODevice::ReadOnly)) {
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

// Makes sure the buffer holds a whole line from pos_ on (up to and including its line
// end, where CR LF can be told from a lone CR) unless the file ends first.
bool RecordFileReader::ensureLine() {
    for (;;) {
        for (qsizetype i = pos_ + scanned_; i < buffer_.size(); ++i) {
            const char c = buffer_[i];
            if (c == '\n' || (c == '\r' && (i + 1 < buffer_.size() || exhausted_))) {
                scanned_ = i - pos_;
                return scanned_ <= kMaxLineBytes || failLongLine();
            }
        }
        scanned_ = buffer_.size() - pos_;
        if (scanned_ > kMaxLineBytes) {
            return failLongLine();
        }
        if (exhausted_) {
            return true;
        }
        if (pos_ > 0) {
            buffer_.remove(0, pos_);
            pos_ = 0;
        }
        const QByteArray more = file_.read(kBlockBytes);
        if (more.isEmpty()) {
            if (file_.error() != QFileDevice::NoError) {
                return fail(
                    line_, QStringLiteral("the file cannot be read (%1)").arg(file_.errorString()));
            }
            exhausted_ = true;
        }
        buffer_.append(more);
        if (scanned_ > 0 && buffer_[pos_ + scanned_ - 1] == '\r') {
            --scanned_;  // look at that CR again now that the next byte is known
        }
    }
}

QByteArrayView RecordFileReader::nextItem(qint64& startLine) {
    startLine = line_;
    // Where ensureLine() found this line's end: an item that ends at a comma leaves the
    // rest of the line known, so the next item does not search it again.
    const qsizetype lineEnd = pos_ + scanned_;
    const char* data = buffer_.constData();
    const qsizetype end = buffer_.size();
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
    return item;
}

bool RecordFileReader::handleItem(QByteArrayView item, qint64 line, RecordStore& into) {
    ++items_;
    if (item.isEmpty()) {
        return true;
    }
    const bool fixedColumns = item.contains('A') || item.contains('C');
    if (fixedColumns) {
        const qsizetype tab = item.indexOf('\t');
        if (tab < 0) {
            return fail(line, QStringLiteral("the line holds an \"A\" or a \"C\", so it is read as "
                                             "an older fixed-column line, but it has no TAB "
                                             "after its record number"));
        }
        const QByteArrayView rest = item.sliced(tab + 1);
        QByteArray dateTime = mid(rest, 0, 8).toByteArray();
        dateTime.append(mid(rest, 11, 9));
        const double level = platform::leadingNumber(QString::fromLatin1(mid(rest, 25, 4)));
        if (!into.append(item.first(tab), dateTime, oneDecimal(level))) {
            return fail(line, QStringLiteral("the file holds more text than a list can take"));
        }
        progressCount_ = items_;
        return true;
    }
    if (items_ == 1) {
        return true;  // the header line
    }
    qsizetype cuts[3];
    qsizetype from = 0;
    for (int f = 0; f < 3; ++f) {
        cuts[f] = item.indexOf('\t', from);
        if (cuts[f] < 0) {
            return fail(line, QStringLiteral("a record line needs a TAB after each of its three "
                                             "fields, and this line has %1")
                                  .arg(f == 0   ? QStringLiteral("none")
                                       : f == 1 ? QStringLiteral("only one")
                                                : QStringLiteral("only two")));
        }
        from = cuts[f] + 1;
    }
    if (!into.append(item.first(cuts[0]), item.sliced(cuts[0] + 1, cuts[1] - cuts[0] - 1),
                     item.sliced(cuts[1] + 1, cuts[2] - cuts[1] - 1))) {
        return fail(line, QStringLiteral("the file holds more text than a list can take"));
    }
    progressCount_ = items_ - 1;
    return true;
}

RecordFileReader::Status RecordFileReader::read(RecordStore& into, qsizetype maxItems) {
    if (error_) {
        return Status::Failed;
    }
    if (!file_.isOpen()) {
        return Status::End;
    }
    for (qsizetype n = 0; n < maxItems; ++n) {
        if (!ensureLine()) {
            return Status::Failed;
        }
        if (exhausted_ && pos_ >= buffer_.size()) {
            file_.close();
            return Status::End;
        }
        qint64 line = 0;
        const QByteArrayView item = nextItem(line);
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
