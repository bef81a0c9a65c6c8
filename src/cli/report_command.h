// Painting the survey's PDF report for `levelpanel-cli report`, in levelpanel-cli-report
// (report_main.cpp): Qt Gui, under a QGuiApplication.
#pragma once

#include "cli/command.h"
#include "cli/survey_commands.h"

namespace lp::cli {

// The report of the files with the options of `report` (reportRows()).
[[nodiscard]] int paintReport(const ReportOptions& options, const ReadArguments& args,
                              CommandIo& io);

}  // namespace lp::cli
