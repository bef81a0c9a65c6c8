// The set download's steps and its progress texts.
#include "memory/download_exchange.h"

#include "memory/download_decoder.h"

namespace lp::memory {

DownloadExchange::DownloadExchange(int silenceLimitMs, Progress progress, int setNumber,
                                   qint32 recordCount)
    : MemoryExchange(QStringLiteral("download of set %1").arg(setNumber), silenceLimitMs,
                     std::move(progress)),
      setNumber_(setNumber),
      total_(setByteSize(recordCount)),
      blocks_(blockCount(recordCount)) {}

void DownloadExchange::begin() {
    discardInput();
    send(QByteArrayLiteral("K"));
    wait(kPauseMs, [this] {
        send(QByteArray(1, static_cast<char>(setNumber_)));
        wait(kPauseMs, [this] {
            collect(
                total_ % kBlockSize, [this] { recordsProgress(); }, [this] { nextBlock(); });
        });
    });
}

void DownloadExchange::recordsProgress() {
    // Truncated toward zero: while the header is still short the count is negative
    // (6 bytes give -3), as the meter's own software showed it.
    const qint64 records = (qint64{reply().size()} - kSetHeaderSize) / kRecordSize;
    progress(QString::number(records) + QStringLiteral(" Records Completed"));
}

void DownloadExchange::nextBlock() {
    if (block_ >= blocks_) {
        finish();
        return;
    }
    ++block_;
    blockStart_ = reply().size();
    send(QByteArrayLiteral("Z"));
    collect(
        blockStart_ + kBlockSize,
        [this] {
            progress(QString::number(blocks_ - block_) + QStringLiteral("--") +
                     QString::number(reply().size() - blockStart_) +
                     QStringLiteral(" Bytes Completed"));
        },
        [this] {
            recordsProgress();
            nextBlock();
        });
}

QString DownloadExchange::progressNote() const {
    return bytesCame(reply().size(), total_);
}

}  // namespace lp::memory
