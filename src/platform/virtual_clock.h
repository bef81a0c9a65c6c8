// A clock that only moves when told to. Tests advance it by milliseconds and every
// timer due on the way fires in time order, so seconds of meter timing run at once.
#pragma once

#include <vector>

#include "platform/clock.h"

namespace lp::platform {

class VirtualTimer;

class VirtualClock final : public Clock {
public:
    explicit VirtualClock(QDateTime start = QDateTime(QDate(2009, 6, 1), QTime(14, 5, 9)));
    ~VirtualClock() override;

    [[nodiscard]] qint64 elapsedMs() const override { return nowMs_; }
    [[nodiscard]] QDateTime now() const override { return wallStart_.addMSecs(nowMs_); }
    [[nodiscard]] std::unique_ptr<Timer> createTimer(int intervalMs, bool singleShot,
                                                     std::function<void()> onTimeout) override;

    // Moves time forward by ms, firing every timer that falls due, in order.
    void advance(qint64 ms);
    // Fires due timers until none is due before `predicate` holds or `maxMs` passes.
    // Returns true when the predicate became true.
    bool advanceUntil(const std::function<bool()>& predicate, qint64 maxMs);
    // Sets the wall clock without moving the timers.
    void setNow(const QDateTime& wall);

private:
    friend class VirtualTimer;
    void add(VirtualTimer* t);
    void remove(VirtualTimer* t);
    [[nodiscard]] VirtualTimer* nextDue(qint64 limit) const;

    qint64 nowMs_ = 0;
    QDateTime wallStart_;
    std::vector<VirtualTimer*> timers_;
    quint64 sequence_ = 0;
};

}  // namespace lp::platform
