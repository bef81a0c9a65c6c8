// What a survey report shows: the options it was worked out with, the analysis, the
// percentile levels of the records that count, and the manifest of what made it.
#pragma once

#include <optional>

#include "assess/manifest.h"
#include "stats/ln_result.h"
#include "stats/survey.h"
#include "survey/report_assessments.h"

namespace lp::survey {

struct ReportContent {
    stats::SurveyOptions options;
    stats::SurveyResult result;
    // Over the counted records (exclusions left out, the correction added), at 0.1 dB.
    stats::LnResult ln;
    ReportAssessments assessments;  // the methods chosen, worked out
    // Listed on the last page and embedded in the PDF (its XMP metadata, and attached as
    // manifest.json), so that `levelpanel-cli verify` can check the files; none: neither.
    std::optional<assess::Manifest> manifest;
};

// The analysis of records read before (readSurvey), with the Ln of its counted records
// and the assessments whose options `assessments` holds worked out.
[[nodiscard]] ReportContent reportContent(const stats::SurveyRecords& records,
                                          const stats::SurveyOptions& options,
                                          ReportAssessments assessments = {});

}  // namespace lp::survey
