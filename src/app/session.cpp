#include "app/session.h"

#include "panel/panel.h"

namespace lp::app {

Session::Session(ProgramState& state, OpenedPort port, const PortRequest& request,
                 platform::Clock& clock, platform::Dialogs& dialogs, QObject* parent)
    : QObject(parent), state_(state), clock_(clock), dialogs_(dialogs), port_(std::move(port)) {
    link_ = std::make_unique<link::MeterLink>(*port_.transport, clock_);
    poller_ = std::make_unique<link::LivePoller>(*link_);
    panel_ = std::make_unique<panel::Panel>(state_, *link_, *poller_, clock_, dialogs_);
    if (request.kind != PortKind::Numbered) {
        panel_->setPortLabel(request.label);
    }
    connect(link_.get(), &link::MeterLink::portFailed, panel_.get(), [this](const QString& why) {
        dialogs_.message(panel_.get(), why, platform::MessageIcon::Critical);
    });
    connect(panel_.get(), &panel::Panel::exitRequested, this, &Session::finished);
    wireWindows();
}

Session::~Session() {
    // The panel closes its recording file; it goes before the link it polls.
    panel_.reset();
    poller_.reset();
    link_.reset();
}

void Session::wireWindows() {}

}  // namespace lp::app
