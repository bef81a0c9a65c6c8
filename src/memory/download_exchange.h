// The download of one stored set: "K" and the set number, the first part of the set,
// then one "Z" per 2048-byte block until the set's 12 + 2N bytes are in. Bytes go
// straight into the target (ProgramState::MemoryData), so whatever came before a
// failure or a cancel stays there.
#pragma once

#include "memory/memory_exchange.h"

namespace lp::memory {

class DownloadExchange final : public MemoryExchange {
public:
    // Pause after "K" and after the set number, as the meter expects.
    static constexpr int kPauseMs = 20;

    DownloadExchange(std::shared_ptr<ExchangeTicket> ticket, int silenceLimitMs, Report report,
                     int setNumber, qint32 recordCount, QByteArray& into);

protected:
    void start() override;
    [[nodiscard]] QString countsText() const override;

private:
    void recordsProgress();
    void nextBlock();

    int setNumber_;
    qint64 total_;   // 12 + 2N
    qint64 blocks_;  // "Z" blocks in the set
    qint64 block_ = 0;
    qsizetype blockStart_ = 0;
    QByteArray& into_;
};

}  // namespace lp::memory
