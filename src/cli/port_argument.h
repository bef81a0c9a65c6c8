// The --port of the device commands: what the port choice takes ("COM1".."COM8", a
// device path) or "sim" for the built-in simulated meter; and opening it.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

#include "cli/command.h"
#include "cli/kit/cli_arguments.h"
#include "live/open_port.h"
#include "live/port_choice.h"
#include "platform/clock.h"

namespace lp::cli {

// How a device command starts: the port it names, or the exit status it ends with.
struct DeviceStart {
    std::optional<live::PortRequest> port;
    int status = kOk;  // when there is no port
};

// Checks that --port and the options `required` (by name) were given and that the
// port is one the port choice takes, and installs the stop signals. A usage error or
// failure is printed to `err`.
[[nodiscard]] DeviceStart startDevice(const QString& command, const Arguments& args,
                                      const QStringList& required, QTextStream& err);

// Opens the port; on failure prints the reason (the words the windows use) to `err`
// and returns an empty transport.
[[nodiscard]] live::OpenedPort openDevice(const live::PortRequest& request, platform::Clock& clock,
                                          QTextStream& err);

}  // namespace lp::cli
