// The report's sections, in order, laid out on a flow: the title block, the time
// history, the periods, the day/evening/night levels with Lden, the percentile levels
// with their histogram, and the events.
#pragma once

#include <QDateTime>
#include <optional>

#include "survey/report_content.h"
#include "survey/report_flow.h"

namespace lp::survey {

// The line at the top of every page: the files and the days they cover.
[[nodiscard]] QString reportRunningHead(const ReportContent& content);

// False when the report stopped part way.
bool layOutReport(ReportFlow& flow, const ReportContent& content,
                  const std::optional<QDateTime>& madeAt);

}  // namespace lp::survey
