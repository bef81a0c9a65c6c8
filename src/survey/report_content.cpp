#include "survey/report_content.h"

#include "stats/sample_ln.h"

namespace lp::survey {

ReportContent reportContent(const stats::SurveyRecords& records,
                            const stats::SurveyOptions& options, ReportAssessments assessments) {
    ReportContent content{options, stats::analyseSurvey(records, options), {}, {}, {}};
    if (content.result.failure) {
        return content;
    }
    // The sections label their figures as the rest of the report does.
    assessments.notation = content.result.notation;
    assessForReport(assessments, records, options);
    content.assessments = std::move(assessments);
    qint64 excluded = 0;
    content.ln = options.exclusions.empty() && options.adjust == 0.0 && records.store.empty()
                     ? stats::lnOfSamples(records.samples)
                     : stats::lnOfSamples(stats::countedSamples(records, options, excluded));
    return content;
}

}  // namespace lp::survey
