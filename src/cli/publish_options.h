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

#include "cli/command.h"
#include "cli/kit/cli_arguments.h"
#include "remote/mqtt_options.h"

namespace lp::cli {

struct PublishSetup {
    // The client id is "levelpanel/", the topic, "/" and the process id with a random
    // part: "levelpanel/noise/north/4321-0f3a9c2e".
    remote::MqttOptions mqtt;
    QByteArray topic;  // "PREFIX/NAME"
};

// What the options say: no setup when --publish is not given (status kOk) or when
// they are wrong (the message printed to `err`; kUsageError for a mistake in the
// options, kFileFailure for a file named that cannot be read).
struct PublishRead {
    std::optional<PublishSetup> setup;
    int status = kOk;
};

[[nodiscard]] PublishRead readPublishOptions(const Arguments& args, QTextStream& err);

}  // namespace lp::cli
