#include "live/port_choice.h"

#include <QFileInfo>
#include <QSettings>

namespace lp::live {
namespace {

// The name the panel shows for a device: "ttyUSB0", "pts/5".
QString shortDeviceName(const QString& device) {
    static const QString dev = QStringLiteral("/dev/");
    return device.startsWith(dev) ? device.mid(dev.size()) : QFileInfo(device).fileName();
}

// The settings file's key of the port opened last.
const QString kPortKey = QStringLiteral("port");

}  // namespace

QString SystemPort::entry() const {
    return description.isEmpty() ? device : QStringLiteral("%1  (%2)").arg(device, description);
}

QString comPortEntry(int number) {
    const QString name = QStringLiteral("COM%1").arg(number);
    const QString device = deviceForComPort(number);
    return device == name ? name : QStringLiteral("%1 (%2)").arg(name, device);
}

QStringList portEntries(const QList<SystemPort>& systemPorts) {
    QStringList entries;
    for (int i = 1; i <= 8; ++i) {
        entries << comPortEntry(i);
    }
    for (const auto& p : systemPorts) {
        entries << p.entry();
    }
    entries << kSimulatedMeter;
    return entries;
}

QString deviceForComPort(int number) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

std::optional<PortRequest> portFromArgument(const QString& text) {
    qint16 nothingChosenYet = 0;  // an unknown name falls back to nothing
    return choosePort(
        text.compare(kSimPortArgument, Qt::CaseInsensitive) == 0 ? kSimulatedMeter : text,
        nothingChosenYet, {});
}

PortRequest numberedPort(int number) {
    return {PortKind::Numbered, number, deviceForComPort(number),
            QStringLiteral("COM%1").arg(number)};
}

std::optional<PortRequest> choosePort(const QString& text, qint16& comPort,
                                      const QList<SystemPort>& systemPorts) {
    if (text == QLatin1String("Auto")) {
        comPort = 1;
    } else {
        for (int i = 1; i <= 8; ++i) {
            if (text == QStringLiteral("COM%1").arg(i) || text == comPortEntry(i)) {
                comPort = static_cast<qint16>(i);
            }
        }
    }
    if (text == kSimulatedMeter) {
        return PortRequest{PortKind::Simulated, 0, QString(), QStringLiteral("SIM")};
    }
    for (const auto& p : systemPorts) {
        if (text == p.entry() || text == p.device) {
            return PortRequest{PortKind::Device, 0, p.device, shortDeviceName(p.device)};
        }
    }
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(u'/')) {
        return PortRequest{PortKind::Device, 0, trimmed, shortDeviceName(trimmed)};
    }
    if (comPort >= 1 && comPort <= 8) {
        return numberedPort(comPort);
    }
    return std::nullopt;
}

void rememberPort(QSettings& settings, const PortRequest& request) {
    switch (request.kind) {
        case PortKind::Numbered:
            settings.setValue(kPortKey, QStringLiteral("COM%1").arg(request.number));
            return;
        case PortKind::Device:
            settings.setValue(kPortKey, request.device);
            return;
        case PortKind::Simulated:
            settings.setValue(kPortKey, kSimulatedMeter);
            return;
    }
}

QString rememberedPort(const QSettings& settings) {
    return settings.value(kPortKey).toString();
}

}  // namespace lp::live
