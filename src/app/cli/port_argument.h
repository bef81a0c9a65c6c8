// The --port of the device commands: what the port choice takes ("COM1".."COM8", a
// device path) or "sim" for the built-in simulated meter; and opening it.
#pragma once

#include <QString>
#include <QTextStream>
#include <optional>

#include "app/open_port.h"
#include "app/port_choice.h"
#include "platform/clock.h"

namespace lp::app::cli {

// The port that `text` names; nullopt when it names none.
[[nodiscard]] std::optional<PortRequest> portArgument(const QString& text);

// Opens the port; on failure writes the reason (the words the windows use) to `err`
// and returns an empty transport.
[[nodiscard]] OpenedPort openDevice(const PortRequest& request, platform::Clock& clock,
                                    QTextStream& err);

}  // namespace lp::app::cli
