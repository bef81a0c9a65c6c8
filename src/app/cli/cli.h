// levelpanel-cli: record files and the meter without a window.
//
//   levelpanel-cli stats, export, ports (file_commands.h)
//   levelpanel-cli live, record, sets, download (device_commands.h)
//
// Exit status: kOk, kUsageError (message on the error stream pointing to --help) or
// kFileFailure (a file, the meter or its port failed; the reason in the words the
// windows use).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "app/port_choice.h"

namespace lp::app::cli {

inline constexpr int kOk = 0;
inline constexpr int kUsageError = 1;
inline constexpr int kFileFailure = 2;

// The "format" of every JSON the commands write: it changes when a key's meaning does.
inline constexpr int kJsonFormat = 1;

inline const QString kProgramName = QStringLiteral("levelpanel-cli");

// What a command reads and writes besides its arguments.
struct CommandIo {
    QTextStream& out;
    QTextStream& err;
    const QList<SystemPort>& ports;  // the serial ports the system reports
    bool quiet = false;              // -q: no progress or summary lines
};

// A line of progress or summary for the user, on the error stream (stdout carries
// data only); none with -q.
void tell(CommandIo& io, const QString& line);

// Runs one command line; `arguments` leaves out the program name. `ports` are the
// serial ports the system reports.
[[nodiscard]] int run(QStringList arguments, QTextStream& out, QTextStream& err,
                      const QList<SystemPort>& ports);

// The usage text of --help, made from the table of commands.
[[nodiscard]] QString helpText();

}  // namespace lp::app::cli
