#include "survey/report_assessments.h"

namespace lp::survey {

void assessForReport(ReportAssessments& a, const stats::SurveyRecords& records,
                     const stats::SurveyOptions& options) {
    if (!a.backgroundOptions && !a.ratingOptions && !a.exposureOptions && !a.loudEventOptions &&
        !a.limitOptions) {
        return;
    }
    qint64 excluded = 0;
    const platform::LargeVector<stats::LevelSample> samples =
        stats::countedSamples(records, options, excluded);
    const assess::SurveyInput input{records, samples};
    a.adjust = options.adjust;
    if (a.backgroundOptions) {
        a.background = assess::assessBackground(input, *a.backgroundOptions);
    }
    if (a.ratingOptions) {
        a.rating = assess::assessRating(input, *a.ratingOptions);
    }
    if (a.exposureOptions) {
        a.exposure = assess::assessExposure(input, *a.exposureOptions);
    }
    if (a.loudEventOptions && options.events) {
        a.loudEventOptions->rule = *options.events;
        a.loudEventOptions->hours = options.dayParts;
        a.loudEvents = assess::assessLoudEvents(input, *a.loudEventOptions);
    }
    if (a.limitOptions) {
        a.limits = assess::assessLimits(input, *a.limitOptions);
    }
}

}  // namespace lp::survey
