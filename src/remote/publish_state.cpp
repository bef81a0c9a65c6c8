#include "remote/publish_state.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "platform/write_failure.h"

namespace lp::remote {
namespace {

QString unreadable(const QString& path, const QString& why) {
    return QStringLiteral(
               "the publishing cursor %1 cannot be read (%2); remove it to publish "
               "from the next record on")
        .arg(path, why);
}

}  // namespace

QString publishStatePath(const QString& recordPath) {
    return recordPath + QStringLiteral(".published");
}

std::variant<PublishState, QString> loadPublishState(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return PublishState{};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return unreadable(path, file.errorString());
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    const QJsonObject o = doc.object();
    const QJsonValue line = o.value(QStringLiteral("line"));
    const QJsonArray names = o.value(QStringLiteral("files")).toArray();
    if (parseError.error != QJsonParseError::NoError || !line.isDouble() || line.toDouble() < 0 ||
        names.isEmpty()) {
        return unreadable(path, QStringLiteral("it is no cursor file"));
    }
    const QDir folder = QFileInfo(path).absoluteDir();
    PublishState state;
    state.line = static_cast<qint64>(line.toDouble());
    for (const QJsonValue& name : names) {
        if (!name.isString() || name.toString().isEmpty()) {
            return unreadable(path, QStringLiteral("it is no cursor file"));
        }
        state.files << QDir::cleanPath(folder.absoluteFilePath(name.toString()));
    }
    return state;
}

std::optional<QString> savePublishState(const QString& path, const PublishState& state) {
    const QDir folder = QFileInfo(path).absoluteDir();
    QJsonArray names;
    for (const QString& file : state.files) {
        names.append(folder.relativeFilePath(file));
    }
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{QStringLiteral("files"), names},
                                  {QStringLiteral("line"), static_cast<double>(state.line)}})
            .toJson(QJsonDocument::Compact) +
        '\n';
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return QStringLiteral("the publishing cursor %1 cannot be written (%2)")
            .arg(path, platform::writeFailureText(file.errorString()));
    }
    return std::nullopt;
}

}  // namespace lp::remote
