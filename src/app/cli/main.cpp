// levelpanel-cli: start-up without a display.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSerialPortInfo>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "app/cli/cli.h"
#include "app/cli/std_streams.h"
#include "app/cli/survey_commands.h"

int main(int argc, char* argv[]) {
    lp::app::cli::guardStandardStreams();
    // The report paints its pages with Qt Gui, off any screen; every other command
    // runs without it.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && lp::app::cli::needsGui(QString::fromLocal8Bit(argv[1]))) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(lp::app::cli::kProgramName);

    QList<lp::app::SystemPort> ports;
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!arguments.isEmpty() && arguments.first() == QStringLiteral("ports")) {
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
            ports.append({info.systemLocation(), info.description()});
        }
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    return lp::app::cli::run(arguments, out, err, ports);
}
