// A port for the link target: keeps what was written, lets the target put bytes in the
// receive buffer as if the meter sent them, and can answer every poll with a frame
// after a delay on the clock.
#pragma once

#include <memory>
#include <vector>

#include "platform/clock.h"
#include "platform/transport.h"

namespace lp::fuzz {

class FuzzTransport final : public platform::Transport {
public:
    explicit FuzzTransport(platform::Clock& clock) : clock_(clock) {}

    void inject(const QByteArray& bytes) {
        if (bytes.isEmpty()) {
            return;
        }
        rx_.append(bytes);
        emit readyRead();
    }
    void lose() { emit failed(QStringLiteral("The port went away.")); }
    // From now on each poll (" ") is answered with `frame` 20 ms later.
    void answerPollsWith(const QByteArray& frame) { frame_ = frame; }

    void write(const QByteArray& bytes) override {
        written += bytes.size();
        if (frame_.isEmpty() || bytes != " ") {
            return;
        }
        auto timer = clock_.createTimer(20, true, [this] { inject(frame_); });
        timer->start();
        deliveries_.push_back(std::move(timer));
    }
    QByteArray readAll() override {
        QByteArray out;
        out.swap(rx_);
        return out;
    }
    qint64 bytesAvailable() const override { return rx_.size(); }
    QString description() const override { return QStringLiteral("fuzz port"); }

    qint64 written = 0;

private:
    platform::Clock& clock_;
    QByteArray rx_;
    QByteArray frame_;
    std::vector<std::unique_ptr<platform::Timer>> deliveries_;
};

}  // namespace lp::fuzz
