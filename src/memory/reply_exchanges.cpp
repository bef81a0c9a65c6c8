#include "memory/reply_exchanges.h"

namespace lp::memory {

ReplyExchange::ReplyExchange(std::shared_ptr<ExchangeTicket> ticket, int silenceLimitMs,
                             Report report, char letter, std::function<qsizetype()> expectedSize,
                             QByteArray& into, std::function<QString(qsizetype)> progressText)
    : MemoryExchange(std::move(ticket), silenceLimitMs, std::move(report)),
      letter_(letter),
      expectedSize_(std::move(expectedSize)),
      into_(into),
      progressText_(std::move(progressText)) {}

void ReplyExchange::start() {
    expected_ = expectedSize_();
    discardInput();
    into_.clear();
    send(QByteArray(1, letter_));
    collect(
        into_, expected_,
        [this] {
            if (progressText_) {
                progress(progressText_(into_.size()));
            }
        },
        [this] { succeed(); });
}

QString ReplyExchange::countsText() const {
    return bytesCame(into_.size(), expected_);
}

SettingExchange::SettingExchange(std::shared_ptr<ExchangeTicket> ticket, Report report, char letter,
                                 QByteArray value)
    : MemoryExchange(std::move(ticket), 0, std::move(report)),
      letter_(letter),
      value_(std::move(value)) {}

void SettingExchange::start() {
    send(QByteArray(1, letter_));
    wait(kPauseMs, [this] {
        send(value_);
        succeed();
    });
}

}  // namespace lp::memory
