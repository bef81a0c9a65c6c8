// The assessments a report shows beside the survey's figures, each with the options it
// was worked out with: none, one or several methods (`report --assess`, the Survey
// window's Assessment tab).
#pragma once

#include <optional>

#include "assess/background.h"
#include "assess/exposure.h"
#include "assess/limits.h"
#include "assess/loud_events.h"
#include "assess/rating.h"
#include "stats/figure_notation.h"

namespace lp::survey {

struct ReportAssessments {
    stats::Notation notation;  // how the figures are labelled
    double adjust = 0.0;       // the correction added to every counted level, dB
    std::optional<assess::BackgroundOptions> backgroundOptions;
    std::optional<assess::BackgroundResult> background;
    // The residual and the background as levels (surveys of them are not read here).
    std::optional<assess::RatingOptions> ratingOptions;
    std::optional<assess::RatingResult> rating;
    std::optional<assess::ExposureOptions> exposureOptions;
    std::optional<assess::ExposureResult> exposure;
    // Its rule and hours are the survey's events and parts of the day, set as it is
    // worked out: the report's --above is the one threshold of both.
    std::optional<assess::LoudEventOptions> loudEventOptions;
    std::optional<assess::LoudEventResult> loudEvents;
    std::optional<assess::LimitOptions> limitOptions;
    std::optional<assess::LimitResult> limits;

    [[nodiscard]] bool any() const {
        return background || rating || exposure || loudEvents || limits;
    }
};

// Works out the methods whose options are set, over the survey's counted samples.
void assessForReport(ReportAssessments& assessments, const stats::SurveyRecords& records,
                     const stats::SurveyOptions& options);

}  // namespace lp::survey
