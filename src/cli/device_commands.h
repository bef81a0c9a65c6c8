// The commands that talk to the meter. Each runs its own event loop until it is done,
// fails (status kFileFailure, the reason on `err`) or SIGINT/SIGTERM arrives.
//
//   live --port P                                   one line per reading
//   record --port P [--every S] --out FILE [--rotate daily]
//          [--alarm LEVEL[/SECONDS]]... [--bridge S] [--events FILE]
//   sets --port P                                   memory status and set table
//   download --port P --set N --out FILE            a stored set as a record file
#pragma once

#include <QString>

#include "cli/command.h"
#include "cli/kit/cli_arguments.h"
#include "link/reading.h"

namespace lp::cli {

[[nodiscard]] int runLive(const Arguments& args, CommandIo& io);
[[nodiscard]] int runRecord(const Arguments& args, CommandIo& io);
[[nodiscard]] int runSets(const Arguments& args, CommandIo& io);
[[nodiscard]] int runDownload(const Arguments& args, CommandIo& io);

// One line of `live`: date-time, level, weighting, response, range and the lit flags
// (REC FULL MAX BAT UNDER OVER, "-" for none), separated by TABs.
[[nodiscard]] QString liveLine(const QString& dateTime, const link::Reading& reading);
// The same as a CSV line (without its CR LF), and as a JSON object on one line.
[[nodiscard]] QString liveCsvLine(const QString& dateTime, const link::Reading& reading);
[[nodiscard]] QString liveJsonLine(const QString& dateTime, const link::Reading& reading);

}  // namespace lp::cli
