// levelpanel-cli: record files and the meter without a window.
//
//   levelpanel-cli stats FILE... [--resolution 0.1|1] [--json]
//   levelpanel-cli export FILE --csv OUT
//   levelpanel-cli ports
//   levelpanel-cli live, record, sets, download (device_commands.h)
//
// Exit status: kOk, kUsageError (message on the error stream pointing to --help) or
// kFileFailure (a file, the meter or its port failed; the reason in the words the
// windows use).
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "app/port_choice.h"
#include "stats/ln_result.h"

namespace lp::app::cli {

inline constexpr int kOk = 0;
inline constexpr int kUsageError = 1;
inline constexpr int kFileFailure = 2;

inline const QString kProgramName = QStringLiteral("levelpanel-cli");

// Runs one command line; `arguments` leaves out the program name. `ports` are the
// serial ports the system reports.
[[nodiscard]] int run(const QStringList& arguments, QTextStream& out, QTextStream& err,
                      const QList<SystemPort>& ports);

// The usage text of --help.
[[nodiscard]] QString helpText();

// The figures of one file as text: counts, Leq, Lmax, Lmin, L10, L50, L90 and the Ln
// table, the values in the texts the histogram window shows.
[[nodiscard]] QString statsText(const QString& fileName, const stats::LnResult& result);
// The same as a JSON object: levels as numbers in dB, null where there is none.
[[nodiscard]] QJsonObject statsJson(const QString& fileName, const stats::LnResult& result);

}  // namespace lp::app::cli
