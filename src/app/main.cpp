// LevelPanel: start-up. The port choice comes first; the panel follows once a port
// is open. "--port P" opens the panel on P at once (the port choice shows only if P
// cannot be opened), and a record file given on the command line opens in the
// saved-file window alone, several of them in their Survey window. Closing the panel ends the
// program with every file closed.
#include <QApplication>
#include <QSerialPortInfo>
#include <QSettings>
#include <cstdio>
#include <memory>

#include "app/file_viewer.h"
#include "app/port_choice_window.h"
#include "app/program_icon.h"
#include "app/session.h"
#include "app/start_options.h"
#include "live/open_port.h"
#include "panel/panel.h"
#include "platform/display.h"
#include "platform/qt_clock.h"
#include "platform/qt_dialogs.h"
#include "platform/settings_place.h"
#include "platform/standard_descriptors.h"
#include "platform/window_memory.h"

namespace {

QList<lp::live::SystemPort> systemPorts() {
    QList<lp::live::SystemPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.append({info.systemLocation(), info.description()});
    }
    return ports;
}

QStringList commandLine(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

}  // namespace

int main(int argc, char* argv[]) {
    lp::platform::occupyStandardDescriptors();
    using Start = lp::app::StartOptions::Start;
    const lp::app::StartOptions options = lp::app::readStartOptions(commandLine(argc, argv));
    switch (options.start) {
        case Start::Help:
        case Start::Version:
            std::fputs(options.text.toLocal8Bit().constData(), stdout);
            return 0;
        case Start::UsageError:
            std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n",
                         qPrintable(lp::app::kGuiProgramName), qPrintable(options.text),
                         qPrintable(lp::app::kGuiProgramName));
            return 1;
        default:
            break;
    }

    if (!lp::platform::displayAvailable()) {
        std::fprintf(stderr,
                     "%s: no display to show windows on; use levelpanel-cli for the command "
                     "line (levelpanel-cli --help)\n",
                     qPrintable(lp::app::kGuiProgramName));
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LevelPanel"));
    // The desktop entry's name and icon, so the desktop matches the windows to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("levelpanel"));
    QGuiApplication::setWindowIcon(lp::app::programIcon());

    lp::platform::QtClock clock;
    lp::platform::QtDialogs dialogs;
    const std::unique_ptr<QSettings> settings =
        lp::platform::openSettings(lp::platform::settingsFolder());
    // Every window takes back its place from the settings file and writes it there again.
    const lp::platform::WindowMemory windowMemory(*settings);

    if (options.start == Start::File || options.start == Start::Survey) {
        lp::app::FileViewer viewer(clock, dialogs, *settings);
        const bool shown = options.start == Start::File
                               ? viewer.open(options.files.front()) != nullptr
                               : viewer.openSurvey(options.files) != nullptr;
        if (!shown) {
            return options.start == Start::File ? 0 : 1;  // closed while it loaded, or unread
        }
        return QApplication::exec();
    }

    std::unique_ptr<lp::app::Session> session;
    lp::app::PortChoiceWindow selection(dialogs, systemPorts());
    selection.proposePort(lp::live::rememberedPort(*settings));
    // Opens the port and shows the panel; false (the reason in `error`) when the port
    // cannot be opened.
    const auto startSession = [&](const lp::live::PortRequest& request, QString* error) {
        lp::live::PortOpening opening = lp::live::openPort(request, clock);
        if (!opening.opened()) {
            *error = opening.reason;
            return false;
        }
        session = std::make_unique<lp::app::Session>(std::move(opening.port), request, clock,
                                                     dialogs, *settings);
        QObject::connect(session.get(), &lp::app::Session::finished, &app, [] {
            QApplication::closeAllWindows();
            QApplication::quit();
        });
        session->panel().show();
        selection.close();
        return true;
    };
    QObject::connect(&selection, &lp::app::PortChoiceWindow::portChosen, &selection,
                     [&](const lp::live::PortRequest& request) {
                         QString error;
                         if (!startSession(request, &error)) {
                             selection.portFailed(error);
                         }
                     });
    QString error;
    if (options.start != Start::Port) {
        selection.show();
    } else if (!startSession(options.port, &error)) {
        selection.portFailed(error);  // the port choice, with the reason
    }
    const int rc = QApplication::exec();
    session.reset();
    return rc;
}
