// The panel's live cycle as a window that briefly holds up the event loop sees it: a
// file load or a plot's drawing pass switches its timers off and on again afterwards,
// so no poll piles up behind the pass. Printing does not use it: it runs in pieces and
// the cycle keeps sampling meanwhile.
#pragma once

#include <functional>

namespace lp::platform {

struct LivePause {
    std::function<void()> pause;   // the live cycle's timers off
    std::function<void()> resume;  // and on again
};

// Pauses the live cycle for its lifetime.
class LivePaused {
public:
    explicit LivePaused(const LivePause& live) : live_(live) {
        if (live_.pause) {
            live_.pause();
        }
    }
    ~LivePaused() {
        if (live_.resume) {
            live_.resume();
        }
    }
    LivePaused(const LivePaused&) = delete;
    LivePaused& operator=(const LivePaused&) = delete;

private:
    const LivePause& live_;
};

}  // namespace lp::platform
