// Writing a whole list to a record file through a temporary file.
#include "records/record_file_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <memory>

#include "records/record_format.h"

namespace lp::records {
namespace {

constexpr qsizetype kFlushBytes = 1 << 20;
constexpr qsizetype kProgressLines = 8192;

bool flush(QIODevice& out, QByteArray& pending) {
    const bool ok = out.write(pending) == pending.size();
    pending.clear();
    return ok;
}

}  // namespace

std::optional<QString> writeRecords(QIODevice& out, const RecordStore& records,
                                    const SaveProgress& progress) {
    QByteArray pending;
    pending.reserve(kFlushBytes + 256);
    pending.append(kHeaderLine);
    const qsizetype n = records.count();
    for (qsizetype i = 0; i < n; ++i) {
        appendRecordLine(pending, records.bytes(i, Field::No), records.bytes(i, Field::DateTime),
                         records.bytes(i, Field::Level));
        if (pending.size() >= kFlushBytes && !flush(out, pending)) {
            return out.errorString();
        }
        if (progress && (i + 1) % kProgressLines == 0) {
            progress(i + 1);
        }
    }
    if (!pending.isEmpty() && !flush(out, pending)) {
        return out.errorString();
    }
    if (progress) {
        progress(n);
    }
    return std::nullopt;
}

std::optional<FileError> saveRecordFile(const QString& path, const RecordStore& records,
                                        const SaveProgress& progress) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return FileError{path, 0, QStringLiteral("it is a folder, not a file")};
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
    if (auto reason = writeRecords(*file, records, progress)) {
        return FileError{path, 0, *reason};
    }
    if (auto* saveFile = dynamic_cast<QSaveFile*>(file.get())) {
        if (!saveFile->commit()) {
            return FileError{path, 0, saveFile->errorString()};
        }
    } else {
        file->close();
        if (file->error() != QFileDevice::NoError) {
            return FileError{path, 0, file->errorString()};
        }
    }
    return std::nullopt;
}

}  // namespace lp::records
