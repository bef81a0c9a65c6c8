// The opened port and the meter link on it, kept linked: when the port goes away the
// link tells it (portLost), and the same port is tried again every 2 s until it opens
// (portBack); the link then talks through the new port. No window: the session and
// the command line both keep their port this way.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "link/meter_link.h"
#include "live/open_port.h"
#include "live/port_choice.h"
#include "platform/clock.h"

namespace lp::live {

class PortKeeper : public QObject {
    Q_OBJECT
public:
    // Opens the port again after it went away (by default openPort()).
    using Reopen = std::function<PortOpening(const PortRequest&)>;
    // How often a port that went away is tried again.
    static constexpr int kReconnectMs = 2000;

    PortKeeper(OpenedPort port, PortRequest request, platform::Clock& clock, Reopen reopen = {},
               QObject* parent = nullptr);
    ~PortKeeper() override;

    [[nodiscard]] link::MeterLink& link() { return *link_; }
    [[nodiscard]] const PortRequest& request() const { return request_; }

signals:
    // The port went away: the reason, naming the port.
    void portLost(const QString& reason);
    // The port opened again and the link talks through it.
    void portBack();

private:
    void lost(const QString& reason);
    void tryReconnect();

    platform::Clock& clock_;
    OpenedPort port_;
    PortRequest request_;
    Reopen reopen_;
    std::unique_ptr<link::MeterLink> link_;
    std::unique_ptr<platform::Timer> reconnect_;
};

}  // namespace lp::live
