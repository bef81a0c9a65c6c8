#include "remote/messages.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "live/reading_fields.h"
#include "platform/iso_time.h"
#include "records/record_stamp.h"
#include "stats/figure_notation.h"
#include "stats/level_tally.h"

namespace lp::remote {
namespace {

QJsonValue rounded(const std::optional<double>& level) {
    return level ? QJsonValue(std::round(*level * 10.0) / 10.0) : QJsonValue(QJsonValue::Null);
}

// "2009/06/01 14:05:09" with +7200 -> "2009-06-01T14:05:09+02:00"; null without an
// offset or a valid stamp.
QJsonValue isoTime(const WrittenRecord& record) {
    char text[platform::kIsoTimeBytes];
    char* const stamp = record.utcOffset
                            ? records::putIsoStamp(text, record.dateTime.trimmed().toLatin1())
                            : nullptr;
    if (stamp == nullptr) {
        return QJsonValue(QJsonValue::Null);
    }
    platform::putUtcOffset(stamp, *record.utcOffset);
    return QString::fromLatin1(text, platform::kIsoTimeBytes);
}

QJsonValue recordNumber(const QString& no) {
    bool ok = false;
    const qint64 n = no.trimmed().toLongLong(&ok);
    return ok ? QJsonValue(n) : QJsonValue(no);
}

}  // namespace

QByteArray topicText(Topic topic) {
    switch (topic) {
        case Topic::Sample:
            return QByteArrayLiteral("sample");
        case Topic::Status:
            return QByteArrayLiteral("status");
        case Topic::Event:
            return QByteArrayLiteral("event");
        case Topic::Period:
            return QByteArrayLiteral("period");
        case Topic::Meta:
            return QByteArrayLiteral("meta");
    }
    return {};
}

QByteArray topicUnder(const QByteArray& logger, Topic topic) {
    return logger + '/' + topicText(topic);
}

QByteArray periodTopic(const QByteArray& logger, qint64 seconds) {
    return topicUnder(logger, Topic::Period) + '/' + stats::intervalLabel(seconds).toLatin1();
}

std::optional<Topic> topicOf(QByteArrayView leaf) {
    for (const Topic topic :
         {Topic::Sample, Topic::Status, Topic::Event, Topic::Period, Topic::Meta}) {
        if (leaf == topicText(topic)) {
            return topic;
        }
    }
    return std::nullopt;
}

QString stateText(LoggerState state) {
    switch (state) {
        case LoggerState::Online:
            return QStringLiteral("online");
        case LoggerState::Stopped:
            return QStringLiteral("stopped");
        case LoggerState::Offline:
            return QStringLiteral("offline");
    }
    return {};
}

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
    live::insertReadingFields(o, record.reading ? &*record.reading : nullptr);
    if (!record.limits.empty()) {
        QJsonArray limits;
        for (const live::LimitStatus& status : record.limits) {
            const QString state = !status.active ? QStringLiteral("off")
                                  : status.level == live::LimitLevel::Quiet
                                      ? QStringLiteral("ok")
                                      : live::limitLevelText(status.level);
            limits.append(QJsonObject{{QStringLiteral("rule"), status.rule},
                                      {QStringLiteral("so_far"), rounded(status.soFar)},
                                      {QStringLiteral("allowed"), rounded(status.allowed)},
                                      {QStringLiteral("state"), state}});
        }
        o.insert(QStringLiteral("limits"), limits);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray statusMessage(const LoggerStatus& status) {
    QJsonObject o{
        {QStringLiteral("state"), stateText(status.state)},
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
        {QStringLiteral("start"), platform::localIsoTime(event.start)},
        {QStringLiteral("end"), e ? QJsonValue(platform::localIsoTime(e->end)) : none},
        {QStringLiteral("duration_s"), e ? QJsonValue(e->duration) : none},
        {QStringLiteral("lmax"), rounded(e ? std::optional(e->lmax) : std::nullopt)},
        {QStringLiteral("leq"), rounded(e ? std::optional(e->leq) : std::nullopt)},
        {QStringLiteral("sel"), rounded(e ? e->sel : std::nullopt)},
        {QStringLiteral("above"), event.above},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray limitEventMessage(const live::LimitEvent& event) {
    const bool ended = event.kind == live::LimitEvent::Kind::End;
    const QJsonValue none(QJsonValue::Null);
    const QJsonObject o{
        {QStringLiteral("state"), live::limitEventKindText(event.kind)},
        {QStringLiteral("start"), platform::localIsoTime(event.since)},
        {QStringLiteral("end"), ended ? QJsonValue(platform::localIsoTime(event.instant)) : none},
        {QStringLiteral("duration_s"), ended ? QJsonValue(event.instant - event.since) : none},
        {QStringLiteral("lmax"), none},
        {QStringLiteral("leq"), none},
        {QStringLiteral("sel"), none},
        {QStringLiteral("above"), event.limit},
        {QStringLiteral("rule"), event.rule},
        {QStringLiteral("figure"), event.label},
        {QStringLiteral("value"), rounded(event.value)},
        {QStringLiteral("limit"), event.limit},
        {QStringLiteral("level"), live::limitLevelText(event.level)},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace lp::remote
