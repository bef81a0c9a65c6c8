// levelpanel-cli: start-up without a display.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QTextStream>
#include <cstdio>

#include "cli/cli.h"
#include "cli/kit/std_streams.h"
#include "platform/standard_descriptors.h"

int main(int argc, char* argv[]) {
    lp::platform::occupyStandardDescriptors();
    // The report is painted by levelpanel-cli-report (runReport): no command here
    // needs Qt Gui.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(lp::cli::kProgramName);

    QList<lp::live::SystemPort> ports;
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!arguments.isEmpty() && arguments.first() == QStringLiteral("ports")) {
        const QDir byId(QStringLiteral("/dev/serial/by-id"));
        const QFileInfoList links = byId.entryInfoList(QDir::System | QDir::NoDotAndDotDot);
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
            QString lasting;
            for (const QFileInfo& link : links) {
                if (link.canonicalFilePath() == info.systemLocation()) {
                    lasting = link.absoluteFilePath();
                }
            }
            ports.append({info.systemLocation(), info.description(), info.manufacturer(),
                          info.serialNumber(), lasting});
        }
    }
    lp::cli::StandardStreams streams;
    return lp::cli::run(arguments, streams.out(), streams.err(), ports);
}
