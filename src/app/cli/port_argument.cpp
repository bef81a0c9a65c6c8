#include "app/cli/port_argument.h"

#include "app/cli/cli.h"
#include "app/cli/cli_arguments.h"

namespace lp::app::cli {

std::optional<PortRequest> portArgument(const QString& text) {
    qint16 comPort = 0;  // nothing chosen before: an unknown name opens nothing
    return choosePort(text == kSimPort ? kSimulatedMeter : text, comPort, {});
}

OpenedPort openDevice(const PortRequest& request, platform::Clock& clock, QTextStream& err) {
    QString error;
    OpenedPort opened = openPort(request, clock, &error);
    if (!opened.transport) {
        (void)failure(err, error);
    }
    return opened;
}

}  // namespace lp::app::cli
