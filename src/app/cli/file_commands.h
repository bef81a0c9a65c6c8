// The commands on record files, and the list of ports:
//
//   stats FILE... [--resolution 0.1|1] [--json]    the figures of each file
//   export FILE --csv OUT                          the records as CSV
//   ports                                          the serial ports and "sim"
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "app/port_choice.h"
#include "stats/ln_result.h"

namespace lp::app::cli {

[[nodiscard]] int runStats(const QStringList& args, QTextStream& out, QTextStream& err);
[[nodiscard]] int runExport(const QStringList& args, QTextStream& out, QTextStream& err);
[[nodiscard]] int runPorts(const QStringList& args, QTextStream& out, QTextStream& err,
                           const QList<SystemPort>& ports);

// The figures of one file as text: counts, Leq, Lmax, Lmin, L10, L50, L90 and the Ln
// table, the values in the texts the histogram window shows.
[[nodiscard]] QString statsText(const QString& fileName, const stats::LnResult& result);
// The same as a JSON object: levels as numbers in dB, null where there is none.
[[nodiscard]] QJsonObject statsJson(const QString& fileName, const stats::LnResult& result);

}  // namespace lp::app::cli
