// The --port of the device commands: what the port choice takes ("COM1".."COM8", a
// device path) or "sim" for the built-in simulated meter; and opening it.
#pragma once

#include <QString>

#include "cli/command.h"
#include "live/open_port.h"
#include "live/port_choice.h"
#include "platform/clock.h"

namespace lp::cli {

// The help line of --port, the same for every device command.
[[nodiscard]] QString portHelp();

// The port `portText` names, once the stop signals are installed; or why not (a usage
// mistake for a port the choice does not take, a failure for the signals).
[[nodiscard]] Outcome<live::PortRequest> startDevice(const QString& portText);

// Opens the port; on failure says the reason (the words the windows use) and returns
// an empty transport.
[[nodiscard]] live::OpenedPort openDevice(const live::PortRequest& request, platform::Clock& clock,
                                          Talk& talk);

}  // namespace lp::cli
