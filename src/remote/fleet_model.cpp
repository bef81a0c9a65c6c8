#include "remote/fleet_model.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <algorithm>

#include "remote/messages.h"

namespace lp::remote {
namespace {

QString textOf(const QJsonValue& value) {
    return value.isString() ? value.toString() : QString();
}

}  // namespace

FleetModel::FleetModel(const QString& prefix) : prefix_(prefix.toUtf8() + '/') {}

FleetModel::Taken FleetModel::take(const QByteArray& topic, const QByteArray& payload,
                                   const QDateTime& now) {
    const QString where = QString::fromUtf8(topic);
    const QList<QByteArray> levels =
        topic.startsWith(prefix_) ? topic.mid(prefix_.size()).split('/') : QList<QByteArray>();
    if (levels.size() != 2 || levels[0].isEmpty()) {
        return {{}, false, QStringLiteral("%1: not a logger's topic").arg(where)};
    }
    const QString name = QString::fromUtf8(levels[0]);
    const std::optional<Topic> kind = topicOf(levels[1]);
    if (kind == Topic::Status && payload.isEmpty()) {
        const bool known = loggers_.remove(name) > 0;
        return {known ? name : QString(), known, {}};
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (!document.isObject()) {
        return {{}, false, QStringLiteral("%1: not a JSON object").arg(where)};
    }
    const QJsonObject o = document.object();
    if (kind == Topic::Status) {
        if (textOf(o.value(QStringLiteral("state"))).isEmpty()) {
            return {{}, false, QStringLiteral("%1: a status without its state").arg(where)};
        }
        takeStatus(loggers_[name], o);
    } else if (kind == Topic::Sample) {
        takeSample(loggers_[name], o);
    } else if (kind == Topic::Event) {
        const QString state = textOf(o.value(QStringLiteral("state")));
        const QDateTime start =
            QDateTime::fromString(textOf(o.value(QStringLiteral("start"))), Qt::ISODate);
        if ((state != QStringLiteral("start") && state != QStringLiteral("end")) ||
            !start.isValid()) {
            return {
                {}, false, QStringLiteral("%1: an event without its state or start").arg(where)};
        }
        takeEvent(loggers_[name], o, now);
    } else {
        return {{}, false, QStringLiteral("%1: not a logger's topic").arg(where)};
    }
    loggers_[name].last.name = name;
    return {name, false, {}};
}

void FleetModel::takeStatus(Logger& logger, const QJsonObject& status) {
    logger.last.state = status.value(QStringLiteral("state")).toString();
    logger.stateStale = false;
    const QJsonValue backlog = status.value(QStringLiteral("backlog"));
    logger.statusBacklog = backlog.isDouble() && backlog.toDouble() >= 0
                               ? std::optional<qint64>(backlog.toInteger())
                               : std::nullopt;
    logger.samplesSinceStatus = 0;
    if (logger.last.state == stateText(LoggerState::Stopped)) {
        logger.openEvents.clear();
    }
}

void FleetModel::takeSample(Logger& logger, const QJsonObject& sample) {
    logger.samplesSinceStatus += 1;
    LoggerRow& last = logger.last;
    const QDateTime time =
        QDateTime::fromString(textOf(sample.value(QStringLiteral("time"))), Qt::ISODate);
    if (last.hasSample && time.isValid() && last.levelTime.isValid() && time < last.levelTime) {
        return;
    }
    const QJsonValue level = sample.value(QStringLiteral("level"));
    last.hasSample = true;
    last.level = level.isDouble() ? std::optional<double>(level.toDouble()) : std::nullopt;
    last.levelText = textOf(sample.value(QStringLiteral("text")));
    last.weighting = textOf(sample.value(QStringLiteral("weighting")));
    last.levelTime = time;
}

void FleetModel::takeEvent(Logger& logger, const QJsonObject& event, const QDateTime& now) {
    const QString startText = event.value(QStringLiteral("start")).toString();
    const QDate startDay = QDateTime::fromString(startText, Qt::ISODate).toLocalTime().date();
    if (startDay == now.date()) {
        if (logger.eventsDay != startDay) {
            logger.eventsDay = startDay;
            logger.eventStarts.clear();
        }
        logger.eventStarts.insert(startText);
    }
    if (event.value(QStringLiteral("state")).toString() == QStringLiteral("start")) {
        logger.openEvents.insert(startText);
    } else {
        logger.openEvents.remove(startText);
    }
}

void FleetModel::brokerLost() {
    for (Logger& logger : loggers_) {
        logger.stateStale = !logger.last.state.isEmpty();
    }
}

LoggerRow FleetModel::rowOf(const Logger& logger, const QDateTime& now) {
    LoggerRow row = logger.last;
    if (logger.stateStale) {
        row.state = QStringLiteral("unknown");
    }
    // The last will was written when the logger connected: what it says is long past.
    if (logger.statusBacklog && !logger.stateStale &&
        row.state != stateText(LoggerState::Offline)) {
        row.backlog = std::max<qint64>(0, *logger.statusBacklog - logger.samplesSinceStatus);
    }
    row.eventsToday =
        logger.eventsDay == now.date() ? static_cast<int>(logger.eventStarts.size()) : 0;
    row.alarm = !logger.openEvents.isEmpty();
    return row;
}

std::vector<LoggerRow> FleetModel::rows(const QDateTime& now) const {
    return rows(now, loggers_.size());
}

std::vector<LoggerRow> FleetModel::rows(const QDateTime& now, qsizetype count) const {
    std::vector<LoggerRow> first;
    first.reserve(size_t(std::clamp<qsizetype>(count, 0, loggers_.size())));
    for (auto it = loggers_.cbegin(); it != loggers_.cend() && qsizetype(first.size()) < count;
         ++it) {
        first.push_back(rowOf(*it, now));
    }
    return first;
}

std::optional<LoggerRow> FleetModel::row(const QString& name, const QDateTime& now) const {
    const auto found = loggers_.constFind(name);
    if (found == loggers_.cend()) {
        return std::nullopt;
    }
    return rowOf(*found, now);
}

}  // namespace lp::remote
