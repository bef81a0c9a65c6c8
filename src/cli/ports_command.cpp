// ports: the serial ports the system reports, and the simulated meter.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/commands.h"

namespace lp::cli {
namespace {

struct PortsOptions {
    bool json = false;
};

std::vector<OptionRow> portsRows(PortsOptions& o) {
    return {flag(QStringLiteral("json"), o.json, QStringLiteral("JSON instead of text."))};
}

int runPorts(const PortsOptions& options, const ReadArguments&, CommandIo& io) {
    if (options.json) {
        // Every entry has the same keys; an unknown fact is null, as everywhere in our JSON.
        const auto fact = [](const QString& text) {
            return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
        };
        const auto entry = [&fact](const live::SystemPort& port) {
            return QJsonObject{{QStringLiteral("device"), port.device},
                               {QStringLiteral("description"), fact(port.description)},
                               {QStringLiteral("manufacturer"), fact(port.manufacturer)},
                               {QStringLiteral("serial_number"), fact(port.serialNumber)},
                               {QStringLiteral("by_id"), fact(port.byId)}};
        };
        QJsonArray ports;
        for (const live::SystemPort& port : io.ports) {
            ports.append(entry(port));
        }
        live::SystemPort simulated;
        simulated.device = live::kSimPortArgument;
        simulated.description = live::kSimulatedMeter;
        ports.append(entry(simulated));
        io.out << QJsonDocument(QJsonObject{{QStringLiteral("format"), kJsonFormat},
                                            {QStringLiteral("ports"), ports}})
                      .toJson();
        io.out.flush();
        return kOk;
    }
    // Each known fact, "-" for an unknown one: device, description, maker, serial number
    // and the lasting name.
    const auto known = [](const QString& text) {
        return text.isEmpty() ? QStringLiteral("-") : text;
    };
    for (const live::SystemPort& port : io.ports) {
        io.out << port.device << "\t" << known(port.description) << "\t" << known(port.manufacturer)
               << "\t" << known(port.serialNumber) << "\t" << known(port.byId) << "\n";
    }
    io.out << live::kSimPortArgument << "\t" << live::kSimulatedMeter << "\t-\t-\t-\n";
    io.out.flush();
    return kOk;
}

}  // namespace

Command portsCommand() {
    return commandOf<PortsOptions>(
        {QStringLiteral("ports"), QString(),
         QStringLiteral("The serial ports found, and the simulated meter."),
         QStringLiteral("The serial ports found, and \"%1\" for the simulated meter: device,\n"
                        "description, manufacturer, serial number and /dev/serial/by-id\n"
                        "name, \"-\" where unknown (TAB-separated).")
             .arg(live::kSimPortArgument),
         QStringLiteral("ports --json")},
        Operands::None, portsRows, runPorts);
}

}  // namespace lp::cli
