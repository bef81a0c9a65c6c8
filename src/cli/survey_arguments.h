// The options the survey commands share, as rows of their tables and then read into
// the survey core's options: --every, --exclude, the day parts, the penalties, the
// event rule, and the form of the output.
#pragma once

#include <QString>
#include <QTimeZone>
#include <optional>

#include "cli/kit/options.h"
#include "stats/figure_notation.h"
#include "stats/survey.h"

namespace lp::cli {

// A period length as given to --every: "Nmin" or "Nh", from 1min to 24h, a whole
// part of a day; none for any other text.
[[nodiscard]] std::optional<qint64> periodLengthOf(const QString& text);

// A span given to --exclude as "FROM/TO", both local times in `zone`
// ("2026-12-06T22:00:00", or "2026-12-06T22:00" without seconds); a time the clocks
// repeat is its first pass unless a UTC offset names the pass ("...T02:30:00+01:00").
// A mistake when it is no such span or a bound lies in the hour the clocks skip.
[[nodiscard]] Outcome<stats::TimeRange> excludedSpanOf(const QString& text, const QTimeZone& zone);

// The survey options as typed, each as its row stores it.
struct SurveyFlags {
    std::optional<QString> every;
    QStringList exclude;
    std::optional<QString> day;
    std::optional<QString> evening;
    std::optional<QString> night;
    std::optional<QString> penalties;
    std::optional<QString> above;
    std::optional<QString> minDuration;
    std::optional<QString> bridge;
    std::optional<QString> adjust;
    std::optional<QString> weighting;
    std::optional<QString> response;
    bool json = false;
    bool csv = false;
};

// The row of the survey option `name` ("every", "exclude", "day", "evening", "night",
// "penalties", "above", "min-duration", "bridge", "adjust", "weighting", "response",
// "json", "csv") into `flags`.
[[nodiscard]] OptionRow surveyRow(const QString& name, SurveyFlags& flags);

// The survey options of `flags`; `events` when the command looks for events (then
// --above is needed). A mistake names the option and the forms it takes.
// "07-23": the local hours a part of the day runs from and to (0..24 each); none for
// any other text.
[[nodiscard]] std::optional<std::pair<int, int>> partHoursOf(const QString& text);

// The weighting and response declared by --weighting and --response (for files
// without metadata); a mistake names the option and the letters it takes.
[[nodiscard]] Outcome<stats::Notation> readDeclaredNotation(const SurveyFlags& flags);

[[nodiscard]] Outcome<stats::SurveyOptions> readSurveyOptions(const SurveyFlags& flags, bool events,
                                                              const QTimeZone& zone);

}  // namespace lp::cli
