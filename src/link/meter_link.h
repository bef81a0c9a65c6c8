// The single line to the meter. Exchanges queue here and run strictly one after
// the other, so a poll never takes the reply of a key or a memory request.
//
// Each submitted exchange ends exactly once through its handler: it finished, it
// failed (its reason), the user cancelled it, the port went away (running or
// queued), the port was replaced, or the link refused it because the port was
// already gone. The handler runs once the line is free of it.
#pragma once

#include <QObject>
#include <deque>
#include <memory>
#include <vector>

#include "link/exchange.h"
#include "platform/clock.h"
#include "platform/transport.h"

namespace lp::link {

class MeterLink : public QObject {
    Q_OBJECT
public:
    MeterLink(platform::Transport& port, platform::Clock& clock, QObject* parent = nullptr);
    // Exchanges still queued or running end without being heard.
    ~MeterLink() override;

    // Queues the exchange (it begins at once when the link is idle) and returns its
    // id. On a lost port `ended` hears the refusal before this returns.
    ExchangeId submit(std::unique_ptr<Exchange> exchange, ExchangeEndHandler ended = {});
    // Cancels that exchange, running or queued; false when it has ended already.
    bool cancel(ExchangeId id);
    // That exchange is queued or running.
    [[nodiscard]] bool pending(ExchangeId id) const;
    // True while an exchange runs or waits its turn.
    [[nodiscard]] bool busy() const { return current_ != nullptr || !queue_.empty(); }

    // The port went away and nothing reaches the meter until replacePort().
    [[nodiscard]] bool portLost() const { return failed_; }
    // Talks through `port` from now on (the same meter, reconnected); whatever ran or
    // waited on the old port ends. The old port may be destroyed afterwards.
    void replacePort(platform::Transport& port);
    [[nodiscard]] platform::Clock& clock() { return clock_; }

signals:
    // The port went away; every exchange was ended.
    void portFailed(const QString& reason);
    // The link talks through a port opened anew (replacePort).
    void portReplaced();
    // No exchange runs or waits any more.
    void idle();

private:
    friend class Exchange;
    void ended(Exchange* exchange, ExchangeEnd end);
    void abortCurrent(const QString& reason, bool cancelled);
    // Ends the running exchange and every queued one with `reason`.
    void stopAll(const QString& reason);
    void startNext();
    void attach();

    platform::Transport* port_;
    platform::Clock& clock_;
    ExchangeId lastId_ = 0;
    std::unique_ptr<Exchange> current_;
    // Ended exchanges live on until control is back in the event loop: their own
    // callbacks may still be unwinding when they end.
    std::vector<std::unique_ptr<Exchange>> retired_;
    std::deque<std::unique_ptr<Exchange>> queue_;
    bool starting_ = false;
    bool failed_ = false;
};

}  // namespace lp::link
