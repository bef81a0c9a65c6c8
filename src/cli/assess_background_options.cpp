#include "cli/assess_background_options.h"

#include "cli/survey_arguments.h"

namespace lp::cli {
QString hoursText(const assess::DayPart& part) {
    return QStringLiteral("%1-%2")
        .arg(part.from, 2, 10, QLatin1Char('0'))
        .arg(part.to, 2, 10, QLatin1Char('0'));
}

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

Outcome<std::vector<assess::DayPart>> dayNightOf(const std::optional<QString>& day,
                                                 const std::optional<QString>& night,
                                                 const QString& dayOption,
                                                 const QString& nightOption) {
    std::vector<assess::DayPart> parts = assess::dayAndNight();
    const std::optional<QString>* texts[2] = {&day, &night};
    const QString* names[2] = {&dayOption, &nightOption};
    std::optional<std::pair<int, int>> given[2];
    for (size_t i = 0; i < 2; ++i) {
        if (!*texts[i]) {
            continue;
        }
        given[i] = partHoursOf(**texts[i]);
        if (!given[i] || given[i]->first % 24 == given[i]->second % 24) {
            return usageMistake(QStringLiteral("--%1 takes the hours it runs from and to as HH-HH "
                                               "(0..24, like 07-23), not '%2'")
                                    .arg(*names[i], **texts[i]));
        }
    }
    for (size_t i = 0; i < 2; ++i) {
        const size_t other = 1 - i;
        if (given[i]) {
            parts[i].from = given[i]->first % 24;
            parts[i].to = given[i]->second % 24;
        } else if (given[other]) {
            parts[i].from = given[other]->second % 24;
            parts[i].to = given[other]->first % 24;
        }
    }
    if (parts[0].to != parts[1].from || parts[1].to != parts[0].from) {
        return usageMistake(
            QStringLiteral("the day and the night follow one another over 24 "
                           "hours: each begins where the other ends (not "
                           "--%1 %2 --%3 %4)")
                .arg(dayOption, hoursText(parts[0]), nightOption, hoursText(parts[1])));
    }
    return parts;
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
        dayNightOf(flags.day, flags.night, flags.dayOption, flags.nightOption);
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

QString typicalName(assess::Typical typical) {
    switch (typical) {
        case assess::Typical::Mode:
            return QStringLiteral("the mode");
        case assess::Typical::Median:
            return QStringLiteral("the median");
        case assess::Typical::P10:
            return QStringLiteral("the 10th percentile");
    }
    return {};
}

}  // namespace lp::cli
