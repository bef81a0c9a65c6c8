// The commands on record files, and the list of ports:
//
//   stats FILE... [--resolution 0.1|1] [--json]    the figures of each file
//   export FILE --csv OUT                          the records as CSV
//   ports                                          the serial ports and "sim"
#pragma once

#include <QJsonObject>
#include <QString>

#include "cli/command.h"
#include "cli/kit/cli_arguments.h"
#include "stats/ln_result.h"

namespace lp::cli {

// Each runs its command on what its parser read; the exit status is cli.h's.
[[nodiscard]] int runStats(const Arguments& args, CommandIo& io);
[[nodiscard]] int runExport(const Arguments& args, CommandIo& io);
[[nodiscard]] int runPorts(const Arguments& args, CommandIo& io);

// The figures of one file as text: counts, Leq, Lmax, Lmin, L10, L50, L90 and the Ln
// table, the values in the texts the histogram window shows.
[[nodiscard]] QString statsText(const QString& fileName, const stats::LnResult& result);
// The same as a JSON object: levels as numbers in dB, null where there is none.
[[nodiscard]] QJsonObject statsJson(const QString& fileName, const stats::LnResult& result);

}  // namespace lp::cli
