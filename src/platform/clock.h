// Time and timers behind one seam, so the meter exchanges and the panel's timers
// run on the real clock in the program and on a virtual clock in tests.
#pragma once

#include <QDateTime>
#include <functional>
#include <memory>

namespace lp::platform {

// A timer made by a Clock. It calls its callback every interval while active
// (or once, for a single-shot timer). Destroying it stops it.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void start() = 0;  // (re)starts the interval from now
    virtual void stop() = 0;
    [[nodiscard]] virtual bool isActive() const = 0;
    virtual void setInterval(int ms) = 0;
    [[nodiscard]] virtual int interval() const = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds since an arbitrary start.
    [[nodiscard]] virtual qint64 elapsedMs() const = 0;
    // Local wall-clock date and time (the PC clock).
    [[nodiscard]] virtual QDateTime now() const = 0;
    // A stopped timer; call start() to run it.
    [[nodiscard]] virtual std::unique_ptr<Timer> createTimer(int intervalMs, bool singleShot,
                                                             std::function<void()> onTimeout) = 0;
};

}  // namespace lp::platform
