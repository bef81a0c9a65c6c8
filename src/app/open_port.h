// Opens what the port choice names: a serial device, or the built-in simulated meter.
#pragma once

#include <memory>

#include "app/port_choice.h"
#include "platform/clock.h"
#include "platform/transport.h"

namespace lp::sim {
class SimMeter;
}

namespace lp::app {

struct OpenedPort {
    OpenedPort();
    OpenedPort(OpenedPort&&) noexcept;
    OpenedPort& operator=(OpenedPort&&) noexcept;
    ~OpenedPort();

    std::unique_ptr<sim::SimMeter> simulator;  // set for the simulated meter only
    std::unique_ptr<platform::Transport> transport;
};

// Opens the port; on failure returns an empty transport and puts the reason (naming
// the port) in `error`.
[[nodiscard]] OpenedPort openPort(const PortRequest& request, platform::Clock& clock,
                                  QString* error);

}  // namespace lp::app
