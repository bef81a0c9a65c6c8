// Where and how the MQTT client connects: the broker, the account, TLS, the client's
// name and its last will.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace lp::remote {

// A message the broker publishes for the client when the client goes away without
// saying goodbye (process killed, network gone).
struct LastWill {
    QByteArray topic;
    QByteArray payload;
    bool retained = true;
};

struct MqttOptions {
    QString host;  // a name or an address
    int port = 1883;
    QString username;  // empty: anonymous
    QString password;
    bool tls = false;  // mqtts: TLS, the broker's certificate checked against caFile
    QString caFile;
    QString clientId;  // unique on the broker; a second client of the same id pushes the first off
    int keepAliveSeconds = 30;
    // False: a lasting session (with a client id of its own for good): the broker keeps
    // the subscriptions and queues their QoS 1 messages while the client is away.
    bool cleanSession = true;
    // Packets read from the socket before what they brought is handed on. libmosquitto
    // acknowledges a received QoS 1 message as it reads it: a subscriber that must have
    // each on disk before the broker forgets it reads one at a time.
    int packetsPerRead = 64;
    // Publishes the broker has not yet acknowledged, at most.
    int maxInFlight = 256;
    std::optional<LastWill> will;
};

}  // namespace lp::remote
