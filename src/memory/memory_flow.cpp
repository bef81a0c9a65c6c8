#include "memory/memory_flow.h"

#include "memory/data_list.h"
#include "memory/memory_window.h"

namespace lp::memory {

MemoryFlow::MemoryFlow(link::MeterLink& link, app::ProgramState& state, platform::Dialogs& dialogs,
                       QWidget* owner, QObject* parent)
    : QObject(parent), state_(state), dialogs_(dialogs), owner_(owner), commands_(link, state) {
    connect(&commands_, &MemoryCommands::statusRead, this, &MemoryFlow::statusRead);
    connect(&commands_, &MemoryCommands::failed, this,
            [this](MemoryCommand command, const QString& message) {
                statusFailed(command, message, false);
            });
    connect(&commands_, &MemoryCommands::cancelled, this,
            [this](MemoryCommand command, const QString& message) {
                statusFailed(command, message, true);
            });
    connect(&commands_, &MemoryCommands::downloadEnded, this, &MemoryFlow::downloadEnded);
}

MemoryFlow::~MemoryFlow() {
    // The windows talk to the commands, which go with the flow.
    delete memory_;
    delete dataList_;
}

void MemoryFlow::open() {
    if (statusPending_) {
        return;
    }
    statusPending_ = true;
    commands_.readStatus();
}

void MemoryFlow::statusRead(const MemoryStatusInfo& status) {
    if (!statusPending_) {
        return;
    }
    statusPending_ = false;
    delete memory_;
    auto* window = new Memory(commands_, state_, dialogs_, status);
    memory_ = window;
    connect(window, &Memory::downloadStarting, this, &MemoryFlow::closeDataList);
    window->show();
    window->raise();
    window->activateWindow();
    emit memoryWindowShown(window);
}

void MemoryFlow::statusFailed(MemoryCommand command, const QString& message, bool cancelled) {
    if (command != MemoryCommand::Status || !statusPending_) {
        return;
    }
    statusPending_ = false;
    // Cancelled only along with a download or set table the user cancelled.
    if (!cancelled) {
        dialogs_.message(owner_, message, platform::MessageIcon::Warning);
    }
}

void MemoryFlow::closeDataList() {
    if (dataList_) {
        dataList_->close();
    }
}

void MemoryFlow::downloadEnded(const DownloadedSet& set) {
    // A download that brought no record at all leaves nothing to list; the memory
    // window tells why.
    if (!set.complete && set.records.isEmpty()) {
        return;
    }
    closeDataList();
    auto* window = new DataList(state_, dialogs_, memory_);
    dataList_ = window;
    window->showSet(set);
    window->show();
    emit dataListShown(window);
}

}  // namespace lp::memory
