// The live poll: a space out, 0.2 s, exactly five bytes back. Ten failed attempts
// mean the meter is silent ("No COM"); from then on every poll is one attempt until
// a frame comes, which brings the link back ("COM1").
#pragma once

#include <QObject>

#include "link/meter_link.h"

namespace lp::link {

enum class LinkState { NotOpened, Linked, NoData };

class LivePoller : public QObject {
    Q_OBJECT
public:
    static constexpr int kAttempts = 10;
    static constexpr int kReplyWaitMs = 200;

    explicit LivePoller(MeterLink& link, QObject* parent = nullptr);

    // One poll timer tick: starts a poll unless the link is busy (a poll, a key or a
    // memory exchange runs or waits), so polls never nest or take others' replies.
    // Returns true when a poll was started.
    bool tick();

    [[nodiscard]] LinkState state() const { return state_; }
    // Marks the port as opened: the link counts as linked until polls fail.
    void setOpened();

signals:
    void frameReceived(const QByteArray& frame);
    void stateChanged(lp::link::LinkState state);

private:
    void pollSucceeded(const QByteArray& frame);
    void pollFailed();

    MeterLink& link_;
    LinkState state_ = LinkState::NotOpened;
};

}  // namespace lp::link
