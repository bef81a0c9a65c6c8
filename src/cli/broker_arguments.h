// The broker a command talks to: its address (mqtt[s]://[USER@]HOST[:PORT]/PREFIX) with
// --password-file FILE and --cafile FILE, read into the MQTT client's options.
#pragma once

#include <QString>
#include <QTextStream>
#include <optional>

#include "cli/kit/options.h"
#include "cli/kit/talk.h"
#include "remote/mqtt_options.h"

namespace lp::cli {

// The CA certificates an mqtts:// broker is checked against without --cafile.
inline const QString kSystemCaFile = QStringLiteral("/etc/ssl/certs/ca-certificates.crt");

// The two options as typed.
struct BrokerFlags {
    std::optional<QString> passwordFile;
    std::optional<QString> caFile;
};
// Their rows, for a command's table.
[[nodiscard]] std::vector<OptionRow> brokerRows(BrokerFlags& flags);

struct Broker {
    remote::MqttOptions mqtt;  // all but the client id and the last will
    QString prefix;
};

// The broker of `address` and `flags`; or a usage mistake for the address or an option
// that does not fit it (a password file without a USER@, a CA file for plain mqtt://),
// a failure for a password or CA file that cannot be read. A password file others may
// read is said on the talk.
[[nodiscard]] Outcome<Broker> readBroker(const QString& address, const BrokerFlags& flags,
                                         Talk& talk);

}  // namespace lp::cli
