// Painting the survey's PDF report for `levelpanel-cli report`, in levelpanel-cli-report
// (report_main.cpp): Qt Gui, under a QGuiApplication.
#pragma once

#include "cli/command.h"
#include "cli/kit/cli_arguments.h"

namespace lp::cli {

// The report of the files with the options of `report` (reportOptions()).
[[nodiscard]] int paintReport(const Arguments& args, CommandIo& io);

}  // namespace lp::cli
