#include "cli/broker_arguments.h"

#include <QFile>
#include <variant>

#include "cli/command.h"
#include "remote/broker_url.h"

namespace lp::cli {

std::vector<OptionRow> brokerRows(BrokerFlags& flags) {
    return {text(QStringLiteral("password-file"), QStringLiteral("FILE"), flags.passwordFile,
                 QStringLiteral("USER's password is the first line of FILE."))
                .completing(Completes::File)
                .needing(QStringLiteral("a file name")),
            text(QStringLiteral("cafile"), QStringLiteral("FILE"), flags.caFile,
                 QStringLiteral("The CA certificates an mqtts:// broker is checked against "
                                "(default: the system's)."))
                .completing(Completes::File)
                .needing(QStringLiteral("a file name"))};
}

Outcome<Broker> readBroker(const QString& address, const BrokerFlags& flags, Talk& talk) {
    const auto parsed = remote::parseBrokerUrl(address);
    if (const QString* mistake = std::get_if<QString>(&parsed)) {
        return usageMistake(*mistake);
    }
    const remote::BrokerUrl& url = std::get<remote::BrokerUrl>(parsed);
    if (flags.passwordFile && url.user.isEmpty()) {
        return usageMistake(
            QStringLiteral("--password-file needs the user in the address "
                           "(mqtt://USER@HOST/PREFIX)"));
    }
    if (flags.caFile && !url.tls) {
        return usageMistake(
            QStringLiteral("--cafile is for TLS: the address starts with mqtts://"));
    }
    Broker broker;
    broker.prefix = url.prefix;
    broker.mqtt.host = url.host;
    broker.mqtt.port = url.port;
    broker.mqtt.username = url.user;
    broker.mqtt.tls = url.tls;
    if (flags.passwordFile) {
        const auto password = remote::readPasswordFile(*flags.passwordFile);
        if (const QString* reason = std::get_if<QString>(&password)) {
            return failed(*reason);
        }
        broker.mqtt.password = QString::fromUtf8(std::get<QByteArray>(password));
        if (const auto exposed = remote::passwordFileExposure(*flags.passwordFile)) {
            talk.error(*exposed);
        }
    }
    if (url.tls) {
        broker.mqtt.caFile = flags.caFile.value_or(kSystemCaFile);
        // Said now, not at every connection attempt.
        QFile ca(broker.mqtt.caFile);
        if (!ca.open(QIODevice::ReadOnly)) {
            return failed(QStringLiteral("the CA file %1 cannot be read (%2)")
                              .arg(broker.mqtt.caFile, ca.errorString()));
        }
    }
    return broker;
}

}  // namespace lp::cli
