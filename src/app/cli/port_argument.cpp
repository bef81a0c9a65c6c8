#include "app/cli/port_argument.h"

#include "app/cli/cli.h"
#include "app/cli/cli_arguments.h"
#include "app/cli/stop_signals.h"

namespace lp::app::cli {

int readDeviceOptions(const QString& command, const QStringList& required,
                      const QStringList& optional, const QStringList& args, QTextStream& err,
                      DeviceArguments& into) {
    const QString port = QStringLiteral("--port");
    CommandOptions options{command, QStringList{port} + required + optional};
    if (!readOptions(args, options, err)) {
        return kUsageError;
    }
    for (const QString& name : QStringList{port} + required) {
        if (!options.values.contains(name)) {
            usageError(err, QStringLiteral("%1 needs %2").arg(command, name));
            return kUsageError;
        }
    }
    const QString portText = options.values.value(port);
    const std::optional<PortRequest> request = portFromArgument(portText);
    if (!request) {
        usageError(err, QStringLiteral("no such port '%1'").arg(portText));
        return kUsageError;
    }
    if (!installStopSignals()) {
        failure(err, QStringLiteral("cannot install the signal handlers."));
        return kFileFailure;
    }
    into = {*request, options.values};
    return kOk;
}

OpenedPort openDevice(const PortRequest& request, platform::Clock& clock, QTextStream& err) {
    PortOpening opening = openPort(request, clock);
    if (!opening.opened()) {
        failure(err, opening.reason);
    }
    return std::move(opening.port);
}

}  // namespace lp::app::cli
