#include "sim/sim_transport.h"

#include <algorithm>

namespace lp::sim {

SimTransport::SimTransport(SimMeter& meter, platform::Clock& clock, bool pacedAt9600, int latencyMs)
    : meter_(meter), clock_(clock), paced_(pacedAt9600), latencyMs_(std::max(0, latencyMs)) {
    timer_ = clock_.createTimer(0, true, [this] { deliver(); });
}

SimTransport::~SimTransport() = default;

void SimTransport::write(const QByteArray& bytes) {
    const QByteArray reply = meter_.receive(bytes, clock_.now(), clock_.elapsedMs());
    if (reply.isEmpty()) {
        return;
    }
    // Replies queue on the line: one starts when the one before has gone out.
    const qint64 start = std::max(clock_.elapsedMs() + latencyMs_, lineFreeMs_);
    Reply r{start, reply};
    lineFreeMs_ = paced_ ? timeOfByte(r, reply.size()) : start;
    line_.push_back(std::move(r));
    schedule();
}

QByteArray SimTransport::readAll() {
    QByteArray out;
    out.swap(rx_);
    return out;
}

qint64 SimTransport::timeOfByte(const Reply& r, qsizetype count) const {
    if (!paced_) {
        return r.startMs;
    }
    return r.startMs + (qint64(count) * 1000 + kBytesPerSecond - 1) / kBytesPerSecond;
}

qsizetype SimTransport::arrivedBy(const Reply& r, qint64 t) const {
    if (t < r.startMs) {
        return 0;
    }
    if (!paced_) {
        return r.bytes.size();
    }
    return std::min<qsizetype>(r.bytes.size(), (t - r.startMs) * kBytesPerSecond / 1000);
}

void SimTransport::deliver() {
    const qint64 t = clock_.elapsedMs();
    bool arrived = false;
    while (!line_.empty()) {
        Reply& r = line_.front();
        const qsizetype n = arrivedBy(r, t);
        if (n > r.delivered) {
            rx_.append(r.bytes.mid(r.delivered, n - r.delivered));
            r.delivered = n;
            arrived = true;
        }
        if (r.delivered < r.bytes.size()) {
            break;
        }
        line_.pop_front();
    }
    if (arrived) {
        lastDeliveryMs_ = t;
    }
    schedule();
    if (arrived) {
        emit readyRead();  // a reader may write again from here; schedule() already ran
    }
}

void SimTransport::schedule() {
    if (line_.empty()) {
        timer_->stop();
        return;
    }
    const Reply& r = line_.front();
    qint64 next = timeOfByte(r, r.delivered + 1);
    if (paced_) {
        next = std::max(next, lastDeliveryMs_ + kPieceMs);
    }
    timer_->setInterval(static_cast<int>(std::max<qint64>(0, next - clock_.elapsedMs())));
    timer_->start();
}

}  // namespace lp::sim
