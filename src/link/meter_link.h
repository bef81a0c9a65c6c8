// The single line to the meter. Exchanges queue here and run strictly one after
// the other, so a poll never takes the reply of a key or a memory request.
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
    ~MeterLink() override;

    // Queues the exchange; it begins at once when the link is idle.
    void submit(std::unique_ptr<Exchange> exchange);
    // True while an exchange runs or waits its turn.
    [[nodiscard]] bool busy() const { return current_ != nullptr || !queue_.empty(); }
    // The running exchange, if any.
    [[nodiscard]] const Exchange* current() const { return current_.get(); }
    // Stops the running exchange (the user pressed Cancel); queued ones still run.
    void cancelCurrent(const QString& reason);

    [[nodiscard]] platform::Transport& port() { return *port_; }
    // The port went away and nothing reaches the meter until replacePort().
    [[nodiscard]] bool portLost() const { return failed_; }
    // Talks through `port` from now on (the same meter, reconnected); whatever ran or
    // waited on the old port is dropped. The old port may be destroyed afterwards.
    void replacePort(platform::Transport& port);
    [[nodiscard]] platform::Clock& clock() { return clock_; }

signals:
    // The port went away; every exchange was stopped.
    void portFailed(const QString& reason);
    // No exchange runs or waits any more.
    void idle();

private:
    friend class Exchange;
    void finished(Exchange* exchange);
    void startNext();
    void attach();

    platform::Transport* port_;
    platform::Clock& clock_;
    std::unique_ptr<Exchange> current_;
    // Finished exchanges live on until control is back in the event loop: their own
    // callbacks may still be unwinding when they finish.
    std::vector<std::unique_ptr<Exchange>> retired_;
    std::deque<std::unique_ptr<Exchange>> queue_;
    bool starting_ = false;
    bool failed_ = false;
};

}  // namespace lp::link
