#include "cli/assess_background_options.h"

#include "cli/day_and_night.h"
#include "cli/survey_arguments.h"

namespace lp::cli {
std::vector<OptionRow> backgroundMethodRows(BackgroundMethodFlags& o) {
    return {
        text(QStringLiteral("interval"), QStringLiteral("15min"), o.interval,
             QStringLiteral("The reference interval T, Nmin or Nh that divides a day "
                            "(default 15min); aligned to local midnight.")),
        text(o.dayOption, QStringLiteral("07-23"), o.day,
             QStringLiteral("The hours of the day, HH-HH (default 07-23).")),
        text(o.nightOption, QStringLiteral("23-07"), o.night,
             QStringLiteral("The hours of the night (default 23-07); day and night follow "
                            "one another over 24 hours.")),
        text(QStringLiteral("typical"), QStringLiteral("mode|median|p10"), o.typical,
             QStringLiteral("The typical value of a part: the most frequent whole dB "
                            "(default), the median or the 10th percentile.")),
        flag(QStringLiteral("rbl"), o.rbl,
             QStringLiteral("Also the NSW ABL per day and part (day 07-18, evening 18-22, "
                            "night 22-07) and the RBL per part.")),
    };
}

Outcome<assess::BackgroundOptions> backgroundOptionsOf(const BackgroundMethodFlags& flags,
                                                       double minCoverage) {
    assess::BackgroundOptions options;
    options.minCoverage = minCoverage;
    options.rbl = flags.rbl;
    if (flags.interval) {
        const std::optional<qint64> length = periodLengthOf(*flags.interval);
        if (!length) {
            return usageMistake(QStringLiteral("--interval takes Nmin or Nh from 1min to 24h that "
                                               "divides a day into whole intervals (like 15min "
                                               "or 1h), not '%1'")
                                    .arg(*flags.interval));
        }
        options.interval = *length;
    }
    const Outcome<std::vector<assess::DayPart>> parts =
        readDayAndNight(flags.day, flags.night, flags.dayOption, flags.nightOption);
    if (!parts) {
        return parts.refusal();
    }
    options.parts = *parts;
    if (flags.typical) {
        if (*flags.typical == QStringLiteral("mode")) {
            options.typical = assess::Typical::Mode;
        } else if (*flags.typical == QStringLiteral("median")) {
            options.typical = assess::Typical::Median;
        } else if (*flags.typical == QStringLiteral("p10")) {
            options.typical = assess::Typical::P10;
        } else {
            return usageMistake(QStringLiteral("--typical takes mode, median or p10, not '%1'")
                                    .arg(*flags.typical));
        }
    }
    return options;
}

}  // namespace lp::cli
