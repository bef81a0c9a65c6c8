// The real clock: QElapsedTimer, the system date and time, and QTimer timers that
// fire from the event loop (no spinning).
#pragma once

#include <QElapsedTimer>

#include "platform/clock.h"

namespace lp::platform {

class QtClock final : public Clock {
public:
    QtClock();
    [[nodiscard]] qint64 elapsedMs() const override;
    [[nodiscard]] QDateTime now() const override;
    [[nodiscard]] std::unique_ptr<Timer> createTimer(int intervalMs, bool singleShot,
                                                     std::function<void()> onTimeout) override;

private:
    QElapsedTimer elapsed_;
};

}  // namespace lp::platform
