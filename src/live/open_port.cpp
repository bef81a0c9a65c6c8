#include "live/open_port.h"

#include "platform/serial_transport.h"
#include "sim/demo_sets.h"
#include "sim/sim_meter.h"
#include "sim/sim_transport.h"

namespace lp::live {

OpenedPort::OpenedPort() = default;
OpenedPort::OpenedPort(OpenedPort&&) noexcept = default;
OpenedPort& OpenedPort::operator=(OpenedPort&&) noexcept = default;
OpenedPort::~OpenedPort() {
    // The transport talks to the simulator; it goes first.
    transport.reset();
    simulator.reset();
}

PortOpening openPort(const PortRequest& request, platform::Clock& clock) {
    PortOpening opening;
    OpenedPort& opened = opening.port;
    if (request.kind == PortKind::Simulated) {
        opened.simulator = std::make_unique<sim::SimMeter>();
        // Three sets of the last days, the newest this morning.
        constexpr int kSets = 3;
        const QDateTime first(clock.now().date().addDays(1 - kSets), QTime(8, 30, 0));
        for (const auto& set : sim::demoSets(kSets, opened.simulator->capacityBytes(), first)) {
            opened.simulator->addSet(set);
        }
        opened.transport = std::make_unique<sim::SimTransport>(*opened.simulator, clock);
        return opening;
    }
    const QString label = request.kind == PortKind::Numbered
                              ? QStringLiteral("%1 (%2)").arg(request.label, request.device)
                              : request.device;
    opened.transport = platform::SerialTransport::open(request.device, label, &opening.reason);
    return opening;
}

}  // namespace lp::live
