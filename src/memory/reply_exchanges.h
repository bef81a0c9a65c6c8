// The logger exchanges: a one-letter request answered with a reply of known length
// ("Y" memory status, "C" meter clock, "I" set table), and a one-letter setting
// followed by two bytes with no reply ("X" identification code, "W" interval).
#pragma once

#include "memory/memory_exchange.h"

namespace lp::memory {

class ReplyExchange final : public MemoryExchange {
public:
    // Discards waiting input, empties `into`, sends `letter`, then collects
    // `expectedSize()` bytes (asked when the exchange starts) into `into`.
    // `progressText`, if given, turns the bytes received so far into a progress text.
    ReplyExchange(std::shared_ptr<ExchangeTicket> ticket, int silenceLimitMs, Report report,
                  char letter, std::function<qsizetype()> expectedSize, QByteArray& into,
                  std::function<QString(qsizetype received)> progressText = {});

protected:
    void start() override;
    [[nodiscard]] QString countsText() const override;

private:
    char letter_;
    std::function<qsizetype()> expectedSize_;
    QByteArray& into_;
    std::function<QString(qsizetype)> progressText_;
    qsizetype expected_ = 0;
};

class SettingExchange final : public MemoryExchange {
public:
    // The meter needs this long between the letter and its two bytes.
    static constexpr int kPauseMs = 200;

    // Sends `letter`, waits 0.2 s, sends the two `value` bytes; succeeds once sent.
    SettingExchange(std::shared_ptr<ExchangeTicket> ticket, Report report, char letter,
                    QByteArray value);

protected:
    void start() override;

private:
    char letter_;
    QByteArray value_;
};

}  // namespace lp::memory
