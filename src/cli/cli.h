// levelpanel-cli: record files and the meter without a window. This is its dispatch:
// the table of commands, --help and --version.
//
//   levelpanel-cli stats, export, ports (file_commands.h)
//   levelpanel-cli live, record, sets, download (device_commands.h)
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "cli/command.h"

namespace lp::cli {

// Runs one command line; `arguments` leaves out the program name. `ports` are the
// serial ports the system reports.
[[nodiscard]] int run(QStringList arguments, QTextStream& out, QTextStream& err,
                      const QList<live::SystemPort>& ports);

// The usage text of --help, made from the table of commands.
[[nodiscard]] QString helpText();

}  // namespace lp::cli
