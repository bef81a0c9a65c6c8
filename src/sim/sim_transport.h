// The simulated meter behind the Transport seam, in the same process: what the program
// writes goes to a SimMeter, and its answer comes back after a latency on the clock,
// optionally paced like a 9600 baud line (960 bytes a second, arriving in pieces).
#pragma once

#include <deque>
#include <memory>

#include "platform/clock.h"
#include "platform/transport.h"
#include "sim/sim_meter.h"

namespace lp::sim {

class SimTransport final : public platform::Transport {
    Q_OBJECT
public:
    static constexpr int kBytesPerSecond = 960;  // 9600 baud, 10 bits per byte
    static constexpr int kPieceMs = 10;          // paced bytes arrive at most this often

    SimTransport(SimMeter& meter, platform::Clock& clock, bool pacedAt9600 = false,
                 int latencyMs = 15);
    ~SimTransport() override;

    // Feeds the meter; its reply arrives after latencyMs (and, when paced, at 960 bytes a
    // second: a 2048-byte block takes about 2.13 s), each arrival emitting readyRead.
    void write(const QByteArray& bytes) override;
    [[nodiscard]] QByteArray readAll() override;
    [[nodiscard]] qint64 bytesAvailable() const override { return rx_.size(); }
    [[nodiscard]] QString description() const override { return QStringLiteral("Simulated meter"); }

private:
    // One reply on the line; it starts arriving at startMs.
    struct Reply {
        qint64 startMs;
        QByteArray bytes;
        qsizetype delivered = 0;
    };
    [[nodiscard]] qsizetype arrivedBy(const Reply& r, qint64 t) const;
    [[nodiscard]] qint64 timeOfByte(const Reply& r, qsizetype count) const;
    void deliver();
    void schedule();

    SimMeter& meter_;
    platform::Clock& clock_;
    bool paced_;
    int latencyMs_;
    std::deque<Reply> line_;
    qint64 lineFreeMs_ = 0;
    qint64 lastDeliveryMs_ = -1000000;
    QByteArray rx_;
    std::unique_ptr<platform::Timer> timer_;
};

}  // namespace lp::sim
