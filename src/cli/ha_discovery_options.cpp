#include "cli/ha_discovery_options.h"

#include "remote/topic_rules.h"

namespace lp::cli {

std::vector<OptionRow> haDiscoveryRows(HaDiscoveryFlags& flags) {
    return {optionalText(
        QStringLiteral("ha-discovery"), QStringLiteral("DISCOVERY_PREFIX"), flags.prefix,
        QStringLiteral("Publishes Home Assistant's MQTT discovery configs, retained, under "
                       "DISCOVERY_PREFIX (default homeassistant) on every connection: a sensor "
                       "of the level, one per period length, a binary sensor per limit rule; "
                       "needs --publish."))};
}

Outcome<std::optional<QByteArray>> readHaDiscovery(const HaDiscoveryFlags& flags, bool publishing) {
    if (!flags.prefix) {
        return std::optional<QByteArray>();
    }
    if (!publishing) {
        return usageMistake(QStringLiteral("--ha-discovery needs --publish"));
    }
    const QString prefix =
        flags.prefix->isEmpty() ? QStringLiteral("homeassistant") : *flags.prefix;
    const bool emptyLevel = prefix.split(u'/').contains(QString());
    if (emptyLevel || remote::topicCharacterProblem(prefix)) {
        return usageMistake(
            QStringLiteral("--ha-discovery '%1' is no topic prefix (levels not empty, no + or #, "
                           "no control characters)")
                .arg(prefix));
    }
    return std::optional<QByteArray>(prefix.toUtf8());
}

}  // namespace lp::cli
