#include "remote/messages.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "stats/level_tally.h"

namespace lp::remote {
namespace {

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

QJsonValue rounded(const std::optional<double>& level) {
    return level ? QJsonValue(std::round(*level * 10.0) / 10.0) : QJsonValue(QJsonValue::Null);
}

// "2009/06/01 14:05:09" with +7200 -> "2009-06-01T14:05:09+02:00"; null without an
// offset (the text is then no date and time).
QJsonValue isoTime(const WrittenRecord& record) {
    const QStringView t = QStringView(record.dateTime).trimmed();
    if (!record.utcOffset || t.size() != 19) {
        return QJsonValue(QJsonValue::Null);
    }
    // An offset of its own, so that UTC itself is written "+00:00" and not "Z".
    const int minutes = std::abs(*record.utcOffset) / 60;
    QString text = t.toString();
    text[4] = text[7] = u'-';
    text[10] = u'T';
    return text + (*record.utcOffset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QChar(u'0'))
               .arg(minutes % 60, 2, 10, QChar(u'0'));
}

QJsonValue recordNumber(const QString& no) {
    bool ok = false;
    const qint64 n = no.trimmed().toLongLong(&ok);
    return ok ? QJsonValue(n) : QJsonValue(no);
}

}  // namespace

QByteArray sampleMessage(const WrittenRecord& record) {
    QJsonObject o;
    o.insert(QStringLiteral("file"), QFileInfo(record.filePath).fileName());
    o.insert(QStringLiteral("line"), record.line);
    o.insert(QStringLiteral("no"), recordNumber(record.no));
    o.insert(QStringLiteral("time"), isoTime(record));
    // A level by the rule the figures follow: no number, a mark or a text past the top
    // class gives null.
    const stats::LevelReading level = stats::readLevel(QStringView(record.level));
    o.insert(QStringLiteral("level"),
             level.carriesLevel() ? QJsonValue(level.value) : QJsonValue(QJsonValue::Null));
    o.insert(QStringLiteral("text"), record.level);
    if (const auto& r = record.reading) {
        o.insert(QStringLiteral("weighting"),
                 r->weightingA ? QStringLiteral("A") : QStringLiteral("C"));
        o.insert(QStringLiteral("response"),
                 r->slowResponse ? QStringLiteral("SLOW") : QStringLiteral("FAST"));
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
    QJsonObject o{
        {QStringLiteral("state"), status.state},
        {QStringLiteral("port"), status.port},
        {QStringLiteral("file"), status.file},
        {QStringLiteral("every_s"), status.everySeconds},
        {QStringLiteral("version"), status.version},
        {QStringLiteral("host"), status.host.isEmpty() ? QJsonValue() : QJsonValue(status.host)},
        {QStringLiteral("pid"), status.pid > 0 ? QJsonValue(status.pid) : QJsonValue()},
    };
    if (status.backlog) {
        o.insert(QStringLiteral("backlog"), *status.backlog);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<StatusSender> statusSender(const QByteArray& payload) {
    const QJsonObject o = QJsonDocument::fromJson(payload).object();
    const QJsonValue host = o.value(QStringLiteral("host"));
    const QJsonValue pid = o.value(QStringLiteral("pid"));
    if (!host.isString() || host.toString().isEmpty() || !pid.isDouble() || pid.toInteger() <= 0) {
        return std::nullopt;
    }
    return StatusSender{o.value(QStringLiteral("state")).toString(), host.toString(),
                        pid.toInteger()};
}

QByteArray eventMessage(const live::AlarmEvent& event) {
    const std::optional<stats::LevelEvent>& e = event.ended;
    const QJsonValue none(QJsonValue::Null);
    const QJsonObject o{
        {QStringLiteral("state"), e ? QStringLiteral("end") : QStringLiteral("start")},
        {QStringLiteral("start"), live::isoInstant(event.start)},
        {QStringLiteral("end"), e ? QJsonValue(live::isoInstant(e->end)) : none},
        {QStringLiteral("duration_s"), e ? QJsonValue(e->duration) : none},
        {QStringLiteral("lmax"), rounded(e ? std::optional(e->lmax) : std::nullopt)},
        {QStringLiteral("leq"), rounded(e ? std::optional(e->leq) : std::nullopt)},
        {QStringLiteral("sel"), rounded(e ? e->sel : std::nullopt)},
        {QStringLiteral("above"), event.above},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace lp::remote
