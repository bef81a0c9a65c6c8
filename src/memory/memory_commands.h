// The meter-memory commands. Each call queues one exchange on the meter link (so it
// never cuts into a live poll, and polls resume when it ends) and turns that
// exchange's single end into one signal:
//
//   readStatus()               "Y"     -> statusRead
//   sendIdCode(text)           "X"     -> idCodeSent      (false: invalid, nothing queued)
//   sendSamplingInterval(text) "W"     -> samplingIntervalSent
//   readMeterClock()           "C"     -> meterClockRead
//   readSetTable(setCount)     "I"     -> setTableRead
//   download(set, records)     "K"/"Z" -> downloadEnded
//
// or, when the command does not succeed, failed(): the meter fell silent for longer
// than the silence limit, the port went away or was closed, or cancel() stopped it.
// Its message names the exchange and how many bytes came, and it carries what came
// whole (the set table rows, the records of a download). Progress texts for the
// message line come through progress().
#pragma once

#include <QObject>
#include <QStringView>
#include <functional>
#include <optional>
#include <vector>

#include "link/meter_link.h"
#include "memory/download_decoder.h"
#include "memory/memory_exchange.h"
#include "memory/memory_status.h"
#include "memory/set_table.h"

namespace lp::memory {

// A command that did not succeed.
struct CommandFailure {
    MemoryCommand command = MemoryCommand::Status;
    QString message;         // for the user: which exchange, why, how many bytes came
    bool cancelled = false;  // cancel() stopped it
    // A set table request that began: the entries that came whole.
    QList<SetRow> partialRows;
    // A download that began: the records that came whole.
    std::optional<DownloadedSet> partialSet;
};

class MemoryCommands : public QObject {
    Q_OBJECT
public:
    // Longest silence while a reply is awaited (before its first byte or between two)
    // before the command gives up.
    static constexpr int kSilenceLimitMs = 3000;
    static constexpr int kMaxSetNumber = 255;

    // Must be destroyed before the link (it ends its own exchanges on it, unheard).
    explicit MemoryCommands(link::MeterLink& link, QObject* parent = nullptr);
    ~MemoryCommands() override;

    void readStatus();
    // Checks the typed value; false (nothing queued) when it is out of range, and the
    // caller shows "Invalid No.s, Try Again!".
    [[nodiscard]] bool sendIdCode(QStringView text);
    [[nodiscard]] bool sendSamplingInterval(QStringView text);
    void readMeterClock();
    // Expects 1 + 12 x setCount bytes (setCount from the last memory status).
    void readSetTable(int setCount);
    // Downloads set `set` of `records` records. A set number outside 1..255 fails at
    // once, without touching the line.
    void download(int set, qint32 records);

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
    void failed(const lp::memory::CommandFailure& failure);

private:
    using Succeeded = std::function<void(const QByteArray& reply)>;
    // What came of a command that began and then stopped, put into the failure.
    using Partial = std::function<void(CommandFailure& failure, const QByteArray& came)>;

    void run(MemoryCommand command, std::unique_ptr<link::Exchange> exchange, Succeeded succeeded,
             Partial partial = {});
    [[nodiscard]] MemoryExchange::Progress progressTo();

    link::MeterLink& link_;
    std::vector<link::ExchangeId> exchanges_;
    bool closing_ = false;
};

}  // namespace lp::memory
