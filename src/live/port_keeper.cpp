#include "live/port_keeper.h"

namespace lp::live {

PortKeeper::PortKeeper(OpenedPort port, PortRequest request, platform::Clock& clock, Reopen reopen,
                       QObject* parent)
    : QObject(parent),
      clock_(clock),
      port_(std::move(port)),
      request_(std::move(request)),
      reopen_(std::move(reopen)) {
    if (!reopen_) {
        reopen_ = [this](const PortRequest& r) { return openPort(r, clock_); };
    }
    link_ = std::make_unique<link::MeterLink>(*port_.transport, clock_);
    reconnect_ = clock_.createTimer(kReconnectMs, false, [this] { tryReconnect(); });
    connect(link_.get(), &link::MeterLink::portFailed, this, &PortKeeper::lost);
}

PortKeeper::~PortKeeper() {
    reconnect_->stop();
    // The link goes before the port it talks through.
    link_.reset();
}

void PortKeeper::lost(const QString& reason) {
    reconnect_->start();
    emit portLost(reason);
}

void PortKeeper::tryReconnect() {
    if (!link_->portLost()) {
        reconnect_->stop();
        return;
    }
    PortOpening reopened = reopen_(request_);
    if (!reopened.opened()) {
        return;
    }
    reconnect_->stop();
    link_->replacePort(*reopened.port.transport);
    port_ = std::move(reopened.port);  // the old port goes only now that nothing uses it
    emit portBack();
}

}  // namespace lp::live
