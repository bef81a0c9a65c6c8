// A limit rule as the options give it, read by one parser for `assess limits`,
// `report --assess limits` and `record`: FIGURE,T,FROM-TO,DB ("laeq,15min,23-07,45");
// the logger's rules may add a warning level (",warn=42") and be a rolling LAeq over
// the last T seconds ("laeq~5min,00-24,85", also "laeq~,5min,00-24,85").
#pragma once

#include "cli/kit/outcome.h"
#include "live/limit_watch.h"

namespace lp::cli {

enum class LimitSyntax {
    Assessed,  // FIGURE,T,FROM-TO,DB
    Live,      // and [,warn=DB], laeq~T,FROM-TO,DB[,warn=DB]
};

// The rule of `text`, or the mistake naming the part that is wrong.
[[nodiscard]] Outcome<live::LiveLimitRule> limitRuleOf(const QString& text, LimitSyntax syntax);

}  // namespace lp::cli
