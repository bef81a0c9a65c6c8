// The OPEN FILE command: dialog, window, load with the timers paused, message.
#include "lists/saved_file_opener.h"

#include <QMenuBar>

#include "lists/csv_export_command.h"
#include "lists/saved_file_window.h"
#include "platform/wait_cursor.h"

namespace lp::lists {

SavedFileOpener::SavedFileOpener(platform::Dialogs& dialogs, platform::LivePause timers,
                                 QWidget* anchor)
    : dialogs_(dialogs), timers_(std::move(timers)), anchor_(anchor) {}

SavedFileWindow* SavedFileOpener::open() {
    const QStringList names = dialogs_.openFileNames(anchor_, platform::kRecordFileFilter);
    if (names.isEmpty() || names.front().isEmpty()) {
        return nullptr;
    }
    if (names.size() > 1 && severalFiles_) {
        severalFiles_(names);
        return nullptr;
    }
    return openFile(names.front());
}

SavedFileWindow* SavedFileOpener::openFile(const QString& path) {
    if (window_) {
        window_->close();
        delete window_;
    }
    auto* window = new SavedFileWindow(dialogs_, anchor_, anchor_);
    window_ = window;
    addExportCsvCommand(*window, dialogs_, window->menuBar(), window->exitAction());
    window->show();
    window->setCaption(path);

    std::optional<records::FileError> error;
    {
        const platform::LivePaused paused(timers_);
        const platform::WaitCursor hourglass;
        error = window->load(path);
    }
    if (!window_) {
        return nullptr;  // closed while it loaded
    }
    if (error) {
        dialogs_.message(window, loadFailureText(*error, window->recordCount()),
                         platform::MessageIcon::Warning);
    }
    return window_;
}

QString SavedFileOpener::loadFailureText(const records::FileError& error, qsizetype recordsListed) {
    return records::loadFailureText(error, recordsListed);
}

}  // namespace lp::lists
