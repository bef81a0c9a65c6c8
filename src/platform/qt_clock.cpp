#include "platform/qt_clock.h"

#include <QTimer>

namespace lp::platform {
namespace {

class QtTimer final : public Timer {
public:
    QtTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout) {
        timer_.setInterval(intervalMs);
        timer_.setSingleShot(singleShot);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [cb = std::move(onTimeout)] { cb(); });
    }
    void start() override { timer_.start(); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }
    void setInterval(int ms) override { timer_.setInterval(ms); }
    int interval() const override { return timer_.interval(); }

private:
    QTimer timer_;
};

}  // namespace

QtClock::QtClock() {
    elapsed_.start();
}

qint64 QtClock::elapsedMs() const {
    return elapsed_.elapsed();
}

QDateTime QtClock::now() const {
    return QDateTime::currentDateTime();
}

std::unique_ptr<Timer> QtClock::createTimer(int intervalMs, bool singleShot,
                                            std::function<void()> onTimeout) {
    return std::make_unique<QtTimer>(intervalMs, singleShot, std::move(onTimeout));
}

}  // namespace lp::platform
