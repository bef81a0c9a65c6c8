// The options of assess rating as typed (RatingFlags, its rows) and read into the
// method's options: the parts and their T_r, the residual, the specific level, the
// corrections with their reasons, the background.
#pragma once

#include "assess/rating.h"
#include "cli/assess_survey.h"

namespace lp::cli {

struct RatingFlags {
    AssessFlags assess;
    std::optional<QString> trDay;
    std::optional<QString> trNight;
    std::optional<QString> day;
    std::optional<QString> night;
    QStringList residual;
    std::optional<QString> residualLevel;
    std::optional<QString> specificLevel;
    std::optional<QString> onTime;
    std::optional<QString> tonal;
    std::optional<QString> impulsive;
    std::optional<QString> intermittency;
    std::optional<QString> other;
    QStringList reasons;  // paired with their corrections from the order typed
    QStringList background;
    std::optional<QString> backgroundLevel;
    std::optional<QString> typical;
};

[[nodiscard]] std::vector<OptionRow> ratingRows(RatingFlags& f);

// The method's options of `flags` (the surveys left to the caller); each --reason
// pairs with the correction typed just before it (`args.options`, in the order typed).
// A mistake names the option and the forms it takes.
[[nodiscard]] Outcome<assess::RatingOptions> readRatingOptions(const RatingFlags& flags,
                                                               const ReadArguments& args);

}  // namespace lp::cli
