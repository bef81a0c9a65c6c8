// The request-and-reply and the setting exchanges of the logger.
#include "memory/reply_exchanges.h"

namespace lp::memory {

ReplyExchange::ReplyExchange(QString name, int silenceLimitMs, Progress progress, char letter,
                             qsizetype expectedSize, std::function<QString(qsizetype)> progressText)
    : MemoryExchange(std::move(name), silenceLimitMs, std::move(progress)),
      letter_(letter),
      expected_(expectedSize),
      progressText_(std::move(progressText)) {}

void ReplyExchange::begin() {
    discardInput();
    send(QByteArray(1, letter_));
    collect(
        expected_,
        [this] {
            if (progressText_) {
                progress(progressText_(reply().size()));
            }
        },
        [this] { finish(); });
}

QString ReplyExchange::progressNote() const {
    return bytesCame(reply().size(), expected_);
}

SettingExchange::SettingExchange(QString name, char letter, QByteArray value)
    : MemoryExchange(std::move(name), 0), letter_(letter), value_(std::move(value)) {}

void SettingExchange::begin() {
    send(QByteArray(1, letter_));
    wait(kPauseMs, [this] {
        send(value_);
        finish();
    });
}

}  // namespace lp::memory
