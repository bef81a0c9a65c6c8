#include "memory/memory_exchange.h"

#include "memory/memory_text.h"

namespace lp::memory {

MemoryExchange::MemoryExchange(std::shared_ptr<ExchangeTicket> ticket, int silenceLimitMs,
                               Report report)
    : ticket_(std::move(ticket)), silenceLimitMs_(silenceLimitMs), report_(std::move(report)) {
    ticket_->exchange = this;
}

MemoryExchange::~MemoryExchange() {
    ticket_->exchange = nullptr;
}

void MemoryExchange::begin() {
    if (ticket_->ended) {
        // Cancelled while it waited its turn; that was reported then.
        finish();
        return;
    }
    ticket_->started = true;
    start();
}

void MemoryExchange::collect(QByteArray& into, qsizetype untilSize, std::function<void()> arrived,
                             std::function<void()> complete) {
    collecting_ = true;
    into_ = &into;
    untilSize_ = untilSize;
    arrived_ = std::move(arrived);
    complete_ = std::move(complete);
    if (into.size() >= untilSize) {
        collecting_ = false;
        auto done = std::move(complete_);
        done();
        return;
    }
    wait(silenceLimitMs_, [this] { silence(); });
    if (waiting() > 0) {
        take();
    }
}

void MemoryExchange::bytesArrived() {
    // Bytes that come while the exchange is still sending (during its short pauses)
    // stay in the port until it starts collecting.
    if (collecting_) {
        take();
    }
}

void MemoryExchange::take() {
    const QByteArray bytes = takeAll();
    if (bytes.isEmpty()) {
        return;
    }
    const qsizetype room = untilSize_ - into_->size();
    into_->append(bytes.left(room));
    if (arrived_) {
        arrived_();
    }
    if (!running()) {
        return;
    }
    if (into_->size() >= untilSize_) {
        collecting_ = false;
        cancelWait();
        auto done = std::move(complete_);
        done();
        return;
    }
    wait(silenceLimitMs_, [this] { silence(); });
}

void MemoryExchange::silence() {
    collecting_ = false;
    fail(
        QStringLiteral("The meter stopped answering during the %1: %2.").arg(name(), countsText()));
}

void MemoryExchange::aborted(const QString& reason) {
    collecting_ = false;
    if (ticket_->ended) {
        return;
    }
    const QString counts = countsText();
    QString message;
    if (ticket_->cancelByUser) {
        message = QStringLiteral("The %1 was cancelled").arg(name());
    } else {
        message = QStringLiteral("The %1 stopped: %2").arg(name(), reason);
    }
    message += counts.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (%1).").arg(counts);
    end();
    if (report_.failed) {
        if (const Announce announce = report_.failed(message, ticket_->cancelByUser)) {
            announce();
        }
    }
}

void MemoryExchange::progress(const QString& text) {
    if (report_.progress) {
        report_.progress(text);
    }
}

void MemoryExchange::succeed() {
    if (ticket_->ended) {
        return;
    }
    end();
    const Announce announce = report_.succeeded ? report_.succeeded() : Announce();
    finish();
    if (announce) {
        announce();
    }
}

void MemoryExchange::fail(const QString& message) {
    if (ticket_->ended) {
        return;
    }
    end();
    const Announce announce = report_.failed ? report_.failed(message, false) : Announce();
    finish();
    if (announce) {
        announce();
    }
}

void MemoryExchange::end() {
    ticket_->ended = true;
    collecting_ = false;
}

QString MemoryExchange::bytesCame(qint64 received, qint64 expected) {
    return QStringLiteral("%1 of %2 bytes came")
        .arg(groupedCount(received), groupedCount(expected));
}

}  // namespace lp::memory
