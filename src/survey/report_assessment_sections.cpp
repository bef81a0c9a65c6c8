#include "survey/report_assessment_sections.h"

namespace lp::survey {

bool subheading(ReportFlow& flow, const QString& text, double keepWith) {
    const double space = flow.pt(6);
    if (!flow.ensure(space + flow.textHeight(flow.fonts().heading, text) + keepWith)) {
        return false;
    }
    flow.advance(space);
    return flow.paragraph(flow.fonts().heading, text);
}

bool methodParagraph(ReportFlow& flow, const QString& name, const QString& text) {
    return subheading(flow, name, flow.textHeight(flow.fonts().text, text)) &&
           flow.paragraph(flow.fonts().text, text);
}

bool assessmentSections(ReportFlow& flow, const ReportContent& content) {
    return backgroundAssessmentSection(flow, content) && ratingAssessmentSection(flow, content) &&
           exposureAssessmentSection(flow, content) && loudEventsAssessmentSection(flow, content) &&
           limitsAssessmentSection(flow, content);
}

}  // namespace lp::survey
