#include "platform/virtual_clock.h"

#include <algorithm>
#include <limits>

namespace lp::platform {

class VirtualTimer final : public Timer {
public:
    VirtualTimer(VirtualClock& clock, int intervalMs, bool singleShot, std::function<void()> cb)
        : clock_(&clock), interval_(intervalMs), singleShot_(singleShot), callback_(std::move(cb)) {
        clock_->add(this);
    }
    ~VirtualTimer() override {
        if (clock_) {
            clock_->remove(this);
        }
    }
    void start() override {
        active_ = true;
        due_ = clock_ ? clock_->nowMs_ + std::max(0, interval_) : 0;
        order_ = clock_ ? ++clock_->sequence_ : 0;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    void setInterval(int ms) override { interval_ = ms; }
    int interval() const override { return interval_; }

    void fire() {
        if (singleShot_) {
            active_ = false;
        } else {
            due_ += std::max(1, interval_);
            order_ = ++clock_->sequence_;
        }
        // The callback may destroy this timer; copy it first.
        auto cb = callback_;
        cb();
    }

    VirtualClock* clock_;
    int interval_;
    bool singleShot_;
    std::function<void()> callback_;
    bool active_ = false;
    qint64 due_ = 0;
    quint64 order_ = 0;
};

VirtualClock::VirtualClock(QDateTime start) : wallStart_(std::move(start)) {}

VirtualClock::~VirtualClock() {
    for (auto* t : timers_) {
        t->clock_ = nullptr;
        t->active_ = false;
    }
}

std::unique_ptr<Timer> VirtualClock::createTimer(int intervalMs, bool singleShot,
                                                 std::function<void()> onTimeout) {
    return std::make_unique<VirtualTimer>(*this, intervalMs, singleShot, std::move(onTimeout));
}

void VirtualClock::add(VirtualTimer* t) {
    timers_.push_back(t);
}

void VirtualClock::remove(VirtualTimer* t) {
    std::erase(timers_, t);
}

VirtualTimer* VirtualClock::nextDue(qint64 limit) const {
    VirtualTimer* best = nullptr;
    for (auto* t : timers_) {
        if (!t->active_ || t->due_ > limit) {
            continue;
        }
        if (!best || t->due_ < best->due_ || (t->due_ == best->due_ && t->order_ < best->order_)) {
            best = t;
        }
    }
    return best;
}

void VirtualClock::advance(qint64 ms) {
    const qint64 target = nowMs_ + ms;
    while (auto* t = nextDue(target)) {
        nowMs_ = std::max(nowMs_, t->due_);
        t->fire();
    }
    nowMs_ = target;
}

bool VirtualClock::advanceUntil(const std::function<bool()>& predicate, qint64 maxMs) {
    const qint64 target = nowMs_ + maxMs;
    while (!predicate()) {
        auto* t = nextDue(target);
        if (!t) {
            nowMs_ = target;
            return predicate();
        }
        nowMs_ = std::max(nowMs_, t->due_);
        t->fire();
    }
    return true;
}

void VirtualClock::setNow(const QDateTime& wall) {
    wallStart_ = wall.addMSecs(-nowMs_);
}

}  // namespace lp::platform
