// The --port of the device commands: what the port choice takes ("COM1".."COM8", a
// device path) or "sim" for the built-in simulated meter; and opening it.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

#include "app/open_port.h"
#include "app/port_choice.h"
#include "platform/clock.h"

namespace lp::app::cli {

// A device command's options: the port, and the other options given, by name.
struct DeviceArguments {
    PortRequest port;
    QMap<QString, QString> values;
};

// Reads --port, the options the command needs (`required`) and those it may take
// (`optional`), and installs the stop signals. Returns kOk, or the exit status after a
// usage error or failure has been reported to `err`.
[[nodiscard]] int readDeviceOptions(const QString& command, const QStringList& required,
                                    const QStringList& optional, const QStringList& args,
                                    QTextStream& err, DeviceArguments& into);

// Opens the port; on failure writes the reason (the words the windows use) to `err`
// and returns an empty transport.
[[nodiscard]] OpenedPort openDevice(const PortRequest& request, platform::Clock& clock,
                                    QTextStream& err);

}  // namespace lp::app::cli
