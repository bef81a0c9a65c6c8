// One meter linked for a whole run: the opened port kept linked (reopened every 2 s
// when it goes away), the live poller on its link and the live cycle on both, built
// and torn down in the order they need. The windows' session and the command line's
// device commands each hold one.
#pragma once

#include <memory>

#include "link/live_poller.h"
#include "live/live_cycle.h"
#include "live/port_keeper.h"

namespace lp::live {

class LinkedMeter {
public:
    LinkedMeter(OpenedPort port, const PortRequest& request, live::PortNames names,
                platform::Clock& clock, PortKeeper::Reopen reopen = {});
    ~LinkedMeter();
    LinkedMeter(const LinkedMeter&) = delete;
    LinkedMeter& operator=(const LinkedMeter&) = delete;

    [[nodiscard]] PortKeeper& keeper() { return *keeper_; }
    [[nodiscard]] link::MeterLink& link() { return keeper_->link(); }
    [[nodiscard]] live::LiveCycle& cycle() { return *cycle_; }

private:
    std::unique_ptr<PortKeeper> keeper_;
    std::unique_ptr<link::LivePoller> poller_;
    std::unique_ptr<live::LiveCycle> cycle_;
};

// What the link label calls the port: "COM3" (and "Com3" after a clock set) for a
// numbered port, the label of any other port.
[[nodiscard]] live::PortNames portNames(const PortRequest& request);

}  // namespace lp::live
