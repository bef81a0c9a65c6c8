// The commands on a survey, one or more record files taken together in time order:
//
//   periods FILE... [--every 1h] [--json|--csv]      the figures of each period
//   lden FILE... [--day 07-19] [--evening 19-23] [--night 23-07] [--penalties 5,10]
//        [--json]                                    Lday, Levening, Lnight, Lden
//   events FILE... --above L [--min-duration S] [--bridge S] [--json|--csv]
//   report FILE... --pdf OUT [--every 1h] [--above L] ...  the PDF report
//
// Each takes --exclude FROM/TO (repeatable). Levels in JSON are numbers rounded to
// 0.1 dB, coverage a fraction with 3 decimals, null where there is no value.
#pragma once

#include "cli/command.h"
#include "cli/kit/cli_arguments.h"

namespace lp::cli {

[[nodiscard]] int runPeriods(const Arguments& args, CommandIo& io);
[[nodiscard]] int runLden(const Arguments& args, CommandIo& io);
[[nodiscard]] int runEvents(const Arguments& args, CommandIo& io);

// The report is painted with Qt Gui, whose libraries take longer to load than the other
// commands take to run: levelpanel-cli hands it to levelpanel-cli-report (runReport,
// report_launch.cpp), which paints it (paintReport, report_command.h).
[[nodiscard]] QList<Option> reportOptions();
[[nodiscard]] int runReport(const Arguments& args, CommandIo& io);

}  // namespace lp::cli
