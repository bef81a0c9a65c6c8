#include "cli/port_argument.h"

#include "platform/stop_signals.h"

namespace lp::cli {

DeviceStart startDevice(const QString& command, const Arguments& args, const QStringList& required,
                        QTextStream& err) {
    const QString port = QStringLiteral("port");
    for (const QString& name : QStringList{port} + required) {
        if (!args.has(name)) {
            usageError(err, QStringLiteral("%1 needs --%2").arg(command, name));
            return {std::nullopt, kUsageError};
        }
    }
    const QString portText = args.value(port);
    const std::optional<live::PortRequest> request = live::portFromArgument(portText);
    if (!request) {
        usageError(err, QStringLiteral("no such port '%1'").arg(portText));
        return {std::nullopt, kUsageError};
    }
    if (!platform::installStopSignals()) {
        failure(err, QStringLiteral("cannot install the signal handlers."));
        return {std::nullopt, kFileFailure};
    }
    return {request};
}

live::OpenedPort openDevice(const live::PortRequest& request, platform::Clock& clock,
                            QTextStream& err) {
    live::PortOpening opening = live::openPort(request, clock);
    if (!opening.opened()) {
        failure(err, opening.reason);
    }
    return std::move(opening.port);
}

}  // namespace lp::cli
