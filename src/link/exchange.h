// One conversation with the meter (a poll, a key, a memory request). Exchanges run
// one at a time on a MeterLink; each waits by sleeping on the clock, never spinning.
// Every exchange handed to the link ends exactly once, and the one who submitted it
// hears that end with the reply bytes or the reason in words.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "platform/clock.h"

namespace lp::link {

class MeterLink;

// Names one submitted exchange, for cancel() and pending(); never 0.
using ExchangeId = quint64;

// How an exchange ended.
struct ExchangeEnd {
    bool ok = false;         // it ran to its own end
    bool cancelled = false;  // the user cancelled it
    bool started = false;    // it got the line (false: refused, or dropped while queued)
    QByteArray bytes;        // its reply, or the part of it that came
    QString reason;          // why it did not end well, as the user reads it
};

using ExchangeEndHandler = std::function<void(const ExchangeEnd& end)>;

class Exchange {
public:
    virtual ~Exchange();
    // What the exchange does, for messages ("memory status", "download of set 3").
    [[nodiscard]] virtual QString name() const = 0;
    // How far it got, for messages about an end it did not reach ("212 of 4,012
    // bytes came"); empty when there is nothing to say.
    [[nodiscard]] virtual QString progressNote() const { return {}; }

protected:
    // Called when it is this exchange's turn on the link.
    virtual void begin() = 0;
    // Bytes came in while this exchange runs.
    virtual void bytesArrived() {}
    // The user cancelled, or the port failed; the exchange must not touch the port
    // again. The link ends it right after this call.
    virtual void aborted() {}

    void send(const QByteArray& bytes);
    void discardInput();
    [[nodiscard]] qint64 waiting() const;
    [[nodiscard]] QByteArray takeAll();
    // Calls `then` after ms milliseconds; a new wait replaces a pending one.
    void wait(int ms, std::function<void()> then);
    void cancelWait();
    // Ends this exchange well, with reply() as its bytes; the next queued one starts.
    void finish();
    // Ends this exchange with `reason`, with what reply() holds so far.
    void fail(const QString& reason);
    [[nodiscard]] platform::Clock& clock() const;
    [[nodiscard]] bool running() const { return link_ != nullptr; }
    // The reply this exchange collects; it travels with the end.
    [[nodiscard]] QByteArray& reply() { return reply_; }
    [[nodiscard]] const QByteArray& reply() const { return reply_; }

private:
    friend class MeterLink;
    MeterLink* link_ = nullptr;
    ExchangeId id_ = 0;
    ExchangeEndHandler ended_;
    QByteArray reply_;
    std::unique_ptr<platform::Timer> timer_;
    std::function<void()> then_;
};

}  // namespace lp::link
