// The words of the panel's limits window beside the watch's status line
// (live::limitStatusText): a rule in the logger's --limit syntax, its hours, the line
// of a rule no sample has gone through yet, and the lamp's word.
#pragma once

#include <QString>

#include "live/limit_watch.h"

namespace lp::panel {

// "laeq,15min,23-07,45,warn=42", "laeq~5min,00-24,85": the rule in the logger's
// syntax (the limit and warning as short as they are exact: "45", "42.5").
[[nodiscard]] QString limitRuleText(const live::LiveLimitRule& rule);

// "23-07", "00-24": the rule's hours.
[[nodiscard]] QString limitHoursText(const live::LiveLimitRule& rule);

// "laeq,15min,00-24,80: no sample yet": a rule no sample has gone through since it was set.
[[nodiscard]] QString limitPendingText(const live::LiveLimitRule& rule);

// The lamp's word: "quiet", "warning", "alarm"; "off" outside the rule's hours.
[[nodiscard]] QString limitLampText(const live::LimitStatus& status);

}  // namespace lp::panel
