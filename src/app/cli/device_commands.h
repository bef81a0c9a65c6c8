// The commands that talk to the meter. Each runs its own event loop until it is done,
// fails (status kFileFailure, the reason on `err`) or SIGINT/SIGTERM arrives.
//
//   live --port P                                   one line per reading
//   record --port P [--every S] --out FILE [--rotate daily]
//   sets --port P                                   memory status and set table
//   download --port P --set N --out FILE            a stored set as a record file
#pragma once

#include <QStringList>
#include <QTextStream>

#include "link/reading.h"

namespace lp::app::cli {

[[nodiscard]] int runLive(const QStringList& args, QTextStream& out, QTextStream& err);
[[nodiscard]] int runRecord(const QStringList& args, QTextStream& out, QTextStream& err);
[[nodiscard]] int runSets(const QStringList& args, QTextStream& out, QTextStream& err);
[[nodiscard]] int runDownload(const QStringList& args, QTextStream& out, QTextStream& err);

// One line of `live`: date-time, level, weighting, response, range and the lit flags
// (REC FULL MAX BAT UNDER OVER, "-" for none), separated by TABs.
[[nodiscard]] QString liveLine(const QString& dateTime, const link::Reading& reading);

}  // namespace lp::app::cli
