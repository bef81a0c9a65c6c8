// What a survey report shows: the options it was worked out with, the analysis, and
// the percentile levels of the records that count.
#pragma once

#include "stats/ln_result.h"
#include "stats/survey.h"

namespace lp::survey {

struct ReportContent {
    stats::SurveyOptions options;
    stats::SurveyResult result;
    // Over the counted records (exclusions left out, the correction added), at 0.1 dB.
    stats::LnResult ln;
};

// The analysis of records read before (readSurvey), with the Ln of its counted records.
[[nodiscard]] ReportContent reportContent(const stats::SurveyRecords& records,
                                          const stats::SurveyOptions& options);

}  // namespace lp::survey
