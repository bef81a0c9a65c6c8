#include "memory/download_exchange.h"

#include "memory/download_decoder.h"

namespace lp::memory {

DownloadExchange::DownloadExchange(std::shared_ptr<ExchangeTicket> ticket, int silenceLimitMs,
                                   Report report, int setNumber, qint32 recordCount,
                                   QByteArray& into)
    : MemoryExchange(std::move(ticket), silenceLimitMs, std::move(report)),
      setNumber_(setNumber),
      total_(setByteSize(recordCount)),
      blocks_(blockCount(recordCount)),
      into_(into) {}

void DownloadExchange::start() {
    discardInput();
    into_.clear();
    send(QByteArrayLiteral("K"));
    wait(kPauseMs, [this] {
        send(QByteArray(1, static_cast<char>(setNumber_)));
        wait(kPauseMs, [this] {
            collect(
                into_, total_ % kBlockSize, [this] { recordsProgress(); }, [this] { nextBlock(); });
        });
    });
}

void DownloadExchange::recordsProgress() {
    // Truncated toward zero: while the header is still short the count is negative
    // (6 bytes give -3), as the meter's own software showed it.
    const qint64 records = (qint64{into_.size()} - kSetHeaderSize) / kRecordSize;
    progress(QString::number(records) + QStringLiteral(" Records Completed"));
}

void DownloadExchange::nextBlock() {
    if (block_ >= blocks_) {
        succeed();
        return;
    }
    ++block_;
    blockStart_ = into_.size();
    send(QByteArrayLiteral("Z"));
    collect(
        into_, blockStart_ + kBlockSize,
        [this] {
            progress(QString::number(blocks_ - block_) + QStringLiteral("--") +
                     QString::number(into_.size() - blockStart_) +
                     QStringLiteral(" Bytes Completed"));
        },
        [this] {
            recordsProgress();
            nextBlock();
        });
}

QString DownloadExchange::countsText() const {
    return bytesCame(into_.size(), total_);
}

}  // namespace lp::memory
