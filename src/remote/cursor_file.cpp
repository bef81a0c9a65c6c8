#include "remote/cursor_file.h"

#include <QJsonDocument>
#include <QSaveFile>

#include "platform/write_failure.h"

namespace lp::remote {

std::optional<QString> saveCursorFile(const QString& path, const QJsonObject& cursor,
                                      const QString& what) {
    const QByteArray bytes = QJsonDocument(cursor).toJson(QJsonDocument::Compact) + '\n';
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return QStringLiteral("%1 %2 cannot be written (%3)")
            .arg(what, path, platform::writeFailureText(file.errorString()));
    }
    return std::nullopt;
}

}  // namespace lp::remote
