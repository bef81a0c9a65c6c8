#include "cli/assess_exposure_options.h"

#include <QRegularExpression>

#include "cli/kit/numbers.h"

namespace lp::cli {
namespace {

// "07:00-15:30" as a shift; none for any other text.
std::optional<assess::Shift> shiftOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d\\d):(\\d\\d)-(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const auto minuteOf = [&match](int hour, int minute) {
        const int h = match.captured(hour).toInt();
        const int m = match.captured(minute).toInt();
        return h < 24 && m < 60 ? h * 60 + m : -1;
    };
    const assess::Shift shift{minuteOf(1, 2), minuteOf(3, 4)};
    if (assess::shiftProblem(shift)) {
        return std::nullopt;
    }
    return shift;
}

}  // namespace

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
        options.shift = shiftOf(*flags.shift);
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
