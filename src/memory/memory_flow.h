// The panel's MEMORY button and what follows from it: the memory status is read, and
// when it is in, any open memory window goes and a fresh one shows the status. A
// download started there opens the downloaded-data list beside it, first closing the
// one open before. A status request that fails is told to the user.
//
// The flow owns the memory commands (one set for the program's run) and the windows
// it opened; they are closed when the flow goes.
#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

#include "link/meter_link.h"
#include "memory/downloaded_set_window.h"
#include "memory/memory_commands.h"
#include "memory/memory_window.h"
#include "platform/dialogs.h"

class QWidget;

namespace lp::memory {

class MemoryFlow : public QObject {
    Q_OBJECT
public:
    // `owner` (the panel) is where a failed status request is told.
    MemoryFlow(link::MeterLink& link, platform::Dialogs& dialogs, QWidget* owner,
               QObject* parent = nullptr);
    ~MemoryFlow() override;

    // The panel's CmdMemory: read the memory status, then show a fresh memory window.
    // A second press while the status is on its way does nothing more.
    void open();

    // What the metadata of a downloaded set saved from its list tells of the program,
    // host and port.
    void setMetadataContext(const records::RunStart& context) { context_ = context; }

    [[nodiscard]] MemoryCommands& commands() { return commands_; }
    [[nodiscard]] MemoryWindow* memoryWindow() const { return memory_; }
    [[nodiscard]] DownloadedSetWindow* dataList() const { return dataList_; }

signals:
    void dataListShown(lp::memory::DownloadedSetWindow* window);

private:
    void statusRead(const MemoryStatusInfo& status);
    void commandFailed(const CommandFailure& failure);
    void retire(QWidget* window);
    void closeDataList();
    void showSet(const DownloadedSet& set);

    platform::Dialogs& dialogs_;
    QPointer<QWidget> owner_;
    MemoryCommands commands_;
    QPointer<MemoryWindow> memory_;
    QPointer<DownloadedSetWindow> dataList_;
    // Replaced windows that wait for a dialog of their own to close.
    std::vector<QPointer<QWidget>> retired_;
    bool statusPending_ = false;
    records::RunStart context_;
};

}  // namespace lp::memory
