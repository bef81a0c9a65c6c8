// Reply collection with a silence limit, shared by the memory exchanges.
#include "memory/memory_exchange.h"

#include "memory/memory_text.h"

namespace lp::memory {

MemoryExchange::MemoryExchange(QString name, int silenceLimitMs, Progress progress)
    : name_(std::move(name)), silenceLimitMs_(silenceLimitMs), progress_(std::move(progress)) {}

void MemoryExchange::collect(qsizetype untilSize, std::function<void()> arrived,
                             std::function<void()> complete) {
    collecting_ = true;
    untilSize_ = untilSize;
    arrived_ = std::move(arrived);
    complete_ = std::move(complete);
    if (reply().size() >= untilSize) {
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
    const qsizetype room = untilSize_ - reply().size();
    reply().append(bytes.left(room));
    if (arrived_) {
        arrived_();
    }
    if (!running()) {
        return;
    }
    if (reply().size() >= untilSize_) {
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
    fail(QStringLiteral("The meter stopped answering during the %1: %2.")
             .arg(name(), progressNote()));
}

void MemoryExchange::aborted() {
    collecting_ = false;
}

void MemoryExchange::progress(const QString& text) {
    if (progress_) {
        progress_(text);
    }
}

QString MemoryExchange::bytesCame(qint64 received, qint64 expected) {
    return QStringLiteral("%1 of %2 bytes came")
        .arg(groupedCount(received), groupedCount(expected));
}

}  // namespace lp::memory
