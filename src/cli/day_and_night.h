// The two parts of a day the background and the rating take, by --day and --night
// (07-23 and 23-07 by default), and their hours as the options write them.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "assess/assess_input.h"
#include "cli/kit/outcome.h"

namespace lp::cli {

using assess::partHoursText;
// The day and the night by --day and --night (default 07-23 and 23-07): the two follow
// one another over 24 hours, so one given makes the other the rest of the day. A
// mistake names the option and the form it takes.
// `dayOption` and `nightOption` name the options as the command spells them.
[[nodiscard]] Outcome<std::vector<assess::DayPart>> readDayAndNight(
    const std::optional<QString>& day, const std::optional<QString>& night,
    const QString& dayOption = QStringLiteral("day"),
    const QString& nightOption = QStringLiteral("night"));

}  // namespace lp::cli
