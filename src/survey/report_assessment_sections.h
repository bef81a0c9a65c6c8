// The report's assessment sections, one per method chosen, after the survey's own: for
// each the inputs, the method statement (the rules and formulas in words), the tables
// and, for the background, its histograms.
#pragma once

#include "survey/report_content.h"
#include "survey/report_flow.h"

namespace lp::survey {

// Each lays out its method's section when the method was chosen (true, with nothing
// laid out, when not); false when the report stopped.
bool backgroundAssessmentSection(ReportFlow& flow, const ReportContent& content);
bool ratingAssessmentSection(ReportFlow& flow, const ReportContent& content);
bool exposureAssessmentSection(ReportFlow& flow, const ReportContent& content);
bool loudEventsAssessmentSection(ReportFlow& flow, const ReportContent& content);
bool limitsAssessmentSection(ReportFlow& flow, const ReportContent& content);

// All of them, in the order background, rating, exposure, events, limits.
bool assessmentSections(ReportFlow& flow, const ReportContent& content);

// A heading within a section, a little below what comes before and kept with
// `keepWith` of room below it.
bool subheading(ReportFlow& flow, const QString& text, double keepWith);

// "Inputs" and "Method" paragraphs as the sections begin: a bold name, then the text.
bool methodParagraph(ReportFlow& flow, const QString& name, const QString& text);

}  // namespace lp::survey
