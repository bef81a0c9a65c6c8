// Writing a whole list to a record file through a temporary file.
#include "records/record_file_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <memory>

#include "platform/file_identity.h"
#include "platform/write_failure.h"
#include "platform/writer_lock.h"
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
    if (!platform::isSameFile(path, source)) {
        return std::nullopt;
    }
    return FileError{path, 0,
                     QStringLiteral("it is the file the records come from (%1); choose another "
                                    "name")
                         .arg(source)};
}

std::optional<FileError> replaceFile(const QString& path, const WriteContent& write,
                                     const QString& source) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return FileError{path, 0, QStringLiteral("it is a folder, not a file")};
    }
    if (auto refused = refuseWritingOverSource(path, source)) {
        return refused;
    }
    if (platform::heldByAWriter(path)) {
        return FileError{path, 0, kHeldByRecording};
    }
    // Devices and pipes cannot be replaced through a temporary file; they are written
    // directly.
    const bool special = info.exists() && !info.isFile();
    std::unique_ptr<QFileDevice> file;
    if (special) {
        file = std::make_unique<QFile>(path);
    } else {
        auto saveFile = std::make_unique<QSaveFile>(path);
        // A writable file in a folder where no new file may be made is written in place.
        saveFile->setDirectWriteFallback(true);
        file = std::move(saveFile);
    }
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return FileError{path, 0, file->errorString()};
    }
    auto* saveFile = dynamic_cast<QSaveFile*>(file.get());
    std::optional<QString> reason = write(*file);
    // A short content reaches the disk only here, and a full disk shows only here: the
    // old file is replaced once every byte of the new one is known to be written.
    if (!reason && !file->flush()) {
        reason = file->errorString();
    }
    if (reason) {
        if (saveFile) {
            saveFile->cancelWriting();
        }
        return FileError{path, 0, platform::writeFailureText(*reason)};
    }
    if (saveFile) {
        if (!saveFile->commit()) {
            return FileError{path, 0, platform::writeFailureText(saveFile->errorString())};
        }
    } else {
        file->close();
        if (file->error() != QFileDevice::NoError) {
            return FileError{path, 0, platform::writeFailureText(file->errorString())};
        }
    }
    return std::nullopt;
}

std::optional<FileError> saveRecordFile(const QString& path, const RecordStore& records,
                                        const SaveProgress& progress) {
    return replaceFile(path, [&](QIODevice& out) { return writeRecords(out, records, progress); });
}

}  // namespace lp::records
