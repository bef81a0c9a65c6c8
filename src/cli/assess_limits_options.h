// The options of limits by time of day, shared by `assess limits` and
// `report --assess limits`: their rows and their reading into the core's options.
#pragma once

#include "assess/limits.h"
#include "cli/kit/options.h"
#include "cli/kit/outcome.h"

namespace lp::cli {

struct LimitMethodFlags {
    QStringList limits;
    std::optional<QString> guideline;
};

// --limit (repeatable), --guideline.
[[nodiscard]] std::vector<OptionRow> limitMethodRows(LimitMethodFlags& flags);

// The rules and the guideline; `command` names who needs one of them.
[[nodiscard]] Outcome<assess::LimitOptions> limitOptionsOf(const LimitMethodFlags& flags,
                                                           const QString& command);

}  // namespace lp::cli
