// The options of the background sound level, shared by `assess background` and
// `report --assess background`: their rows and their reading into the core's options.
#pragma once

#include "assess/background.h"
#include "cli/kit/options.h"
#include "cli/kit/outcome.h"

namespace lp::cli {

struct BackgroundMethodFlags {
    std::optional<QString> interval;
    std::optional<QString> day;
    std::optional<QString> night;
    std::optional<QString> typical;
    bool rbl = false;
    // The names the day and night hours are given by: the report's own --day is the
    // Lden day, so there they are --assess-day and --assess-night.
    QString dayOption = QStringLiteral("day");
    QString nightOption = QStringLiteral("night");
};

// --interval, --day, --night (by their names in `flags`), --typical, --rbl.
[[nodiscard]] std::vector<OptionRow> backgroundMethodRows(BackgroundMethodFlags& flags);

[[nodiscard]] Outcome<assess::BackgroundOptions> backgroundOptionsOf(
    const BackgroundMethodFlags& flags, double minCoverage);

using assess::typicalName;

}  // namespace lp::cli
