// Painting the survey's PDF report for `levelpanel-cli report`, in levelpanel-cli-report
// (report_main.cpp): Qt Gui, under a QGuiApplication.
#pragma once

#include "app/cli/cli.h"
#include "app/cli/cli_arguments.h"

namespace lp::app::cli {

// The report of the files with the options of `report` (reportOptions()).
[[nodiscard]] int paintReport(const Arguments& args, CommandIo& io);

}  // namespace lp::app::cli
