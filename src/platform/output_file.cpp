#include "platform/output_file.h"

#include <QFile>
#include <QSaveFile>

#include "platform/file_identity.h"
#include "platform/write_failure.h"
#include "platform/writer_lock.h"

namespace lp::platform {

std::optional<QString> sameAsInput(const QString& path, const QStringList& inputs) {
    for (const QString& input : inputs) {
        if (isSameFile(path, input)) {
            return QStringLiteral(
                       "it is the file the records come from (%1); choose another "
                       "name")
                .arg(input);
        }
    }
    return std::nullopt;
}

std::variant<OutputWay, QString> judgeOutput(const QString& path, const QStringList& inputs) {
    if (auto same = sameAsInput(path, inputs)) {
        return *same;
    }
    // Through symbolic links: what the name leads to is what gets written. A name that
    // leads nowhere yet is a new file.
    switch (fileKind(path)) {
        case FileKind::None:
            return OutputWay::Replace;
        case FileKind::Regular:
            if (heldByAWriter(path)) {
                return kHeldByRecording;
            }
            return OutputWay::Replace;
        case FileKind::Pipe:
        case FileKind::CharacterDevice:
            return OutputWay::Direct;
        case FileKind::Folder:
            return QStringLiteral("it is a folder, not a file");
        case FileKind::DiskDevice:
            return QStringLiteral("it is a disk device, not a file; choose a file name");
        case FileKind::Socket:
            return QStringLiteral("it is a socket, not a file; choose a file name");
        case FileKind::Other:
            break;
    }
    return QStringLiteral("it is no file, pipe or device that can be written");
}

OutputFile::OutputFile(QString path, QStringList inputs, bool inPlaceFallback)
    : path_(std::move(path)), inputs_(std::move(inputs)), inPlaceFallback_(inPlaceFallback) {}

// An uncommitted save file removes its temporary file.
OutputFile::~OutputFile() {
    cancel();
}

bool OutputFile::fail(const QString& reason) {
    if (reason_.isEmpty()) {
        reason_ = reason;
    }
    return false;
}

bool OutputFile::open() {
    const std::variant<OutputWay, QString> judged = judgeOutput(path_, inputs_);
    if (const auto* refused = std::get_if<QString>(&judged)) {
        return fail(*refused);
    }
    way_ = std::get<OutputWay>(judged);
    if (way_ == OutputWay::Direct) {
        file_ = std::make_unique<QFile>(path_);
    } else {
        auto saveFile = std::make_unique<QSaveFile>(path_);
        saveFile->setDirectWriteFallback(inPlaceFallback_);
        file_ = std::move(saveFile);
    }
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QString reason = file_->errorString();
        file_.reset();
        return fail(reason);
    }
    return true;
}

bool OutputFile::commit() {
    if (!file_ || !file_->isOpen()) {
        return fail(QStringLiteral("the file is not open"));
    }
    // The last bytes reach the file only here, and a full disk may show only here.
    if (file_->error() != QFileDevice::NoError || !file_->flush()) {
        const QString reason = file_->errorString();
        cancel();
        return fail(writeFailureText(reason));
    }
    if (auto* saveFile = qobject_cast<QSaveFile*>(file_.get())) {
        if (!saveFile->commit()) {
            return fail(writeFailureText(saveFile->errorString()));
        }
        return true;
    }
    file_->close();
    if (file_->error() != QFileDevice::NoError) {
        return fail(writeFailureText(file_->errorString()));
    }
    return true;
}

void OutputFile::cancel() {
    if (!file_ || !file_->isOpen()) {
        return;
    }
    if (auto* saveFile = qobject_cast<QSaveFile*>(file_.get())) {
        saveFile->cancelWriting();  // its temporary file goes with it
    } else {
        file_->close();
    }
}

}  // namespace lp::platform
