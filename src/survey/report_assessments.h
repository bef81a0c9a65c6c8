// The assessments a report shows beside the survey's figures, each with the options it
// was worked out with: none, one or several methods (`report --assess`, the Survey
// window's Assessment tab).
#pragma once

#include <optional>

#include "assess/background.h"
#include "assess/limits.h"
#include "stats/figure_notation.h"

namespace lp::survey {

struct ReportAssessments {
    stats::Notation notation;  // how the figures are labelled
    double adjust = 0.0;       // the correction added to every counted level, dB
    std::optional<assess::BackgroundOptions> backgroundOptions;
    std::optional<assess::BackgroundResult> background;
    std::optional<assess::LimitOptions> limitOptions;
    std::optional<assess::LimitResult> limits;

    [[nodiscard]] bool any() const { return background || limits; }
};

// Works out the methods whose options are set, over the survey's counted samples.
void assessForReport(ReportAssessments& assessments, const stats::SurveyRecords& records,
                     const stats::SurveyOptions& options);

}  // namespace lp::survey
