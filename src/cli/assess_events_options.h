// The options of loud events, shared by `assess events` and `report --assess events`:
// their rows and their reading into the core's options. The events themselves (--above,
// --min-duration, --bridge) and the parts of the day are the survey's options.
#pragma once

#include "assess/loud_events.h"
#include "cli/kit/options.h"
#include "cli/kit/outcome.h"

namespace lp::cli {

struct LoudEventMethodFlags {
    std::optional<QString> window;
    std::optional<QString> nth;
};

// --window, --nth.
[[nodiscard]] std::vector<OptionRow> loudEventMethodRows(LoudEventMethodFlags& flags);

// The window and the nth; the rule and the hours are left for the survey's options.
[[nodiscard]] Outcome<assess::LoudEventOptions> loudEventOptionsOf(
    const LoudEventMethodFlags& flags);

}  // namespace lp::cli
