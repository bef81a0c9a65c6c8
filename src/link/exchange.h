// One conversation with the meter (a poll, a key, a memory request). Exchanges run
// one at a time on a MeterLink; each waits by sleeping on the clock, never spinning.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "platform/clock.h"

namespace lp::link {

class MeterLink;

class Exchange {
public:
    virtual ~Exchange();
    // What the exchange does, for messages ("memory status", "download of set 3").
    [[nodiscard]] virtual QString name() const = 0;

protected:
    // Called when it is this exchange's turn on the link.
    virtual void begin() = 0;
    // Bytes came in while this exchange runs.
    virtual void bytesArrived() {}
    // The user cancelled, or the port failed; the exchange must not touch the port
    // again. The link finishes it right after this call.
    virtual void aborted(const QString& reason) { (void)reason; }

    void send(const QByteArray& bytes);
    void discardInput();
    [[nodiscard]] qint64 waiting() const;
    [[nodiscard]] QByteArray takeAll();
    // Calls `then` after ms milliseconds; a new wait replaces a pending one.
    void wait(int ms, std::function<void()> then);
    void cancelWait();
    // Ends this exchange; the next queued one starts.
    void finish();
    [[nodiscard]] platform::Clock& clock() const;
    [[nodiscard]] bool running() const { return link_ != nullptr; }

private:
    friend class MeterLink;
    MeterLink* link_ = nullptr;
    std::unique_ptr<platform::Timer> timer_;
    std::function<void()> then_;
};

}  // namespace lp::link
