// The panel's two timers, as the list windows see them: a file load switches both off
// and on again afterwards, so no live cycle, recording or list update runs in the
// middle of it. (Printouts leave them running: they print between the cycle's ticks.)
#pragma once

#include <functional>

namespace lp::lists {

struct PanelTimers {
    std::function<void()> pause;   // both timers off
    std::function<void()> resume;  // both timers on again
};

// Pauses the timers for its lifetime.
class PanelTimersPaused {
public:
    explicit PanelTimersPaused(const PanelTimers& timers) : timers_(timers) {
        if (timers_.pause) {
            timers_.pause();
        }
    }
    ~PanelTimersPaused() {
        if (timers_.resume) {
            timers_.resume();
        }
    }
    PanelTimersPaused(const PanelTimersPaused&) = delete;
    PanelTimersPaused& operator=(const PanelTimersPaused&) = delete;

private:
    const PanelTimers& timers_;
};

}  // namespace lp::lists
