#include "cli/port_argument.h"

#include "platform/stop_signals.h"

namespace lp::cli {

QString portHelp() {
    return QStringLiteral(
               "The meter's port: COM1..COM8, a device path such as /dev/ttyUSB0, "
               "or %1 for the simulated meter.")
        .arg(live::kSimPortArgument);
}

Outcome<live::PortRequest> startDevice(const QString& portText) {
    const std::optional<live::PortRequest> request = live::portFromArgument(portText);
    if (!request) {
        return usageMistake(QStringLiteral("no such port '%1'").arg(portText));
    }
    if (!platform::installStopSignals()) {
        return failed(QStringLiteral("cannot install the signal handlers."));
    }
    return *request;
}

live::OpenedPort openDevice(const live::PortRequest& request, platform::Clock& clock, Talk& talk) {
    live::PortOpening opening = live::openPort(request, clock);
    if (!opening.opened()) {
        talk.error(opening.reason);
    }
    return std::move(opening.port);
}

}  // namespace lp::cli
