// levelpanel-cli: start-up without a display.
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QTextStream>
#include <cstdio>

#include "app/cli/cli.h"
#include "app/cli/terminal_text.h"
#include "platform/standard_descriptors.h"
#include "platform/stream_output.h"

int main(int argc, char* argv[]) {
    lp::platform::occupyStandardDescriptors();
    // The report is painted by levelpanel-cli-report (runReport): no command here
    // needs Qt Gui.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(lp::app::cli::kProgramName);

    QList<lp::app::SystemPort> ports;
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
    // Data goes out through a device that checks every write (run() tells a failure).
    lp::platform::StreamOutput standardOutput(STDOUT_FILENO);
    QTextStream out(&standardOutput);
    // Talk quotes file names and what brokers send: nothing in it may steer a terminal.
    QFile errFile;
    (void)errFile.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    lp::app::cli::TerminalSafeDevice safeErr(errFile);
    QTextStream err(&safeErr);
    return lp::app::cli::run(arguments, out, err, ports);
}
