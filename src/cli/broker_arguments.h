// The broker a command talks to: its address (mqtt[s]://[USER@]HOST[:PORT]/PREFIX) with
// --password-file FILE and --cafile FILE, read into the MQTT client's options.
#pragma once

#include <QString>
#include <QTextStream>
#include <optional>

#include "cli/kit/cli_arguments.h"
#include "remote/mqtt_options.h"

namespace lp::cli {

inline const QString kPasswordFileOption = QStringLiteral("password-file");
inline const QString kCaFileOption = QStringLiteral("cafile");
// The CA certificates an mqtts:// broker is checked against without --cafile.
inline const QString kSystemCaFile = QStringLiteral("/etc/ssl/certs/ca-certificates.crt");

// The two options, for a command's table.
[[nodiscard]] QList<Option> brokerOptions();

struct Broker {
    remote::MqttOptions mqtt;  // all but the client id and the last will
    QString prefix;
};

// The broker of `address` and the options in `args`. A mistake goes to `err` and gives
// its status: kUsageError for the address or an option that does not fit it (a
// password file without a USER@, a CA file for plain mqtt://), kFileFailure for a
// password or CA file that cannot be read.
struct BrokerRead {
    std::optional<Broker> broker;
    int status = 0;
};
[[nodiscard]] BrokerRead readBroker(const QString& address, const Arguments& args,
                                    QTextStream& err);

}  // namespace lp::cli
