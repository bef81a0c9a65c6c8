// The logger exchanges: a one-letter request answered with a reply of known length
// ("Y" memory status, "C" meter clock, "I" set table), and a one-letter setting
// followed by two bytes with no reply ("X" identification code, "W" interval).
#pragma once

#include "memory/memory_exchange.h"

namespace lp::memory {

class ReplyExchange final : public MemoryExchange {
public:
    // Discards waiting input, sends `letter`, then collects `expectedSize` bytes.
    // `progressText`, if given, turns the bytes received so far into a progress text.
    ReplyExchange(QString name, int silenceLimitMs, Progress progress, char letter,
                  qsizetype expectedSize,
                  std::function<QString(qsizetype received)> progressText = {});

    [[nodiscard]] QString progressNote() const override;

protected:
    void begin() override;

private:
    char letter_;
    qsizetype expected_;
    std::function<QString(qsizetype)> progressText_;
};

class SettingExchange final : public MemoryExchange {
public:
    // The meter needs this long between the letter and its two bytes.
    static constexpr int kPauseMs = 200;

    // Sends `letter`, waits 0.2 s, sends the two `value` bytes; ends once sent.
    SettingExchange(QString name, char letter, QByteArray value);

protected:
    void begin() override;

private:
    char letter_;
    QByteArray value_;
};

}  // namespace lp::memory
