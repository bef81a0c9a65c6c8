// The meter-memory commands as the memory windows use them. Each call queues one
// exchange on the meter link (so it never cuts into a live poll, and polls resume
// when it ends) and its outcome comes back as a signal:
//
//   readStatus()            "Y"  -> statusRead        (writes MemoryStatus, SetCount)
//   sendIdCode(text)        "X"  -> idCodeSent         (false: invalid, nothing queued)
//   sendSamplingInterval()  "W"  -> samplingIntervalSent
//   readMeterClock()        "C"  -> meterClockRead
//   readSetTable()          "I"  -> setTableRead       (writes SetTable)
//   download()              "K"/"Z" -> downloadEnded   (writes MemoryData and Reading)
//
// Progress texts for LblMessage come through progress(). A reply that stops for
// longer than the silence limit, a port that goes away, or cancel() ends the command
// with failed() or cancelled(), whose message names the exchange and how many bytes
// came. A download that began emits downloadEnded() in every case, with what came
// whole (DownloadedSet::complete tells whether it is the entire set), before
// failed() or cancelled().
#pragma once

#include <QObject>
#include <QStringView>
#include <memory>
#include <vector>

#include "app/state/program_state.h"
#include "link/meter_link.h"
#include "memory/download_decoder.h"
#include "memory/memory_exchange.h"
#include "memory/memory_status.h"
#include "memory/set_table.h"

namespace lp::memory {

class MemoryCommands : public QObject {
    Q_OBJECT
public:
    // Longest silence while a reply is awaited (before its first byte or between two)
    // before the command gives up.
    static constexpr int kSilenceLimitMs = 3000;
    static constexpr int kMaxSetNumber = 255;

    // Must be destroyed before the link (it ends its own exchanges on it).
    MemoryCommands(link::MeterLink& link, app::ProgramState& state, QObject* parent = nullptr);
    ~MemoryCommands() override;

    void setSilenceLimitMs(int ms) { silenceLimitMs_ = ms; }
    [[nodiscard]] int silenceLimitMs() const { return silenceLimitMs_; }

    void readStatus();
    // Check the typed value; false (nothing queued) when it is out of range, and the
    // caller shows "Invalid No.s, Try Again!".
    [[nodiscard]] bool sendIdCode(QStringView text);
    [[nodiscard]] bool sendSamplingInterval(QStringView text);
    void readMeterClock();
    // Expects 1 + 12 x SetCount bytes, with SetCount as it is when the exchange starts.
    void readSetTable();
    // Downloads set SelectedSet of SetRecordCount records (both read now). A set number
    // outside 1..255 fails at once, without touching the line.
    void download();

    // Cancels every memory command queued or running (the user pressed Cancel).
    void cancel();
    // A memory command is queued or running.
    [[nodiscard]] bool busy() const;

signals:
    void progress(const QString& text);
    void statusRead(const lp::memory::MemoryStatusInfo& status);
    void idCodeSent();
    void samplingIntervalSent();
    void meterClockRead(const QString& text);
    void setTableRead(const QList<lp::memory::SetRow>& rows);
    void downloadEnded(const lp::memory::DownloadedSet& set);
    void failed(lp::memory::MemoryCommand command, const QString& message);
    void cancelled(lp::memory::MemoryCommand command, const QString& message);

private:
    std::shared_ptr<ExchangeTicket> newTicket(MemoryCommand command, const QString& name);
    // `succeeded` runs while the exchange holds the line (it stores and decodes) and
    // returns the announcement to make once the line is free.
    MemoryExchange::Report reportFor(const std::shared_ptr<ExchangeTicket>& ticket,
                                     std::function<MemoryExchange::Announce()> succeeded);
    void submit(const std::shared_ptr<ExchangeTicket>& ticket,
                std::unique_ptr<MemoryExchange> exchange);
    void portFailed(const QString& reason);

    link::MeterLink& link_;
    app::ProgramState& state_;
    int silenceLimitMs_ = kSilenceLimitMs;
    QByteArray clockReply_;
    std::vector<std::shared_ptr<ExchangeTicket>> tickets_;
};

}  // namespace lp::memory
