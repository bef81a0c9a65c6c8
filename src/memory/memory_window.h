// The meter memory window "Memory": the logger's status as the last memory status
// gave it, the logger commands (identification code, sampling interval, meter clock,
// table of stored sets), the set grid from which a set is chosen, and SHOW DATA,
// which downloads the chosen set.
//
// While one of its commands runs the window's command buttons are disabled (so no
// command is queued twice), and a download or a set table can be cancelled with
// CmdCancel. When a command fails or is cancelled the window says which exchange it
// was and how many bytes came, and the buttons work again. The downloaded records go
// to the downloaded-data list, which the opener of this window shows on
// MemoryCommands::downloadEnded.
#pragma once

#include <QWidget>
#include <optional>

#include "app/state/program_state.h"
#include "memory/memory_commands.h"
#include "memory/memory_face.h"
#include "platform/dialogs.h"

namespace lp::memory {

class Memory : public QWidget {
    Q_OBJECT
public:
    inline static const QString kCaption = QStringLiteral("Memory");
    inline static const QString kInvalidNumbers = QStringLiteral("Invalid No.s, Try Again!");
    inline static const QString kWait = QStringLiteral("Wait");

    // A fresh window showing `status`, at the top left corner of the screen. It is
    // deleted when closed.
    Memory(MemoryCommands& commands, app::ProgramState& state, platform::Dialogs& dialogs,
           const MemoryStatusInfo& status, QWidget* parent = nullptr);
    ~Memory() override;

    [[nodiscard]] const MemoryFace& face() const { return f_; }
    // The command this window started and waits for, if any.
    [[nodiscard]] std::optional<MemoryCommand> running() const { return running_; }

    // The handlers of the window's controls. Grid_Click takes the grid row as the
    // user sees it: 0 is the heading row, r is set r.
    void CmdIdCode_Click();
    void CmdSampling_Click();
    void CmdTime_Click();
    void CmdTimeOfRec_Click();
    void CmdShowData_Click();
    void CmdCancel_Click();
    void Grid_Click(int row);

signals:
    // SHOW DATA is about to download: an open downloaded-data list goes first.
    void downloadStarting();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // What the buttons would be without a running command.
    struct Enabled {
        bool idCode = true;
        bool sampling = true;
        bool time = true;
        bool timeOfRec = true;
        bool showData = false;  // once a set is chosen
        bool grid = false;      // once the set table is in
    };

    void showStatus(const MemoryStatusInfo& status);
    void connectCommands();
    void sendSetting(QLineEdit* box, bool (MemoryCommands::*send)(QStringView),
                     MemoryCommand command);
    void begin(MemoryCommand command);
    void finish();
    void applyEnabled();
    [[nodiscard]] bool mine(MemoryCommand command) const { return running_ == command; }

    void progress(const QString& text);
    void settingSent(MemoryCommand command);
    void meterClockRead(const QString& text);
    void setTableRead(const QList<SetRow>& rows);
    void downloadEnded(const DownloadedSet& set);
    void stopped(MemoryCommand command, const QString& message, bool cancelled);

    MemoryCommands& commands_;
    app::ProgramState& state_;
    platform::Dialogs& dialogs_;
    MemoryFace f_;
    Enabled enabled_;
    std::optional<MemoryCommand> running_;
    // How much of the last download was listed: records, of how many.
    qint64 listedRecords_ = 0;
    qint64 expectedRecords_ = 0;
};

// The note added to a failed or cancelled download's message.
[[nodiscard]] QString partialDownloadNote(qint64 listed, qint64 expected);

}  // namespace lp::memory
