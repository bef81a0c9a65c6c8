#include "memory/memory_commands.h"

#include <QPointer>
#include <algorithm>

#include "memory/download_exchange.h"
#include "memory/logger_values.h"
#include "memory/reply_exchanges.h"

namespace lp::memory {

using Announce = MemoryExchange::Announce;

MemoryCommands::MemoryCommands(link::MeterLink& link, app::ProgramState& state, QObject* parent)
    : QObject(parent), link_(link), state_(state) {
    connect(&link_, &link::MeterLink::portFailed, this, &MemoryCommands::portFailed);
}

MemoryCommands::~MemoryCommands() {
    // Nobody is left to hear the outcome: end our exchanges without a word.
    const link::Exchange* current = link_.current();
    bool ownsCurrent = false;
    for (auto& ticket : tickets_) {
        if (!ticket->ended) {
            ticket->ended = true;
            ownsCurrent = ownsCurrent || (current && ticket->exchange == current);
        }
    }
    if (ownsCurrent) {
        link_.cancelCurrent(QStringLiteral("the memory window closed"));
    }
}

std::shared_ptr<ExchangeTicket> MemoryCommands::newTicket(MemoryCommand command,
                                                          const QString& name) {
    std::erase_if(tickets_, [](const auto& t) { return t->ended; });
    auto ticket = std::make_shared<ExchangeTicket>();
    ticket->command = command;
    ticket->name = name;
    tickets_.push_back(ticket);
    return ticket;
}

MemoryExchange::Report MemoryCommands::reportFor(const std::shared_ptr<ExchangeTicket>& ticket,
                                                 std::function<Announce()> succeeded) {
    QPointer<MemoryCommands> self(this);
    const MemoryCommand command = ticket->command;
    MemoryExchange::Report report;
    report.progress = [self](const QString& text) {
        if (self) {
            emit self->progress(text);
        }
    };
    report.succeeded = [self, succeeded = std::move(succeeded)]() -> Announce {
        return self ? succeeded() : Announce();
    };
    report.failed = [self, command](const QString& message, bool cancelled) -> Announce {
        if (!self) {
            return {};
        }
        // A download that began lists what came whole, decoded before the next exchange
        // can empty MemoryData.
        std::optional<DownloadedSet> partial;
        if (command == MemoryCommand::Download) {
            app::ProgramState& s = self->state_;
            partial = decodeDownload(s.MemoryData, s.SelectedSet, s.SetRecordCount, s.Reading);
        }
        return [self, command, message, cancelled, partial = std::move(partial)] {
            if (!self) {
                return;
            }
            if (partial) {
                emit self->downloadEnded(*partial);
            }
            if (cancelled) {
                emit self->cancelled(command, message);
            } else {
                emit self->failed(command, message);
            }
        };
    };
    return report;
}

void MemoryCommands::readStatus() {
    auto ticket = newTicket(MemoryCommand::Status, QStringLiteral("memory status request"));
    auto succeeded = [this]() -> Announce {
        const MemoryStatusInfo status = *decodeMemoryStatus(state_.MemoryStatus);
        state_.SetCount = status.setCount;
        return [self = QPointer(this), status] {
            if (self) {
                emit self->statusRead(status);
            }
        };
    };
    submit(ticket, std::make_unique<ReplyExchange>(
                       ticket, silenceLimitMs_, reportFor(ticket, succeeded), 'Y',
                       [] { return qsizetype{kStatusReplySize}; }, state_.MemoryStatus));
}

bool MemoryCommands::sendIdCode(QStringView text) {
    const auto bytes = idCodeBytes(text);
    if (!bytes) {
        return false;
    }
    auto ticket = newTicket(MemoryCommand::IdCode, QStringLiteral("identification code setting"));
    auto succeeded = [this]() -> Announce {
        return [self = QPointer(this)] {
            if (self) {
                emit self->idCodeSent();
            }
        };
    };
    submit(ticket,
           std::make_unique<SettingExchange>(ticket, reportFor(ticket, succeeded), 'X', *bytes));
    return true;
}

bool MemoryCommands::sendSamplingInterval(QStringView text) {
    const auto bytes = samplingIntervalBytes(text);
    if (!bytes) {
        return false;
    }
    auto ticket =
        newTicket(MemoryCommand::SamplingInterval, QStringLiteral("sampling interval setting"));
    auto succeeded = [this]() -> Announce {
        return [self = QPointer(this)] {
            if (self) {
                emit self->samplingIntervalSent();
            }
        };
    };
    submit(ticket,
           std::make_unique<SettingExchange>(ticket, reportFor(ticket, succeeded), 'W', *bytes));
    return true;
}

void MemoryCommands::readMeterClock() {
    auto ticket = newTicket(MemoryCommand::MeterClock, QStringLiteral("meter clock request"));
    auto succeeded = [this]() -> Announce {
        return [self = QPointer(this), text = meterClockText(clockReply_)] {
            if (self) {
                emit self->meterClockRead(text);
            }
        };
    };
    submit(ticket, std::make_unique<ReplyExchange>(
                       ticket, silenceLimitMs_, reportFor(ticket, succeeded), 'C',
                       [] { return qsizetype{kMeterClockReplySize}; }, clockReply_));
}

void MemoryCommands::readSetTable() {
    auto ticket = newTicket(MemoryCommand::SetTable, QStringLiteral("set table request"));
    auto succeeded = [this]() -> Announce {
        return [self = QPointer(this), rows = setTableRows(state_.SetTable, state_.SetCount)] {
            if (self) {
                emit self->setTableRead(rows);
            }
        };
    };
    auto expected = [this] { return static_cast<qsizetype>(setTableReplySize(state_.SetCount)); };
    auto progressText = [](qsizetype received) {
        return QString::number(received / kSetEntrySize) + QStringLiteral(" Sets Completed");
    };
    submit(ticket,
           std::make_unique<ReplyExchange>(ticket, silenceLimitMs_, reportFor(ticket, succeeded),
                                           'I', expected, state_.SetTable, progressText));
}

void MemoryCommands::download() {
    const int set = state_.SelectedSet;
    const qint32 records = state_.SetRecordCount;
    if (set < 1 || set > kMaxSetNumber) {
        // The set number goes out as one byte; without a chosen set there is nothing to ask.
        emit failed(MemoryCommand::Download,
                    QStringLiteral("No set is chosen: click a set in the set list first."));
        return;
    }
    auto ticket = newTicket(MemoryCommand::Download, QStringLiteral("download of set %1").arg(set));
    auto succeeded = [this, set, records]() -> Announce {
        return [self = QPointer(this),
                list = decodeDownload(state_.MemoryData, set, records, state_.Reading)] {
            if (self) {
                emit self->downloadEnded(list);
            }
        };
    };
    submit(ticket,
           std::make_unique<DownloadExchange>(ticket, silenceLimitMs_, reportFor(ticket, succeeded),
                                              set, records, state_.MemoryData));
}

void MemoryCommands::submit(const std::shared_ptr<ExchangeTicket>& ticket,
                            std::unique_ptr<MemoryExchange> exchange) {
    link_.submit(std::move(exchange));
    if (!ticket->ended && ticket->exchange == nullptr) {
        // The link took no more exchanges: its port failed earlier.
        ticket->ended = true;
        emit failed(ticket->command,
                    QStringLiteral("The %1 could not run: the port to the meter is closed.")
                        .arg(ticket->name));
    }
}

void MemoryCommands::cancel() {
    const link::Exchange* current = link_.current();
    std::vector<std::shared_ptr<ExchangeTicket>> queued;
    bool ownsCurrent = false;
    for (auto& ticket : tickets_) {
        if (ticket->ended) {
            continue;
        }
        if (current && ticket->exchange == current) {
            ticket->cancelByUser = true;
            ownsCurrent = true;
        } else {
            // Still waiting its turn: it will end without touching the port.
            ticket->ended = true;
            queued.push_back(ticket);
        }
    }
    if (ownsCurrent) {
        link_.cancelCurrent(QStringLiteral("cancelled"));
    }
    for (const auto& ticket : queued) {
        emit cancelled(ticket->command, QStringLiteral("The %1 was cancelled.").arg(ticket->name));
    }
}

bool MemoryCommands::busy() const {
    return std::any_of(tickets_.begin(), tickets_.end(), [](const auto& t) { return !t->ended; });
}

void MemoryCommands::portFailed(const QString& reason) {
    // The running exchange has reported already; the queued ones were dropped unrun.
    for (auto& ticket : tickets_) {
        if (!ticket->ended && !ticket->started) {
            ticket->ended = true;
            emit failed(ticket->command,
                        QStringLiteral("The %1 could not run: %2.").arg(ticket->name, reason));
        }
    }
}

}  // namespace lp::memory
