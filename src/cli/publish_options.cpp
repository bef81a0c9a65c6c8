#include "cli/publish_options.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSysInfo>
#include <algorithm>

#include "cli/broker_arguments.h"
#include "remote/topic_rules.h"

namespace lp::cli {
namespace {

const QString kPublish = QStringLiteral("publish");
const QString kId = QStringLiteral("id");

// A topic's levels as a logger may name them: none empty, no wildcard.
bool isTopicPath(const QString& path) {
    if (path.isEmpty() || path.contains(u'+') || path.contains(u'#')) {
        return false;
    }
    const QStringList levels = path.split(u'/');
    return std::none_of(levels.cbegin(), levels.cend(),
                        [](const QString& level) { return level.isEmpty(); });
}

}  // namespace

PublishRead readPublishOptions(const Arguments& args, QTextStream& err) {
    const auto usage = [&err](const QString& message) {
        usageError(err, message);
        return PublishRead{std::nullopt, kUsageError};
    };
    if (!args.has(kPublish)) {
        for (const QString& name : {kId, kPasswordFileOption, kCaFileOption}) {
            if (args.has(name)) {
                return usage(QStringLiteral("--%1 needs --publish").arg(name));
            }
        }
        return {};
    }
    BrokerRead broker = readBroker(args.value(kPublish), args, err);
    if (!broker.broker) {
        return {std::nullopt, broker.status};
    }
    PublishSetup setup;
    setup.mqtt = std::move(broker.broker->mqtt);
    const QString& prefix = broker.broker->prefix;
    const QString name = args.has(kId) ? args.value(kId) : QSysInfo::machineHostName();
    const QString whose = args.has(kId) ? QStringLiteral("--id") : QStringLiteral("the host name");
    if (name.contains(u'/') || !isTopicPath(name)) {
        return usage(args.has(kId)
                         ? QStringLiteral("--id '%1' is no topic level (no /, + or #)").arg(name)
                         : QStringLiteral("the host name '%1' is no topic level: "
                                          "give the logger's name with --id NAME")
                               .arg(name));
    }
    // What libmosquitto would refuse only at the first connection attempt, while the
    // recording runs.
    if (const std::optional<QString> unfit = remote::topicCharacterProblem(name)) {
        return usage(QStringLiteral("%1 holds %2, which MQTT topics cannot carry%3")
                         .arg(whose, *unfit,
                              args.has(kId) ? QString()
                                            : QStringLiteral(": give the logger's name with "
                                                             "--id NAME")));
    }
    setup.topic = (prefix + u'/' + name).toUtf8();
    // A client id of this process alone: two loggers given one name (both default to the
    // host name) would otherwise push each other off the broker every few seconds.
    setup.mqtt.clientId = QStringLiteral("levelpanel/%1/%2-%3")
                              .arg(QString::fromUtf8(setup.topic))
                              .arg(QCoreApplication::applicationPid())
                              .arg(QRandomGenerator::system()->generate(), 8, 16, QChar(u'0'));
    // The client id is the longest text MQTT carries for the logger.
    const qsizetype over = setup.mqtt.clientId.toUtf8().size() - remote::kMqttStringLimit;
    if (over > 0) {
        return usage(QStringLiteral("the prefix and %1 are %2 byte(s) too long for MQTT (%3 "
                                    "bytes of UTF-8 at most for both)")
                         .arg(whose)
                         .arg(over)
                         .arg(setup.topic.size() - over));
    }
    return {std::move(setup), kOk};
}

}  // namespace lp::cli
