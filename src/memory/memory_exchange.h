// Base of the meter-memory exchanges: collects reply bytes as they arrive (no polling)
// into the exchange's own reply, and gives up after a stretch of silence with a
// message that names the exchange and how many bytes came.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "link/exchange.h"

namespace lp::memory {

enum class MemoryCommand { Status, IdCode, SamplingInterval, MeterClock, SetTable, Download };

class MemoryExchange : public link::Exchange {
public:
    using Progress = std::function<void(const QString& text)>;

    // `name` is how messages call it ("download of set 3"); `progress` hears the
    // progress texts.
    MemoryExchange(QString name, int silenceLimitMs, Progress progress = {});

    [[nodiscard]] QString name() const override { return name_; }

protected:
    // Appends reply bytes to reply() until it holds `untilSize` bytes; bytes beyond that
    // are surplus and dropped. `arrived` runs after every arrival, `complete` once the
    // size is reached (at once if it already is). Silence longer than the limit fails
    // the exchange.
    void collect(qsizetype untilSize, std::function<void()> arrived,
                 std::function<void()> complete);
    void progress(const QString& text);

    // "1,536 of 2,060 bytes came".
    [[nodiscard]] static QString bytesCame(qint64 received, qint64 expected);

private:
    void bytesArrived() final;
    void aborted() final;
    void take();
    void silence();

    QString name_;
    int silenceLimitMs_;
    Progress progress_;

    bool collecting_ = false;
    qsizetype untilSize_ = 0;
    std::function<void()> arrived_;
    std::function<void()> complete_;
};

}  // namespace lp::memory
