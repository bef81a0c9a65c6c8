// The live poll as one exchange with its attempts; the poller turns each poll's end
// into a frame or a silent meter.
#include "link/live_poller.h"

#include <QPointer>

#include "link/meter_decode.h"

namespace lp::link {
namespace {

class LivePoll final : public Exchange {
public:
    explicit LivePoll(int attempts) : attemptsLeft_(attempts) {}
    QString name() const override { return QStringLiteral("live poll"); }

protected:
    void begin() override { attempt(); }

private:
    void attempt() {
        discardInput();
        send(QByteArray(1, ' '));
        wait(LivePoller::kReplyWaitMs, [this] { check(); });
    }
    void check() {
        if (waiting() == kLiveFrameSize) {
            reply() = takeAll();
            finish();
            return;
        }
        // A reply of the wrong length (too few or surplus bytes) is never a frame;
        // the next attempt discards it.
        if (--attemptsLeft_ > 0) {
            attempt();
            return;
        }
        fail(QStringLiteral("The meter sent no frame."));
    }

    int attemptsLeft_;
};

}  // namespace

LivePoller::LivePoller(MeterLink& link, QObject* parent) : QObject(parent), link_(link) {
    // A port that went away is a silent meter until frames come again; a port opened
    // anew counts as linked until its polls fail, as at the start, so a meter that
    // stays silent on it is told again.
    connect(&link_, &MeterLink::portFailed, this, &LivePoller::pollFailed);
    connect(&link_, &MeterLink::portReplaced, this, &LivePoller::setOpened);
}

void LivePoller::setOpened() {
    if (state_ != LinkState::Linked) {
        state_ = LinkState::Linked;
        emit stateChanged(state_);
    }
}

bool LivePoller::tick() {
    if (link_.busy()) {
        return false;
    }
    const int attempts = state_ == LinkState::NoData ? 1 : kAttempts;
    link_.submit(std::make_unique<LivePoll>(attempts),
                 [self = QPointer(this)](const ExchangeEnd& end) {
                     if (!self) {
                         return;
                     }
                     if (end.ok) {
                         self->pollSucceeded(end.bytes);
                     } else {
                         self->pollFailed();
                     }
                 });
    return true;
}

void LivePoller::pollSucceeded(const QByteArray& frame) {
    if (state_ != LinkState::Linked) {
        state_ = LinkState::Linked;
        emit stateChanged(state_);
    }
    emit frameReceived(frame);
}

void LivePoller::pollFailed() {
    if (state_ != LinkState::NoData) {
        state_ = LinkState::NoData;
        emit stateChanged(state_);
    }
}

}  // namespace lp::link
