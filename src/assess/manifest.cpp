#include "assess/manifest.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

namespace lp::assess {
namespace {

const QString kProgram = QStringLiteral("program");
const QString kVersion = QStringLiteral("version");
const QString kCommandLine = QStringLiteral("command_line");
const QString kOptions = QStringLiteral("options");
const QString kFiles = QStringLiteral("files");
const QString kPath = QStringLiteral("path");
const QString kSize = QStringLiteral("size");
const QString kSha256 = QStringLiteral("sha256");

// The size and hash of a file as it is now; why not, when it cannot be read.
std::variant<ManifestFile, QString> hashedFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        return QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    }
    return ManifestFile{QFileInfo(path).absoluteFilePath(), file.size(),
                        QString::fromLatin1(hash.result().toHex())};
}

}  // namespace

std::variant<std::vector<ManifestFile>, QString> hashedFiles(const QStringList& paths) {
    std::vector<ManifestFile> files;
    for (const QString& path : paths) {
        std::variant<ManifestFile, QString> file = hashedFile(path);
        if (const QString* failure = std::get_if<QString>(&file)) {
            return *failure;
        }
        files.push_back(std::get<ManifestFile>(std::move(file)));
    }
    return files;
}

QJsonObject manifestJson(const Manifest& manifest) {
    QJsonArray files;
    for (const ManifestFile& file : manifest.files) {
        files.append(QJsonObject{{kPath, file.path}, {kSize, file.size}, {kSha256, file.sha256}});
    }
    return {{kProgram, manifest.program},
            {kVersion, manifest.version},
            {kCommandLine, QJsonArray::fromStringList(manifest.commandLine)},
            {kOptions, manifest.options},
            {kFiles, files}};
}

std::optional<Manifest> manifestOfJson(const QJsonObject& object) {
    if (!object.value(kProgram).isString() || !object.value(kFiles).isArray()) {
        return std::nullopt;
    }
    Manifest manifest;
    manifest.program = object.value(kProgram).toString();
    manifest.version = object.value(kVersion).toString();
    for (const QJsonValue& word : object.value(kCommandLine).toArray()) {
        manifest.commandLine << word.toString();
    }
    manifest.options = object.value(kOptions).toObject();
    for (const QJsonValue& value : object.value(kFiles).toArray()) {
        const QJsonObject file = value.toObject();
        if (!file.value(kPath).isString() || !file.value(kSha256).isString()) {
            return std::nullopt;
        }
        manifest.files.push_back({file.value(kPath).toString(),
                                  qint64(file.value(kSize).toDouble()),
                                  file.value(kSha256).toString()});
    }
    return manifest;
}

std::vector<FileCheck> checkFiles(const Manifest& manifest, const QStringList& paths) {
    std::vector<FileCheck> checks;
    for (const ManifestFile& listed : manifest.files) {
        QString path = listed.path;
        if (!paths.isEmpty()) {
            const QString name = QFileInfo(listed.path).fileName();
            path.clear();
            for (const QString& given : paths) {
                if (QFileInfo(given).fileName() == name) {
                    path = given;
                    break;
                }
            }
        }
        FileCheck check{path.isEmpty() ? listed.path : path, FileMatch::Missing};
        if (!path.isEmpty()) {
            const std::variant<ManifestFile, QString> now = hashedFile(path);
            if (const ManifestFile* file = std::get_if<ManifestFile>(&now)) {
                check.match = file->sha256 == listed.sha256 && file->size == listed.size
                                  ? FileMatch::Matches
                                  : FileMatch::Differs;
            }
        }
        checks.push_back(check);
    }
    return checks;
}

}  // namespace lp::assess
