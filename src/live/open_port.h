// Opens what the port choice names: a serial device, or the built-in simulated meter.
#pragma once

#include <QString>
#include <memory>

#include "live/port_choice.h"
#include "platform/clock.h"
#include "platform/transport.h"

namespace lp::sim {
class SimMeter;
}

namespace lp::live {

struct OpenedPort {
    OpenedPort();
    OpenedPort(OpenedPort&&) noexcept;
    OpenedPort& operator=(OpenedPort&&) noexcept;
    ~OpenedPort();

    std::unique_ptr<sim::SimMeter> simulator;  // set for the simulated meter only
    std::unique_ptr<platform::Transport> transport;
};

// What opening a port gave: the port, or why it did not open.
struct PortOpening {
    OpenedPort port;  // an empty transport when it did not open
    QString reason;   // why not, naming the port; empty when it opened

    [[nodiscard]] bool opened() const { return port.transport != nullptr; }
};

[[nodiscard]] PortOpening openPort(const PortRequest& request, platform::Clock& clock);

}  // namespace lp::live
