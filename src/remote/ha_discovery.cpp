#include "remote/ha_discovery.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "remote/messages.h"
#include "stats/figure_notation.h"

namespace lp::remote {
namespace {

// A discovery topic's id may hold [a-zA-Z0-9_-] only: any other character becomes '_'.
QString idPart(const QString& text) {
    QString id = text;
    for (QChar& c : id) {
        const char16_t u = c.unicode();
        const bool fits = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                          (u >= u'0' && u <= u'9') || u == u'-' || u == u'_';
        if (!fits) {
            c = u'_';
        }
    }
    return id;
}

// A text as a Jinja string literal in single quotes.
QString templateString(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + quoted + u'\'';
}

}  // namespace

std::vector<DiscoveryConfig> discoveryConfigs(const DiscoverySetup& setup) {
    const QString logger = QString::fromUtf8(setup.loggerTopic);
    const QString base = QStringLiteral("levelpanel_") + idPart(logger);
    const QString sampleTopic = QString::fromUtf8(topicUnder(setup.loggerTopic, Topic::Sample));
    const QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{base}},
        {QStringLiteral("name"), setup.name},
        {QStringLiteral("model"), QStringLiteral("LevelPanel logger")},
        {QStringLiteral("sw_version"), setup.version},
    };
    const QJsonObject origin{{QStringLiteral("name"), QStringLiteral("LevelPanel")},
                             {QStringLiteral("sw_version"), setup.version}};
    // "stopped" and "offline" alike make the entities unavailable.
    const QJsonArray availability{QJsonObject{
        {QStringLiteral("topic"), QString::fromUtf8(topicUnder(setup.loggerTopic, Topic::Status))},
        {QStringLiteral("value_template"),
         QStringLiteral("{{ 'online' if value_json.state == 'online' else 'offline' }}")},
        {QStringLiteral("payload_available"), QStringLiteral("online")},
        {QStringLiteral("payload_not_available"), QStringLiteral("offline")}}};

    std::vector<DiscoveryConfig> configs;
    const auto add = [&](const char* component, const QString& idSuffix, QJsonObject config) {
        const QString uniqueId = base + u'_' + idPart(idSuffix);
        config.insert(QStringLiteral("unique_id"), uniqueId);
        config.insert(QStringLiteral("device"), device);
        config.insert(QStringLiteral("origin"), origin);
        config.insert(QStringLiteral("availability"), availability);
        config.insert(QStringLiteral("qos"), 1);
        configs.push_back({setup.discoveryPrefix + '/' + component + '/' + uniqueId.toUtf8() +
                               QByteArrayLiteral("/config"),
                           QJsonDocument(config).toJson(QJsonDocument::Compact)});
    };
    const auto soundSensor = [](const QString& name, const QString& topic, const QString& key) {
        return QJsonObject{
            {QStringLiteral("name"), name},
            {QStringLiteral("state_topic"), topic},
            {QStringLiteral("value_template"), QStringLiteral("{{ value_json.%1 }}").arg(key)},
            {QStringLiteral("device_class"), QStringLiteral("sound_pressure")},
            {QStringLiteral("unit_of_measurement"), QStringLiteral("dB")},
            {QStringLiteral("state_class"), QStringLiteral("measurement")}};
    };
    add("sensor", QStringLiteral("level"),
        soundSensor(QStringLiteral("Level"), sampleTopic, QStringLiteral("level")));
    for (const qint64 seconds : setup.periodSeconds) {
        const QString label = stats::intervalLabel(seconds);
        add("sensor", QStringLiteral("laeq_") + label,
            soundSensor(QStringLiteral("LAeq,") + label,
                        QString::fromUtf8(periodTopic(setup.loggerTopic, seconds)),
                        QStringLiteral("leq")));
    }
    for (const QString& rule : setup.limitRules) {
        // The rule's entry among the sample's "limits", or nothing.
        const QString entry =
            QStringLiteral(
                "{% set l = (value_json.limits | default([]) | selectattr('rule', "
                "'eq', %1) | list + [{}]) | first %}")
                .arg(templateString(rule));
        add("binary_sensor", QStringLiteral("limit_") + rule,
            QJsonObject{
                {QStringLiteral("name"), QStringLiteral("Limit ") + rule},
                {QStringLiteral("state_topic"), sampleTopic},
                {QStringLiteral("value_template"),
                 entry + QStringLiteral("{{ 'ON' if l.state == 'alarm' else 'OFF' }}")},
                {QStringLiteral("payload_on"), QStringLiteral("ON")},
                {QStringLiteral("payload_off"), QStringLiteral("OFF")},
                {QStringLiteral("device_class"), QStringLiteral("problem")},
                {QStringLiteral("json_attributes_topic"), sampleTopic},
                {QStringLiteral("json_attributes_template"),
                 entry + QStringLiteral("{{ l | tojson }}")},
            });
    }
    return configs;
}

DiscoveryAnnouncer::DiscoveryAnnouncer(SamplePublisher& publisher, const DiscoverySetup& setup,
                                       QObject* parent)
    : QObject(parent), publisher_(publisher), configs_(discoveryConfigs(setup)) {
    connect(&publisher_, &SamplePublisher::connectedToBroker, this, &DiscoveryAnnouncer::announce);
    connect(&publisher_, &SamplePublisher::trackedAcknowledged, this,
            [this](qint64 ticket) { waiting_.erase(ticket); });
}

void DiscoveryAnnouncer::announce() {
    if (!waiting_.empty()) {
        return;  // they go out again on this connection
    }
    for (const DiscoveryConfig& config : configs_) {
        if (const qint64 ticket = publisher_.publishTracked(config.topic, config.payload, true)) {
            waiting_.insert(ticket);
        }
    }
}

}  // namespace lp::remote
