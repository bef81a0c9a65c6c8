// The panel's OPEN FILE command: the open dialog, then a fresh saved-file window
// beside the panel, captioned with the file's full name and filled from the file
// while the panel's timers are paused. A load that stopped at a bad line lists the
// rows before it and then tells the user the file, the line and the reason. Several
// files chosen together go to the program's handler for them (their survey).
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/dialogs.h"
#include "platform/live_pause.h"
#include "records/file_error.h"

class QWidget;

namespace lp::lists {

class SavedFileWindow;

class SavedFileOpener {
public:
    // `anchor` is the panel: the window opens beside it and closes with it.
    SavedFileOpener(platform::Dialogs& dialogs, platform::LivePause timers, QWidget* anchor);

    // The command (the panel stops a running recording before calling it). Returns
    // the window, or null when the dialog was cancelled or several files were chosen.
    SavedFileWindow* open();
    // What is done with several files chosen at once; without it, the first one opens.
    void setSeveralFilesHandler(std::function<void(const QStringList&)> handler) {
        severalFiles_ = std::move(handler);
    }
    // The same without the dialog.
    SavedFileWindow* openFile(const QString& path);

    // The saved-file window now open, or null.
    [[nodiscard]] SavedFileWindow* window() const { return window_; }

    // The message for a load that did not finish.
    [[nodiscard]] static QString loadFailureText(const records::FileError& error,
                                                 qsizetype recordsListed);

private:
    platform::Dialogs& dialogs_;
    platform::LivePause timers_;
    QPointer<QWidget> anchor_;
    QPointer<SavedFileWindow> window_;
    std::function<void(const QStringList&)> severalFiles_;
};

}  // namespace lp::lists
