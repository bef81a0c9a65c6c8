// MEMORY: the status, then the memory window, and the downloaded-data lists.
#include "memory/memory_flow.h"

#include "memory/downloaded_set_window.h"
#include "memory/memory_window.h"
#include "platform/window_retirement.h"

namespace lp::memory {

MemoryFlow::MemoryFlow(link::MeterLink& link, platform::Dialogs& dialogs, QWidget* owner,
                       QObject* parent)
    : QObject(parent), dialogs_(dialogs), owner_(owner), commands_(link) {
    connect(&commands_, &MemoryCommands::statusRead, this, &MemoryFlow::statusRead);
    // Connected before any memory window: the list of a stopped download shows before
    // the window tells why it stopped.
    connect(&commands_, &MemoryCommands::failed, this, &MemoryFlow::commandFailed);
    connect(&commands_, &MemoryCommands::downloadEnded, this, &MemoryFlow::showSet);
}

MemoryFlow::~MemoryFlow() {
    // The windows talk to the commands, which go with the flow; so do windows retired
    // but not yet gone.
    delete memory_;
    delete dataList_;
    for (const QPointer<QWidget>& window : retired_) {
        delete window.data();
    }
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
    // The window before may be showing a message of its own: it goes when that closes.
    retire(memory_);
    auto* window = new MemoryWindow(commands_, dialogs_, status);
    memory_ = window;
    connect(&window->browser(), &MemoryBrowser::downloadStarting, this, &MemoryFlow::closeDataList);
    window->show();
    window->raise();
    window->activateWindow();
}

void MemoryFlow::commandFailed(const CommandFailure& failure) {
    if (failure.partialSet) {
        showSet(*failure.partialSet);
    }
    if (failure.command != MemoryCommand::Status || !statusPending_) {
        return;
    }
    statusPending_ = false;
    // Cancelled only along with a download or set table the user cancelled.
    if (!failure.cancelled) {
        dialogs_.message(owner_, failure.message, platform::MessageIcon::Warning);
    }
}

void MemoryFlow::retire(QWidget* window) {
    if (!window) {
        return;
    }
    std::erase_if(retired_, [](const QPointer<QWidget>& w) { return w.isNull(); });
    retired_.emplace_back(window);
    platform::retireWindow(window);
}

void MemoryFlow::closeDataList() {
    // Its save dialog may be open: the list goes when that closes.
    retire(dataList_);
}

void MemoryFlow::showSet(const DownloadedSet& set) {
    // A download that brought no record at all leaves nothing to list; the memory
    // window tells why.
    if (!set.complete && set.records.isEmpty()) {
        return;
    }
    closeDataList();
    auto* window = new DownloadedSetWindow(dialogs_, memory_);
    dataList_ = window;
    window->setMetadataContext(context_);
    window->showSet(set);
    window->show();
    emit dataListShown(window);
}

}  // namespace lp::memory
