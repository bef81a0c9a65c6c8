#include "cli/assess_exposure_options.h"

#include "cli/kit/numbers.h"

namespace lp::cli {

std::vector<OptionRow> exposureMethodRows(ExposureMethodFlags& o) {
    return {text(QStringLiteral("shift"), QStringLiteral("HH:MM-HH:MM"), o.shift,
                 QStringLiteral("Counts only the records within the shift, each day (like "
                                "07:00-15:30); a shift past midnight belongs to the day it starts "
                                "(default: the calendar day).")),
            text(QStringLiteral("te"), QStringLiteral("HOURS"), o.te,
                 QStringLiteral("The daily exposure time declared, in hours (more than 0, at most "
                                "24), instead of the records' time."))};
}

Outcome<assess::ExposureOptions> exposureOptionsOf(const ExposureMethodFlags& flags) {
    assess::ExposureOptions options;
    if (flags.shift) {
        options.shift = assess::shiftOf(*flags.shift);
        if (!options.shift) {
            return usageMistake(QStringLiteral("--shift takes a shift from one local time to "
                                               "another, HH:MM-HH:MM (like 07:00-15:30), not '%1'")
                                    .arg(*flags.shift));
        }
    }
    if (flags.te) {
        const std::optional<double> hours = decimalOf(*flags.te);
        if (!hours || *hours <= 0.0 || *hours > 24.0) {
            return usageMistake(
                QStringLiteral("--te takes the hours of exposure a day, more than 0 and at most "
                               "24 (like 6.5), not '%1'")
                    .arg(*flags.te));
        }
        options.teHours = *hours;
    }
    return options;
}

}  // namespace lp::cli
