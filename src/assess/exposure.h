// Daily noise exposure at work (Directive 2003/10/EC, ISO 9612): per local calendar
// day or per shift, the exposure time Te, LAeq,Te, LEX,8h, the dose against 85 dB(A),
// and the weekly LEX,w over the days; judged against the action values.
#pragma once

#include <QDate>

#include "assess/assess_input.h"

namespace lp::assess {

// A shift by local clock minutes of the day; it belongs to the day it starts on and
// may run past midnight (22:00-06:00).
struct Shift {
    int fromMinute = 0;
    int toMinute = 0;
};

// Why a shift cannot be used (a time outside the day, or no time between its ends);
// none when it can.
[[nodiscard]] std::optional<QString> shiftProblem(const Shift& shift);
// "07:00-15:30" as a shift; none for any other text or a shift that cannot be used.
[[nodiscard]] std::optional<Shift> shiftOf(const QString& text);

struct ExposureOptions {
    std::optional<Shift> shift;
    // The daily exposure time declared, in hours (instead of the records' time).
    std::optional<double> teHours;
};

enum class ExposureVerdict { Below, LowerAction, UpperAction, LimitValue };
// "below the lower action value", "lower action value (80 dB(A))", ...
[[nodiscard]] QString verdictText(ExposureVerdict verdict);
// snake_case for JSON: "below", "lower_action_value", "upper_action_value",
// "exposure_limit_value".
[[nodiscard]] QString verdictKey(ExposureVerdict verdict);
// By LEX,8h as shown: >= 87, >= 85, >= 80, else below.
[[nodiscard]] ExposureVerdict verdictOf(double lex8h);

struct ExposureDay {
    QDate date;
    qint64 teSeconds = 0;  // counted records × S (or --te)
    // The counted records; those out of range count in Te but stay out of LAeq,Te,
    // which is then a bound.
    qint64 records = 0;
    stats::OutOfRange outOfRange{};
    std::optional<double> laeq;
    std::optional<double> lex8h;
    std::optional<double> dose;  // percent
    std::optional<ExposureVerdict> verdict;
};

struct ExposureResult {
    std::vector<ExposureDay> days;
    std::optional<double> lexW;  // over more than one day
};

[[nodiscard]] ExposureResult assessExposure(const SurveyInput& input,
                                            const ExposureOptions& options);

}  // namespace lp::assess
