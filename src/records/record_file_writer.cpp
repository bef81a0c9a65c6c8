// Writing a whole list to a record file through a temporary file.
#include "records/record_file_writer.h"

#include <QFileDevice>

#include "platform/output_file.h"
#include "platform/write_failure.h"
#include "records/record_format.h"

namespace lp::records {
namespace {

constexpr qsizetype kFlushBytes = 1 << 20;
constexpr qsizetype kProgressLines = 8192;

bool flush(QIODevice& out, QByteArray& pending) {
    const bool ok = out.write(pending) == pending.size();
    pending.truncate(0);  // the room stays for the next megabyte
    return ok;
}

}  // namespace

std::optional<QString> writeRecords(QIODevice& out, const RecordStore& records,
                                    const SaveProgress& progress) {
    QByteArray pending;
    pending.reserve(kFlushBytes + 256);
    pending.append(kHeaderLine);
    const qsizetype n = records.count();
    const std::vector<qsizetype>& runStarts = records.runStarts();
    auto nextRun = runStarts.begin();
    for (qsizetype i = 0; i < n; ++i) {
        for (; nextRun != runStarts.end() && *nextRun == i; ++nextRun) {
            pending.append(kHeaderLine);
        }
        appendRecordLine(pending, records.bytes(i, Field::No), records.bytes(i, Field::DateTime),
                         records.bytes(i, Field::Level));
        if (pending.size() >= kFlushBytes && !flush(out, pending)) {
            return out.errorString();
        }
        if (progress && (i + 1) % kProgressLines == 0) {
            progress(i + 1);
        }
    }
    for (; nextRun != runStarts.end(); ++nextRun) {
        pending.append(kHeaderLine);  // runs that end the file without a record
    }
    if (!pending.isEmpty() && !flush(out, pending)) {
        return out.errorString();
    }
    if (progress) {
        progress(n);
    }
    return std::nullopt;
}

std::optional<FileError> refuseWritingOverSource(const QString& path, const QString& source) {
    if (const std::optional<QString> same = platform::sameAsInput(path, {source})) {
        return FileError{path, 0, *same};
    }
    return std::nullopt;
}

std::optional<FileError> replaceFile(const QString& path, const WriteContent& write,
                                     const QString& source) {
    // A writable file in a folder where no new file may be made is written in place.
    platform::OutputFile file(path, source.isEmpty() ? QStringList() : QStringList{source}, true);
    if (!file.open()) {
        return FileError{path, 0, file.reason()};
    }
    if (const std::optional<QString> reason = write(file.device())) {
        file.cancel();
        return FileError{path, 0, platform::writeFailureText(*reason)};
    }
    // A short content reaches the disk only here, and a full disk shows only here: the
    // old file is replaced once every byte of the new one is known to be written.
    if (!file.commit()) {
        return FileError{path, 0, file.reason()};
    }
    return std::nullopt;
}

std::optional<FileError> saveRecordFile(const QString& path, const RecordStore& records,
                                        const SaveProgress& progress, const QString& source) {
    return replaceFile(
        path, [&](QIODevice& out) { return writeRecords(out, records, progress); }, source);
}

}  // namespace lp::records
