#include "remote/publish_state.h"
#include "remote/cursor_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace lp::remote {
namespace {

CursorStart lost(const QString& path, const QString& why) {
    return {{},
            true,
            QStringLiteral("the publishing cursor %1 cannot be read (%2): the record file is "
                           "published again from its start")
                .arg(path, why)};
}

// A JSON number that is a whole number (kept exactly: an inode may need all 64 bits).
std::optional<qint64> integerOf(const QJsonValue& value) {
    const qint64 n = value.toInteger();
    if (!value.isDouble() || QJsonValue(n) != value) {
        return std::nullopt;
    }
    return n;
}

}  // namespace

QString publishStatePath(const QString& recordPath) {
    return recordPath + QStringLiteral(".published");
}

CursorStart loadPublishState(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return lost(path, file.errorString());
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        return lost(path, QStringLiteral("it is empty, cut short or no cursor file"));
    }
    const QJsonObject o = doc.object();
    const std::optional<qint64> line = integerOf(o.value(QStringLiteral("line")));
    const QJsonArray names = o.value(QStringLiteral("files")).toArray();
    if (!line || *line < 0 || names.isEmpty()) {
        return lost(path, QStringLiteral("it is no cursor file"));
    }
    const QDir folder = QFileInfo(path).absoluteDir();
    CursorStart start;
    start.state.line = *line;
    for (const QJsonValue& name : names) {
        if (!name.isString() || name.toString().isEmpty()) {
            return lost(path, QStringLiteral("it is no cursor file"));
        }
        start.state.files << QDir::cleanPath(folder.absoluteFilePath(name.toString()));
    }
    const std::optional<qint64> device = integerOf(o.value(QStringLiteral("device")));
    const std::optional<qint64> inode = integerOf(o.value(QStringLiteral("inode")));
    if (device && inode) {
        start.state.identity = platform::FileIdentity{quint64(*device), quint64(*inode)};
    }
    if (start.state.line == 0) {
        return start;  // nothing acknowledged: nothing to prove
    }
    const QString& first = start.state.files.first();
    if (!start.state.identity) {
        start.notice = QStringLiteral(
                           "the publishing cursor %1 does not say which file its line "
                           "counts in (an older version wrote it): %2 is published "
                           "again from its start")
                           .arg(path, first);
    } else if (platform::fileIdentity(first) != start.state.identity) {
        start.notice = QStringLiteral(
                           "%1 is not the file the publishing cursor %2 counted its "
                           "lines in (moved, replaced or gone): the file under that "
                           "name is published from its start")
                           .arg(first, path);
    } else {
        return start;
    }
    start.state.line = 0;
    start.state.identity.reset();
    return start;
}

std::optional<QString> savePublishState(const QString& path, const PublishState& state) {
    const QDir folder = QFileInfo(path).absoluteDir();
    QJsonArray names;
    for (const QString& file : state.files) {
        names.append(folder.relativeFilePath(file));
    }
    QJsonObject o{{QStringLiteral("files"), names}, {QStringLiteral("line"), state.line}};
    if (state.identity) {
        o.insert(QStringLiteral("device"), static_cast<qint64>(state.identity->device));
        o.insert(QStringLiteral("inode"), static_cast<qint64>(state.identity->inode));
    }
    return saveCursorFile(path, o, QStringLiteral("the publishing cursor"));
}

}  // namespace lp::remote
