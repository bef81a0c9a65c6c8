#include "fake_transport.h"

namespace lp::test {

FakeTransport::FakeTransport(platform::Clock& clock, int latencyMs)
    : clock_(clock), latencyMs_(latencyMs) {}

void FakeTransport::inject(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return;
    }
    rx_.append(bytes);
    emit readyRead();
}

void FakeTransport::write(const QByteArray& bytes) {
    written.append(bytes);
    if (!responder_) {
        return;
    }
    const QByteArray reply = responder_(bytes);
    if (reply.isEmpty()) {
        return;
    }
    auto timer = clock_.createTimer(latencyMs_, true, [this, reply] { inject(reply); });
    timer->start();
    deliveries_.push_back(std::move(timer));
}

QByteArray FakeTransport::readAll() {
    QByteArray out;
    out.swap(rx_);
    return out;
}

}  // namespace lp::test
