#include "app/open_port.h"

#include "platform/serial_transport.h"
#include "sim/sim_meter.h"
#include "sim/sim_transport.h"

namespace lp::app {

OpenedPort::OpenedPort() = default;
OpenedPort::OpenedPort(OpenedPort&&) noexcept = default;
OpenedPort& OpenedPort::operator=(OpenedPort&&) noexcept = default;
OpenedPort::~OpenedPort() {
    // The transport talks to the simulator; it goes first.
    transport.reset();
    simulator.reset();
}

OpenedPort openPort(const PortRequest& request, platform::Clock& clock, QString* error) {
    OpenedPort opened;
    if (request.kind == PortKind::Simulated) {
        opened.simulator = std::make_unique<sim::SimMeter>();
        const QDateTime now = clock.now();
        opened.simulator->addSet(sim::makeSet(now.addDays(-2), 0, true, 1, 120));
        opened.simulator->addSet(sim::makeSet(now.addDays(-1), 6, false, 2, 1500));
        opened.simulator->addSet(sim::makeSet(now.addSecs(-3600), 2, true, 5, 720));
        opened.transport = std::make_unique<sim::SimTransport>(*opened.simulator, clock);
        return opened;
    }
    const QString label = request.kind == PortKind::Numbered
                              ? QStringLiteral("%1 (%2)").arg(request.label, request.device)
                              : request.device;
    opened.transport = platform::SerialTransport::open(request.device, label, error);
    return opened;
}

}  // namespace lp::app
