#include "remote/meta_lines.h"
#include "remote/cursor_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace lp::remote {
namespace {

const QString kFiles = QStringLiteral("files");
const QString kFile = QStringLiteral("file");
const QString kLines = QStringLiteral("lines");
const QString kBytes = QStringLiteral("bytes");
const QString kDevice = QStringLiteral("device");
const QString kInode = QStringLiteral("inode");

// A JSON number that is a whole number of 0 or more (kept exactly: an inode may need
// all 64 bits).
std::optional<qint64> countOf(const QJsonValue& value) {
    const qint64 n = value.toInteger(-1);
    if (!value.isDouble() || n < 0 || QJsonValue(n) != value) {
        return std::nullopt;
    }
    return n;
}

}  // namespace

QByteArray metaMessage(const QString& recordFile, qint64 metaLine, const QByteArray& line) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    QJsonObject message{{QStringLiteral("file"), QFileInfo(recordFile).fileName()},
                        {QStringLiteral("meta_line"), metaLine}};
    if (error.error == QJsonParseError::NoError && doc.isObject()) {
        message.insert(QStringLiteral("meta"), doc.object());
    } else {
        message.insert(QStringLiteral("meta"), QJsonValue::Null);
        message.insert(QStringLiteral("text"), QString::fromUtf8(line));
    }
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

QString metaCursorPath(const QString& recordPath) {
    return recordPath + QStringLiteral(".meta-published");
}

MetaCursorStart loadMetaCursor(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    const auto lost = [&path](const QString& why) {
        return MetaCursorStart{{},
                               QStringLiteral("the metadata cursor %1 cannot be read (%2): the "
                                              "metadata of each record file written to is "
                                              "published again from its start")
                                   .arg(path, why)};
    };
    if (!file.open(QIODevice::ReadOnly)) {
        return lost(file.errorString());
    }
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    const QJsonValue files = doc.object().value(kFiles);
    if (!files.isArray()) {
        return lost(QStringLiteral("it is empty, cut short or no cursor file"));
    }
    const QDir folder = QFileInfo(path).absoluteDir();
    MetaCursorStart start;
    for (const QJsonValue& value : files.toArray()) {
        const QJsonObject entry = value.toObject();
        const QString name = entry.value(kFile).toString();
        const std::optional<qint64> lines = countOf(entry.value(kLines));
        const std::optional<qint64> bytes = countOf(entry.value(kBytes));
        if (name.isEmpty() || !lines || !bytes) {
            return lost(QStringLiteral("it is no cursor file"));
        }
        MetaProgress progress{*lines, *bytes, std::nullopt};
        const std::optional<qint64> device = countOf(entry.value(kDevice));
        const std::optional<qint64> inode = countOf(entry.value(kInode));
        if (device && inode) {
            progress.identity = platform::FileIdentity{quint64(*device), quint64(*inode)};
        }
        start.cursor[QDir::cleanPath(folder.absoluteFilePath(name))] = progress;
    }
    return start;
}

std::optional<QString> saveMetaCursor(const QString& path, const MetaCursor& cursor) {
    const QDir folder = QFileInfo(path).absoluteDir();
    QJsonArray files;
    for (const auto& [recordFile, progress] : cursor) {
        QJsonObject entry{{kFile, folder.relativeFilePath(recordFile)},
                          {kLines, progress.lines},
                          {kBytes, progress.bytes}};
        if (progress.identity) {
            entry.insert(kDevice, static_cast<qint64>(progress.identity->device));
            entry.insert(kInode, static_cast<qint64>(progress.identity->inode));
        }
        files.append(entry);
    }
    return saveCursorFile(path, QJsonObject{{kFiles, files}},
                          QStringLiteral("the metadata cursor"));
}

}  // namespace lp::remote
