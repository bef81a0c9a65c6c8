#include "cli/day_and_night.h"

#include "cli/survey_arguments.h"

namespace lp::cli {

Outcome<std::vector<assess::DayPart>> readDayAndNight(const std::optional<QString>& day,
                                                      const std::optional<QString>& night,
                                                      const QString& dayOption,
                                                      const QString& nightOption) {
    const QString* names[2] = {&dayOption, &nightOption};
    std::vector<assess::DayPart> parts = assess::dayAndNight();
    const std::optional<QString>* texts[2] = {&day, &night};
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
                .arg(dayOption, partHoursText(parts[0]), nightOption, partHoursText(parts[1])));
    }
    return parts;
}

}  // namespace lp::cli
