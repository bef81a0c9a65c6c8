// The options the survey commands share, read from a command's arguments into the
// survey core's options: --every, --exclude, the day parts, the penalties and the
// event rule.
#pragma once

#include <QString>
#include <QTimeZone>
#include <optional>
#include <variant>

#include "app/cli/cli_arguments.h"
#include "stats/survey.h"

namespace lp::app::cli {

// A period length as given to --every: "Nmin" or "Nh", from 1min to 24h, a whole
// part of a day; none for any other text.
[[nodiscard]] std::optional<qint64> periodLengthOf(const QString& text);

// A span given to --exclude as "FROM/TO", both local times "2026-12-06T22:00:00" in
// `zone`; none when it is not one.
[[nodiscard]] std::optional<stats::TimeRange> excludedSpanOf(const QString& text,
                                                             const QTimeZone& zone);

// The survey options in `args`; `events` when the command looks for events (then
// --above is needed). A mistake names the option and the forms it takes.
[[nodiscard]] std::variant<stats::SurveyOptions, UsageMistake> readSurveyOptions(
    const Arguments& args, bool events, const QTimeZone& zone);

}  // namespace lp::app::cli
