// The lines `live` (live_command.cpp) writes for each reading of the meter.
#pragma once

#include <QString>

#include "cli/command.h"
#include "link/reading.h"

namespace lp::cli {

// One line of `live`: date-time, level, weighting, response, range and the lit flags
// (REC FULL MAX BAT UNDER OVER, "-" for none), separated by TABs.
[[nodiscard]] QString liveLine(const QString& dateTime, const link::Reading& reading);
// The same as a CSV line (without its CR LF), and as a JSON object on one line.
[[nodiscard]] QString liveCsvLine(const QString& dateTime, const link::Reading& reading);
[[nodiscard]] QString liveJsonLine(const QString& dateTime, const link::Reading& reading);

}  // namespace lp::cli
