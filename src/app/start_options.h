// The command line of the windowed program:
//
//   levelpanel                 the port choice first, as always
//   levelpanel --port P        the panel on port P (COM1..COM8, a device path, or
//                              "sim" for the built-in simulated meter)
//   levelpanel FILE.sdm        the saved-file window with that record file
//   levelpanel FILE.sdm...     with several files, their Survey window
//   levelpanel --help | --version
//
// Read before any window exists, so help, version and mistakes need no display.
#pragma once

#include <QString>
#include <QStringList>

#include "live/port_choice.h"

namespace lp::app {

struct StartOptions {
    enum class Start { PortChoice, Port, File, Survey, Help, Version, UsageError };
    Start start = Start::PortChoice;
    live::PortRequest port;  // Start::Port
    QStringList files;       // Start::File (one), Start::Survey (several)
    QString text;            // the help or version text, or what is wrong (Start::UsageError)
};

inline const QString kGuiProgramName = QStringLiteral("levelpanel");

// Reads the arguments (the program name left out).
[[nodiscard]] StartOptions readStartOptions(const QStringList& arguments);

}  // namespace lp::app
