// Each memory command: its exchange, and what its one end is told as.
#include "memory/memory_commands.h"

#include <QPointer>
#include <algorithm>

#include "memory/download_exchange.h"
#include "memory/logger_values.h"
#include "memory/reply_exchanges.h"

namespace lp::memory {

MemoryCommands::MemoryCommands(link::MeterLink& link, QObject* parent)
    : QObject(parent), link_(link) {}

MemoryCommands::~MemoryCommands() {
    // Nobody is left to hear the outcome: end our exchanges without a word.
    closing_ = true;
    for (const link::ExchangeId id : exchanges_) {
        link_.cancel(id);
    }
}

MemoryExchange::Progress MemoryCommands::progressTo() {
    return [self = QPointer(this)](const QString& text) {
        if (self && !self->closing_) {
            emit self->progress(text);
        }
    };
}

void MemoryCommands::run(MemoryCommand command, std::unique_ptr<link::Exchange> exchange,
                         Succeeded succeeded, Partial partial) {
    auto ended = [self = QPointer(this), command, succeeded = std::move(succeeded),
                  partial = std::move(partial)](const link::ExchangeEnd& end) {
        if (!self || self->closing_) {
            return;
        }
        if (end.ok) {
            succeeded(end.bytes);
            return;
        }
        CommandFailure failure;
        failure.command = command;
        failure.message = end.reason;
        failure.cancelled = end.cancelled;
        if (end.started && partial) {
            partial(failure, end.bytes);
        }
        emit self->failed(failure);
    };
    const link::ExchangeId id = link_.submit(std::move(exchange), std::move(ended));
    std::erase_if(exchanges_, [this](link::ExchangeId e) { return !link_.pending(e); });
    if (link_.pending(id)) {
        exchanges_.push_back(id);
    }
}

void MemoryCommands::readStatus() {
    run(MemoryCommand::Status,
        std::make_unique<ReplyExchange>(QStringLiteral("memory status request"), kSilenceLimitMs,
                                        progressTo(), 'Y', kStatusReplySize),
        [this](const QByteArray& reply) { emit statusRead(*decodeMemoryStatus(reply)); });
}

bool MemoryCommands::sendIdCode(QStringView text) {
    const auto bytes = idCodeBytes(text);
    if (!bytes) {
        return false;
    }
    run(MemoryCommand::IdCode,
        std::make_unique<SettingExchange>(QStringLiteral("identification code setting"), 'X',
                                          *bytes),
        [this](const QByteArray&) { emit idCodeSent(); });
    return true;
}

bool MemoryCommands::sendSamplingInterval(QStringView text) {
    const auto bytes = samplingIntervalBytes(text);
    if (!bytes) {
        return false;
    }
    run(MemoryCommand::SamplingInterval,
        std::make_unique<SettingExchange>(QStringLiteral("sampling interval setting"), 'W', *bytes),
        [this](const QByteArray&) { emit samplingIntervalSent(); });
    return true;
}

void MemoryCommands::readMeterClock() {
    run(MemoryCommand::MeterClock,
        std::make_unique<ReplyExchange>(QStringLiteral("meter clock request"), kSilenceLimitMs,
                                        progressTo(), 'C', kMeterClockReplySize),
        [this](const QByteArray& reply) { emit meterClockRead(meterClockText(reply)); });
}

void MemoryCommands::readSetTable(int setCount) {
    auto progressText = [](qsizetype received) {
        return QString::number(received / kSetEntrySize) + QStringLiteral(" Sets Completed");
    };
    run(
        MemoryCommand::SetTable,
        std::make_unique<ReplyExchange>(QStringLiteral("set table request"), kSilenceLimitMs,
                                        progressTo(), 'I', setTableReplySize(setCount),
                                        progressText),
        [this, setCount](const QByteArray& reply) {
            emit setTableRead(setTableRows(reply, setCount));
        },
        [setCount](CommandFailure& failure, const QByteArray& came) {
            failure.partialRows = setTableRows(came, setCount);
        });
}

void MemoryCommands::download(int set, qint32 records) {
    if (set < 1 || set > kMaxSetNumber) {
        // The set number goes out as one byte; without a chosen set there is nothing to ask.
        CommandFailure failure;
        failure.command = MemoryCommand::Download;
        failure.message = QStringLiteral("No set is chosen: click a set in the set list first.");
        emit failed(failure);
        return;
    }
    run(
        MemoryCommand::Download,
        std::make_unique<DownloadExchange>(kSilenceLimitMs, progressTo(), set, records),
        [this, set, records](const QByteArray& reply) {
            emit downloadEnded(decodeDownload(reply, set, records));
        },
        [set, records](CommandFailure& failure, const QByteArray& came) {
            failure.partialSet = decodeDownload(came, set, records);
        });
}

void MemoryCommands::cancel() {
    // Copied: each end may queue or drop entries.
    const std::vector<link::ExchangeId> ids = exchanges_;
    for (const link::ExchangeId id : ids) {
        link_.cancel(id);
    }
}

bool MemoryCommands::busy() const {
    return std::any_of(exchanges_.begin(), exchanges_.end(),
                       [this](link::ExchangeId id) { return link_.pending(id); });
}

}  // namespace lp::memory
