#include "cli/publish_options.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSysInfo>
#include <algorithm>

#include "cli/broker_arguments.h"
#include "remote/topic_rules.h"

namespace lp::cli {
namespace {

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

std::vector<OptionRow> publishRows(PublishFlags& flags) {
    std::vector<OptionRow> rows{
        text(QStringLiteral("publish"), QStringLiteral("mqtt://[USER@]HOST[:PORT]/PREFIX"),
             flags.publish,
             QStringLiteral("Sends each record, once on disk, to the MQTT broker as JSON on "
                            "PREFIX/NAME/sample (QoS 1), each alarm's start and end on "
                            "PREFIX/NAME/event, each line of the run metadata on "
                            "PREFIX/NAME/meta, and the logger's state on PREFIX/NAME/status "
                            "(retained: online, stopped, offline when it vanished); mqtts:// "
                            "is TLS (port 8883). While the broker is away the records wait in "
                            "their files and go out in order when it is back, also after a "
                            "restart (FILE.published, FILE.meta-published: how far)."))
            .needing(QStringLiteral("a broker URL")),
        text(QStringLiteral("id"), QStringLiteral("NAME"), flags.id,
             QStringLiteral("The logger's NAME under PREFIX (default: the host name)."))};
    for (OptionRow& row : brokerRows(flags.broker)) {
        rows.push_back(std::move(row));
    }
    return rows;
}

Outcome<std::optional<PublishSetup>> readPublishOptions(const PublishFlags& flags, Talk& talk) {
    const auto usage = [](const QString& message) { return usageMistake(message); };
    if (!flags.publish) {
        for (const auto& [name, given] :
             {std::pair{kId, flags.id.has_value()},
              std::pair{QStringLiteral("password-file"), flags.broker.passwordFile.has_value()},
              std::pair{QStringLiteral("cafile"), flags.broker.caFile.has_value()}}) {
            if (given) {
                return usage(QStringLiteral("--%1 needs --publish").arg(name));
            }
        }
        return std::optional<PublishSetup>();
    }
    Outcome<Broker> broker = readBroker(*flags.publish, flags.broker, talk);
    if (!broker) {
        return broker.refusal();
    }
    PublishSetup setup;
    setup.mqtt = std::move(broker->mqtt);
    const QString& prefix = broker->prefix;
    const bool named = flags.id.has_value();
    const QString name = named ? *flags.id : QSysInfo::machineHostName();
    const QString whose = named ? QStringLiteral("--id") : QStringLiteral("the host name");
    if (name.contains(u'/') || !isTopicPath(name)) {
        return usage(named ? QStringLiteral("--id '%1' is no topic level (no /, + or #)").arg(name)
                           : QStringLiteral("the host name '%1' is no topic level: "
                                            "give the logger's name with --id NAME")
                                 .arg(name));
    }
    // What libmosquitto would refuse only at the first connection attempt, while the
    // recording runs.
    if (const std::optional<QString> unfit = remote::topicCharacterProblem(name)) {
        return usage(QStringLiteral("%1 holds %2, which MQTT topics cannot carry%3")
                         .arg(whose, *unfit,
                              named ? QString()
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
    return std::optional<PublishSetup>(std::move(setup));
}

}  // namespace lp::cli
