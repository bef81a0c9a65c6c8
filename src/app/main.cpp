// LevelPanel: start-up. The port choice comes first; the panel follows once a port
// is open. Closing the panel ends the program with every file closed.
#include <QApplication>
#include <QSerialPortInfo>
#include <memory>

#include "app/open_port.h"
#include "app/selection.h"
#include "app/session.h"
#include "panel/panel.h"
#include "platform/qt_clock.h"
#include "platform/qt_dialogs.h"

namespace {

QList<lp::app::SystemPort> systemPorts() {
    QList<lp::app::SystemPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.append({info.systemLocation(), info.description()});
    }
    return ports;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LevelPanel"));

    lp::platform::QtClock clock;
    lp::platform::QtDialogs dialogs;
    std::unique_ptr<lp::app::Session> session;

    lp::app::Selection selection(dialogs, systemPorts());
    QObject::connect(&selection, &lp::app::Selection::portChosen, &selection,
                     [&](const lp::app::PortRequest& request) {
                         QString error;
                         lp::app::OpenedPort port = lp::app::openPort(request, clock, &error);
                         if (!port.transport) {
                             selection.portFailed(error);
                             return;
                         }
                         session = std::make_unique<lp::app::Session>(std::move(port), request,
                                                                      clock, dialogs);
                         QObject::connect(session.get(), &lp::app::Session::finished, &app, [] {
                             QApplication::closeAllWindows();
                             QApplication::quit();
                         });
                         session->panel().show();
                         selection.close();
                     });
    selection.show();
    const int rc = QApplication::exec();
    session.reset();
    return rc;
}
