// The options the survey commands share, read from a command's arguments into the
// survey core's options: --every, --exclude, the day parts, the penalties and the
// event rule.
#pragma once

#include <QString>
#include <QTimeZone>
#include <optional>
#include <variant>

#include "cli/kit/cli_arguments.h"
#include "stats/survey.h"

namespace lp::cli {

// A period length as given to --every: "Nmin" or "Nh", from 1min to 24h, a whole
// part of a day; none for any other text.
[[nodiscard]] std::optional<qint64> periodLengthOf(const QString& text);

// A span given to --exclude as "FROM/TO", both local times in `zone`
// ("2026-12-06T22:00:00", or "2026-12-06T22:00" without seconds); a time the clocks
// repeat is its first pass unless a UTC offset names the pass ("...T02:30:00+01:00").
// A mistake when it is no such span or a bound lies in the hour the clocks skip.
[[nodiscard]] std::variant<stats::TimeRange, UsageMistake> excludedSpanOf(const QString& text,
                                                                          const QTimeZone& zone);

// The survey options in `args`; `events` when the command looks for events (then
// --above is needed). A mistake names the option and the forms it takes.
[[nodiscard]] std::variant<stats::SurveyOptions, UsageMistake> readSurveyOptions(
    const Arguments& args, bool events, const QTimeZone& zone);

}  // namespace lp::cli
