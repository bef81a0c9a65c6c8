// levelpanel-cli: record files and the meter without a window. This is its dispatch:
// the table of commands (one file each, commands.h), help, --help and --version.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <vector>

#include "cli/command.h"

namespace lp::cli {

// Runs one command line; `arguments` leaves out the program name. `ports` are the
// serial ports the system reports.
[[nodiscard]] int run(QStringList arguments, QTextStream& out, QTextStream& err,
                      const QList<live::SystemPort>& ports);

// The table of commands, in the order the help lists them.
[[nodiscard]] std::vector<Command> commands();

}  // namespace lp::cli
