// The report's sections, in order, laid out on a flow: the title block, the time
// history, the periods, the day/evening/night levels with Lden, the percentile levels
// with their histogram, the events, and the manifest on the last page when there is one.
#pragma once

#include <QDateTime>
#include <optional>

#include "survey/report_content.h"
#include "survey/report_flow.h"

namespace lp::survey {

// At most this many events are listed; the report says how many there were in all.
inline constexpr int kReportEventRows = 1000;
// Periods are listed only up to this many (about 50 pages); more, and the report says
// to choose longer ones.
inline constexpr int kReportPeriodRows = 3000;

// The line at the top of every page: the files and the days they cover.
[[nodiscard]] QString reportRunningHead(const ReportContent& content);

// False when the report stopped part way.
bool layOutReport(ReportFlow& flow, const ReportContent& content,
                  const std::optional<QDateTime>& madeAt);

}  // namespace lp::survey
