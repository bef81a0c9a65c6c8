// Base of the meter-memory exchanges: collects reply bytes as they arrive (no polling),
// gives up after a stretch of silence, and reports exactly one end: success, failure
// (silence or port gone) or a cancel by the user.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "link/exchange.h"

namespace lp::memory {

enum class MemoryCommand { Status, IdCode, SamplingInterval, MeterClock, SetTable, Download };

// Shared between an exchange and whoever queued it, so either side can tell whether
// the exchange still exists, has ended, or is to be cancelled.
struct ExchangeTicket {
    MemoryCommand command = MemoryCommand::Status;
    QString name;                              // "download of set 3"
    const link::Exchange* exchange = nullptr;  // while the exchange object exists
    bool started = false;                      // begin() ran
    bool ended = false;                        // its end was reported
    bool cancelByUser = false;                 // the next abort is the user's Cancel
};

class MemoryExchange : public link::Exchange {
public:
    // What to tell at each end. The end hooks run while the exchange still holds the
    // line, so they see the state it wrote before the next exchange can touch it; they
    // return what to announce, which runs once the line is free (for a cancel or a
    // failed port, at once: the link ends the exchange right after).
    using Announce = std::function<void()>;
    struct Report {
        std::function<void(const QString& text)> progress;
        std::function<Announce()> succeeded;
        std::function<Announce(const QString& message, bool cancelled)> failed;
    };

    MemoryExchange(std::shared_ptr<ExchangeTicket> ticket, int silenceLimitMs, Report report);
    ~MemoryExchange() override;

    [[nodiscard]] QString name() const override { return ticket_->name; }

protected:
    // The exchange's own steps, run when its turn comes (not run when it was cancelled
    // while it waited in the queue).
    virtual void start() = 0;
    // "1,536 of 2,060 bytes came", for the failure messages; empty when the exchange
    // reads no reply.
    [[nodiscard]] virtual QString countsText() const { return {}; }

    // Appends reply bytes to `into` until it holds `untilSize` bytes; bytes beyond that
    // are surplus and dropped. `arrived` runs after every arrival, `complete` once the
    // size is reached (at once if it already is). Silence longer than the limit fails
    // the exchange.
    void collect(QByteArray& into, qsizetype untilSize, std::function<void()> arrived,
                 std::function<void()> complete);

    void progress(const QString& text);
    void succeed();
    void fail(const QString& message);

    [[nodiscard]] static QString bytesCame(qint64 received, qint64 expected);

private:
    void begin() final;
    void bytesArrived() final;
    void aborted(const QString& reason) final;
    void take();
    void silence();
    void end();

    std::shared_ptr<ExchangeTicket> ticket_;
    int silenceLimitMs_;
    Report report_;

    bool collecting_ = false;
    QByteArray* into_ = nullptr;
    qsizetype untilSize_ = 0;
    std::function<void()> arrived_;
    std::function<void()> complete_;
};

}  // namespace lp::memory
