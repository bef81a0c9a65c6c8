// The download of one stored set: "K" and the set number, the first part of the set,
// then one "Z" per 2048-byte block until the set's 12 + 2N bytes are in. The bytes
// are the exchange's reply, so whatever came before a failure or a cancel travels
// with its end.
#pragma once

#include "memory/memory_exchange.h"

namespace lp::memory {

class DownloadExchange final : public MemoryExchange {
public:
    // Pause after "K" and after the set number, as the meter expects.
    static constexpr int kPauseMs = 20;

    DownloadExchange(int silenceLimitMs, Progress progress, int setNumber, qint32 recordCount);

    [[nodiscard]] QString progressNote() const override;

protected:
    void begin() override;

private:
    void recordsProgress();
    void nextBlock();

    int setNumber_;
    qint64 total_;   // 12 + 2N
    qint64 blocks_;  // "Z" blocks in the set
    qint64 block_ = 0;
    qsizetype blockStart_ = 0;
};

}  // namespace lp::memory
