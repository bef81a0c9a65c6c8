// Home Assistant's MQTT discovery for a logger: retained configs under
// DISCOVERY_PREFIX/COMPONENT/UNIQUE_ID/config that make the logger a device there, with
//   - a sensor of the level (PREFIX/NAME/sample, "level"),
//   - a sensor per period length (PREFIX/NAME/period/15min, "leq": LAeq,15min),
//   - a binary sensor per limit rule (on while the samples' "limits" say "alarm" for it;
//     the rule's so_far, allowed and state as its attributes),
// each with the device (name, model, software version) and its availability read from
// PREFIX/NAME/status: available while "state" is "online", not when "stopped" or
// "offline". Sensors are device_class sound_pressure in dB; a level that is null (no
// plain level) renders "None", which Home Assistant takes as unknown.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <set>
#include <vector>

#include "remote/sample_publisher.h"

namespace lp::remote {

struct DiscoverySetup {
    QByteArray discoveryPrefix = QByteArrayLiteral("homeassistant");
    QByteArray loggerTopic;  // "PREFIX/NAME"
    QString name;            // NAME, the device's name
    QString version;         // the program's
    std::vector<qint64> periodSeconds;
    QStringList limitRules;  // each rule's text, as the samples' "limits" name it
};

struct DiscoveryConfig {
    QByteArray topic;
    QByteArray payload;  // JSON
};

// The configs, in the order above.
[[nodiscard]] std::vector<DiscoveryConfig> discoveryConfigs(const DiscoverySetup& setup);

// Publishes the configs, retained, on every connection the publisher makes (a broker
// that lost its retained messages gets them again); those of the connection before that
// the broker has not acknowledged go out again instead of a second copy.
class DiscoveryAnnouncer : public QObject {
    Q_OBJECT
public:
    DiscoveryAnnouncer(SamplePublisher& publisher, const DiscoverySetup& setup,
                       QObject* parent = nullptr);

private:
    void announce();

    SamplePublisher& publisher_;
    std::vector<DiscoveryConfig> configs_;
    std::set<qint64> waiting_;  // tickets not acknowledged yet
};

}  // namespace lp::remote
