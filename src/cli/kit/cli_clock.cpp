#include "cli/kit/cli_clock.h"

#include "platform/qt_clock.h"

namespace lp::cli {
namespace {

class ShiftedClock final : public platform::Clock {
public:
    explicit ShiftedClock(const QDateTime& start) : start_(start) {}
    [[nodiscard]] qint64 elapsedMs() const override { return real_.elapsedMs(); }
    [[nodiscard]] QDateTime now() const override { return start_.addMSecs(real_.elapsedMs()); }
    [[nodiscard]] std::unique_ptr<platform::Timer> createTimer(
        int intervalMs, bool singleShot, std::function<void()> onTimeout) override {
        return real_.createTimer(intervalMs, singleShot, std::move(onTimeout));
    }

private:
    platform::QtClock real_;
    QDateTime start_;
};

}  // namespace

std::unique_ptr<platform::Clock> commandClock() {
    const QString fake = qEnvironmentVariable(kFakeStartVariable);
    if (!fake.isEmpty()) {
        // With an offset ("...+02:00") the start is one instant even in the hour shown
        // twice in autumn; the clock shows it in local time all the same.
        const QDateTime start = QDateTime::fromString(fake, Qt::ISODateWithMs);
        if (start.isValid()) {
            return std::make_unique<ShiftedClock>(start.toLocalTime());
        }
    }
    return std::make_unique<platform::QtClock>();
}

}  // namespace lp::cli
