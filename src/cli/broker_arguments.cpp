#include "cli/broker_arguments.h"

#include <QFile>
#include <variant>

#include "cli/command.h"
#include "remote/broker_url.h"

namespace lp::cli {

QList<Option> brokerOptions() {
    return {{kPasswordFileOption, Option::Takes::NonEmptyValue, QStringLiteral("a file name")},
            {kCaFileOption, Option::Takes::NonEmptyValue, QStringLiteral("a file name")}};
}

BrokerRead readBroker(const QString& address, const Arguments& args, QTextStream& err) {
    const auto parsed = remote::parseBrokerUrl(address);
    if (const QString* mistake = std::get_if<QString>(&parsed)) {
        usageError(err, *mistake);
        return {std::nullopt, kUsageError};
    }
    const remote::BrokerUrl& url = std::get<remote::BrokerUrl>(parsed);
    if (args.has(kPasswordFileOption) && url.user.isEmpty()) {
        usageError(err, QStringLiteral("--password-file needs the user in the address "
                                       "(mqtt://USER@HOST/PREFIX)"));
        return {std::nullopt, kUsageError};
    }
    if (args.has(kCaFileOption) && !url.tls) {
        usageError(err, QStringLiteral("--cafile is for TLS: the address starts with mqtts://"));
        return {std::nullopt, kUsageError};
    }
    Broker broker;
    broker.prefix = url.prefix;
    broker.mqtt.host = url.host;
    broker.mqtt.port = url.port;
    broker.mqtt.username = url.user;
    broker.mqtt.tls = url.tls;
    if (args.has(kPasswordFileOption)) {
        const auto password = remote::readPasswordFile(args.value(kPasswordFileOption));
        if (const QString* reason = std::get_if<QString>(&password)) {
            failure(err, *reason);
            return {std::nullopt, kFileFailure};
        }
        broker.mqtt.password = QString::fromUtf8(std::get<QByteArray>(password));
        if (const auto exposed = remote::passwordFileExposure(args.value(kPasswordFileOption))) {
            err << kProgramName << ": " << *exposed << "\n";
            err.flush();
        }
    }
    if (url.tls) {
        broker.mqtt.caFile = args.has(kCaFileOption) ? args.value(kCaFileOption) : kSystemCaFile;
        // Said now, not at every connection attempt.
        QFile ca(broker.mqtt.caFile);
        if (!ca.open(QIODevice::ReadOnly)) {
            failure(err, QStringLiteral("the CA file %1 cannot be read (%2)")
                             .arg(broker.mqtt.caFile, ca.errorString()));
            return {std::nullopt, kFileFailure};
        }
    }
    return {std::move(broker), kOk};
}

}  // namespace lp::cli
