// record --ha-discovery [DISCOVERY_PREFIX]: Home Assistant's MQTT discovery configs for
// the logger (remote/ha_discovery.h), under DISCOVERY_PREFIX (default "homeassistant").
#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

#include "cli/kit/options.h"
#include "cli/kit/outcome.h"

namespace lp::cli {

struct HaDiscoveryFlags {
    std::optional<QString> prefix;  // empty: given without a prefix
};
[[nodiscard]] std::vector<OptionRow> haDiscoveryRows(HaDiscoveryFlags& flags);

// The discovery prefix; none without the option; a usage mistake without --publish or
// for a prefix that is no topic a logger may publish under.
[[nodiscard]] Outcome<std::optional<QByteArray>> readHaDiscovery(const HaDiscoveryFlags& flags,
                                                                 bool publishing);

}  // namespace lp::cli
