#include "remote/messages.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/numeric_text.h"
#include "records/level_marks.h"

namespace lp::remote {
namespace {

QJsonValue textOrNull(const std::optional<QString>& text) {
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

QJsonArray litFlags(const link::Reading& r) {
    QJsonArray flags;
    const std::pair<bool, const char*> lit[] = {
        {r.meterRecording, "REC"}, {r.memoryFull, "FULL"},  {r.maxHold, "MAX"},
        {r.batteryLow, "BAT"},     {r.underRange, "UNDER"}, {r.overRange, "OVER"},
    };
    for (const auto& [on, name] : lit) {
        if (on) {
            flags.append(QString::fromLatin1(name));
        }
    }
    return flags;
}

QJsonValue recordNumber(const QString& no) {
    bool ok = false;
    const qint64 n = no.trimmed().toLongLong(&ok);
    return ok ? QJsonValue(n) : QJsonValue(no);
}

}  // namespace

std::optional<QString> isoTimeWithOffset(QStringView dateTime) {
    const QDateTime local =
        QDateTime::fromString(dateTime.trimmed().toString(), QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (!local.isValid()) {
        return std::nullopt;
    }
    // An offset of its own, so that UTC itself is written "+00:00" and not "Z".
    const int offset = local.offsetFromUtc();
    const QChar sign = offset < 0 ? u'-' : u'+';
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + sign +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QChar(u'0'))
               .arg(minutes % 60, 2, 10, QChar(u'0'));
}

QByteArray sampleMessage(const WrittenRecord& record) {
    QJsonObject o;
    o.insert(QStringLiteral("file"), QFileInfo(record.filePath).fileName());
    o.insert(QStringLiteral("line"), record.line);
    o.insert(QStringLiteral("no"), recordNumber(record.no));
    o.insert(QStringLiteral("time"), textOrNull(isoTimeWithOffset(record.dateTime)));
    o.insert(QStringLiteral("level"), records::carriesLevel(QStringView(record.level))
                                          ? QJsonValue(platform::leadingNumber(record.level))
                                          : QJsonValue(QJsonValue::Null));
    o.insert(QStringLiteral("text"), record.level);
    if (const auto& r = record.reading) {
        o.insert(QStringLiteral("weighting"), r->weightingA ? "A" : "C");
        o.insert(QStringLiteral("response"), r->slowResponse ? "SLOW" : "FAST");
        o.insert(QStringLiteral("range"),
                 QStringLiteral("%1-%2").arg(r->rangeLow).arg(r->rangeHigh));
        o.insert(QStringLiteral("flags"), litFlags(*r));
    } else {
        for (const char* key : {"weighting", "response", "range", "flags"}) {
            o.insert(QLatin1StringView(key), QJsonValue(QJsonValue::Null));
        }
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray statusMessage(const LoggerStatus& status) {
    const QJsonObject o{
        {QStringLiteral("state"), status.state},
        {QStringLiteral("port"), status.port},
        {QStringLiteral("file"), status.file},
        {QStringLiteral("every_s"), status.everySeconds},
        {QStringLiteral("version"), status.version},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace lp::remote
