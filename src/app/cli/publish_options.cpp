#include "app/cli/publish_options.h"

#include <QSysInfo>
#include <algorithm>

#include "app/cli/broker_arguments.h"

namespace lp::app::cli {
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
    if (name.contains(u'/') || !isTopicPath(name)) {
        return usage(args.has(kId)
                         ? QStringLiteral("--id '%1' is no topic level (no /, + or #)").arg(name)
                         : QStringLiteral("the host name '%1' is no topic level: "
                                          "give the logger's name with --id NAME")
                               .arg(name));
    }
    setup.topic = (prefix + u'/' + name).toUtf8();
    setup.mqtt.clientId = QStringLiteral("levelpanel/") + QString::fromUtf8(setup.topic);
    return {std::move(setup), kOk};
}

}  // namespace lp::app::cli
