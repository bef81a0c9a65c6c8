// The publishing options of `record`: which MQTT broker the records go to, and as whom.
//
//   --publish mqtt://[USER@]HOST[:PORT]/PREFIX   port 1883 unless given
//   --publish mqtts://[USER@]HOST[:PORT]/PREFIX  TLS, port 8883 unless given
//   --id NAME             the logger under PREFIX (default: the host name)
//   --password-file FILE  USER's password: the first line of FILE
//   --cafile FILE         mqtts: the CA certificates that vouch for the broker
//                         (default: the system's)
//
// The address and the two file options are read as every broker command reads them
// (broker_arguments.h); --id and the topic are publishing's own.
//
// A password in the URL itself is refused: it would show in the process list.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTextStream>
#include <optional>

#include "cli/broker_arguments.h"
#include "cli/command.h"
#include "remote/mqtt_options.h"

namespace lp::cli {

struct PublishSetup {
    // The client id is "levelpanel/", the topic, "/" and the process id with a random
    // part: "levelpanel/noise/north/4321-0f3a9c2e".
    remote::MqttOptions mqtt;
    QByteArray topic;  // "PREFIX/NAME"
};

// The options as typed.
struct PublishFlags {
    std::optional<QString> publish;  // the broker's address
    std::optional<QString> id;
    BrokerFlags broker;
};
// Their rows, for record's table.
[[nodiscard]] std::vector<OptionRow> publishRows(PublishFlags& flags);

// What the options say: no setup when --publish is not given; a refusal when they are
// wrong (a usage mistake in the options, a failure for a file named that cannot be
// read).
[[nodiscard]] Outcome<std::optional<PublishSetup>> readPublishOptions(const PublishFlags& flags,
                                                                      Talk& talk);

}  // namespace lp::cli
