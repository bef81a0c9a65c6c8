// The --port of the device commands: what the port choice takes ("COM1".."COM8", a
// device path) or "sim" for the built-in simulated meter; and opening it.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

#include "app/cli/cli.h"
#include "app/cli/cli_arguments.h"
#include "app/open_port.h"
#include "app/port_choice.h"
#include "platform/clock.h"

namespace lp::app::cli {

// How a device command starts: the port it names, or the exit status it ends with.
struct DeviceStart {
    std::optional<PortRequest> port;
    int status = kOk;  // when there is no port
};

// Checks that --port and the options `required` (by name) were given and that the
// port is one the port choice takes, and installs the stop signals. A usage error or
// failure is printed to `err`.
[[nodiscard]] DeviceStart startDevice(const QString& command, const Arguments& args,
                                      const QStringList& required, QTextStream& err);

// Opens the port; on failure prints the reason (the words the windows use) to `err`
// and returns an empty transport.
[[nodiscard]] OpenedPort openDevice(const PortRequest& request, platform::Clock& clock,
                                    QTextStream& err);

}  // namespace lp::app::cli
