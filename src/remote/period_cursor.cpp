#include "remote/period_cursor.h"
#include "remote/cursor_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace lp::remote {

QString periodCursorPath(const QString& recordPath) {
    return recordPath + QStringLiteral(".periods.published");
}

std::optional<PeriodCursor> loadPeriodCursor(const QString& path, QString& problem) {
    QFile file(path);
    if (!file.exists()) {
        return std::nullopt;
    }
    const auto lost = [&](const QString& why) {
        problem = QStringLiteral(
                      "the period cursor %1 cannot be read (%2): periods are published from "
                      "the first record of this run")
                      .arg(path, why);
        return std::nullopt;
    };
    if (!file.open(QIODevice::ReadOnly)) {
        return lost(file.errorString());
    }
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    const QJsonObject o = doc.object();
    const QJsonValue names = o.value(QStringLiteral("files"));
    const QJsonValue periods = o.value(QStringLiteral("periods"));
    if (!doc.isObject() || !names.isArray() || !periods.isObject()) {
        return lost(QStringLiteral("it is empty, cut short or no period cursor"));
    }
    const QDir folder = QFileInfo(path).absoluteDir();
    PeriodCursor cursor;
    for (const QJsonValue& name : names.toArray()) {
        if (!name.isString() || name.toString().isEmpty()) {
            return lost(QStringLiteral("it is no period cursor"));
        }
        cursor.files << QDir::cleanPath(folder.absoluteFilePath(name.toString()));
    }
    const QJsonObject starts = periods.toObject();
    for (auto it = starts.begin(); it != starts.end(); ++it) {
        bool number = false;
        const qint64 length = it.key().toLongLong(&number);
        const qint64 from = it.value().toInteger();
        if (!number || !it.value().isDouble() || QJsonValue(from) != it.value()) {
            return lost(QStringLiteral("it is no period cursor"));
        }
        cursor.from[length] = from;
    }
    return cursor;
}

std::optional<QString> savePeriodCursor(const QString& path, const PeriodCursor& cursor) {
    const QDir folder = QFileInfo(path).absoluteDir();
    QJsonArray names;
    for (const QString& file : cursor.files) {
        names.append(folder.relativeFilePath(file));
    }
    QJsonObject periods;
    for (const auto& [length, from] : cursor.from) {
        periods.insert(QString::number(length), from);
    }
    return saveCursorFile(
        path, QJsonObject{{QStringLiteral("files"), names}, {QStringLiteral("periods"), periods}},
        QStringLiteral("the period cursor"));
}

}  // namespace lp::remote
