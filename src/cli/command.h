// What every command of levelpanel-cli shares: its exit codes, the format of its JSON,
// the streams it reads and writes, and the line of talk on the error stream.
//
// Exit status: kOk, kUsageError (message on the error stream pointing to --help) or
// kFileFailure (a file, the meter or its port failed; the reason in the words the
// windows use).
#pragma once

#include <QList>
#include <QString>
#include <QTextStream>

#include "live/port_choice.h"

namespace lp::cli {

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
    const QList<live::SystemPort>& ports;  // the serial ports the system reports
    bool quiet = false;                    // -q: no progress or summary lines
};

// A line of progress or summary for the user, on the error stream (stdout carries
// data only); none with -q.
void tell(CommandIo& io, const QString& line);

}  // namespace lp::cli
