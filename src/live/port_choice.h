// Which port the start-up choice names: COM1..COM8, a serial port found on the
// system, a typed device path, or the built-in simulated meter.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QSettings;

namespace lp::live {

// A serial port the system reports (USB adapters included).
struct SystemPort {
    QString device;       // what to open: /dev/ttyUSB0
    QString description;  // "FT232R USB UART"
    // What else the system knows of it, empty when nothing: the maker, the serial
    // number, and its lasting name under /dev/serial/by-id.
    QString manufacturer = QString();
    QString serialNumber = QString();
    QString byId = QString();
    [[nodiscard]] QString entry() const;  // the combo text: "/dev/ttyUSB0  (FT232R USB UART)"
};

enum class PortKind { Numbered, Device, Simulated };

struct PortRequest {
    PortKind kind = PortKind::Numbered;
    int number = 0;  // 1..8 for PortKind::Numbered
    QString device;  // what to open (empty for the simulated meter)
    QString label;   // short name for the panel's link label and messages: "COM1", "ttyUSB0", "SIM"
};

inline const QString kSimulatedMeter = QStringLiteral("Simulated meter");
// How a command line names the simulated meter (--port sim).
inline const QString kSimPortArgument = QStringLiteral("sim");

// A numbered port as the choice lists it: with the device behind it where that has
// another name ("COM1 (/dev/ttyS0)" on Linux).
[[nodiscard]] QString comPortEntry(int number);

// The choice list: COM1..COM8 (comPortEntry), then the system's ports, then "Simulated meter".
[[nodiscard]] QStringList portEntries(const QList<SystemPort>& systemPorts);

// The device of a numbered port on this system (COM3 is /dev/ttyS2 on Linux).
[[nodiscard]] QString deviceForComPort(int number);

// Reads the choice text (case-sensitive). "Auto" and "COM1".."COM8" (or their entries)
// set `comPort`; a
// system port's entry or a typed device path names that device; "Simulated meter"
// the simulator. Any other text changes nothing and falls back to the port chosen
// before; with none chosen yet (`comPort` 0) there is nothing to open: nullopt.
[[nodiscard]] std::optional<PortRequest> choosePort(const QString& text, qint16& comPort,
                                                    const QList<SystemPort>& systemPorts);

// The port a command line's --port names: what the choice takes, or "sim" (in any
// case) for the simulated meter; nullopt when it names none.
[[nodiscard]] std::optional<PortRequest> portFromArgument(const QString& text);

// The request for a fixed port number (the quick-choice buttons).
[[nodiscard]] PortRequest numberedPort(int number);

// Keeps the port opened last in the settings file, as the choice text that names it
// again ("COM3", "/dev/ttyUSB0", "Simulated meter").
void rememberPort(QSettings& settings, const PortRequest& request);
// That text; empty when no port was kept.
[[nodiscard]] QString rememberedPort(const QSettings& settings);

}  // namespace lp::live
