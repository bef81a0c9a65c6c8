// What the memory window shows and does, without the window: the memory status it
// opened with, the meter clock read, the table of stored sets, the chosen set, the
// message line, the command it runs and which commands can be started now. The
// Memory window renders these facts and forwards its clicks here; a program without
// a screen can drive the same steps.
//
// One command runs at a time (no command is queued twice); a set table or a download
// can be cancelled. When a command fails or is cancelled, commandStopped() gives the
// message to show, and the commands work again.
#pragma once

#include <QObject>
#include <optional>

#include "memory/memory_commands.h"

namespace lp::memory {

class MemoryBrowser : public QObject {
    Q_OBJECT
public:
    inline static const QString kWait = QStringLiteral("Wait");

    // What the user can start; Cancel is available while a set table or download runs.
    enum class Action { IdCode, SamplingInterval, MeterClock, SetTable, Download, Cancel };

    MemoryBrowser(MemoryCommands& commands, MemoryStatusInfo status, QObject* parent = nullptr);

    [[nodiscard]] const MemoryStatusInfo& status() const { return status_; }
    [[nodiscard]] const QString& meterClock() const { return meterClock_; }
    [[nodiscard]] const QString& message() const { return message_; }
    // The sets listed once a set table came (in whole or in part).
    [[nodiscard]] const QList<SetRow>& setRows() const { return setRows_; }
    [[nodiscard]] bool setsListed() const { return setsListed_; }
    [[nodiscard]] const std::optional<SetRow>& chosenSet() const { return chosenSet_; }
    // The command started here and not yet ended.
    [[nodiscard]] std::optional<MemoryCommand> running() const { return running_; }
    [[nodiscard]] bool available(Action action) const;

    // The typed value is sent; false when it is out of range (invalidNumber() was
    // emitted and nothing was queued).
    bool sendIdCode(QStringView typed);
    bool sendSamplingInterval(QStringView typed);
    void readMeterClock();
    // Lists the stored sets; each set table is asked for once unless it came short.
    void readSetTable();
    // Set grid row `row` (0 is the heading, r is set r); false when it is no set.
    bool chooseSet(int row);
    // Downloads the chosen set.
    void download();
    // Stops a running set table or download.
    void cancel();

signals:
    // Any fact above changed.
    void changed();
    // The typed setting was refused; the message line still says "Wait" until this
    // returns.
    void invalidNumber(lp::memory::MemoryCommand command);
    // A command ended without success: `text` for the user.
    void commandStopped(const QString& text, bool cancelled);
    // A download is about to start: an open downloaded-data list goes first.
    void downloadStarting();

private:
    // What the commands would be without a running command.
    struct Enabled {
        bool idCode = true;
        bool sampling = true;
        bool time = true;
        bool setTable = true;
        bool download = false;  // once a set is chosen
    };

    bool sendSetting(QStringView typed, bool (MemoryCommands::*send)(QStringView),
                     MemoryCommand command);
    void begin(MemoryCommand command);
    void end();
    [[nodiscard]] bool mine(MemoryCommand command) const { return running_ == command; }
    void stopped(const CommandFailure& failure);

    MemoryCommands& commands_;
    MemoryStatusInfo status_;
    QString meterClock_;
    QString message_;
    QList<SetRow> setRows_;
    bool setsListed_ = false;
    std::optional<SetRow> chosenSet_;
    std::optional<MemoryCommand> running_;
    Enabled enabled_;
};

// The note added to a failed or cancelled download's message.
[[nodiscard]] QString partialDownloadNote(qint64 listed, qint64 expected);

}  // namespace lp::memory
