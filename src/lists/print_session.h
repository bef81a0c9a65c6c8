// A printout of a record-list window while it runs: the hourglass pointer, the
// caption counting "<r> Completed", the window's print commands disabled, and a
// "Cancel" button on the window's toolbar (Esc does the same) that stops it. When it
// ends the caption, the pointer and the commands come back, and a failure is told to
// the user with its reason. The panel's timers run on meanwhile: no sample is lost.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

#include "lists/print_run.h"
#include "platform/dialogs.h"
#include "platform/wait_cursor.h"

class QAction;

namespace lp::lists {

class RecordListWindow;

class PrintSession : public QObject {
    Q_OBJECT
public:
    // Starts printing `printout` on the chosen printer for `window`, whose print
    // commands are off until the end. The session is a child of the window and deletes
    // itself when the printout ends (or goes with the window, leaving no document).
    static PrintSession* start(RecordListWindow& window, Printout printout,
                               platform::PrinterChoice choice, platform::Dialogs& dialogs);

    // The session of `window` now printing, or null.
    [[nodiscard]] static PrintSession* of(const QWidget& window);

    [[nodiscard]] PrintRun& run() { return *run_; }
    [[nodiscard]] QAction* cancelButton() const { return cancel_; }

signals:
    void ended(lp::lists::PrintRun::Outcome outcome);

private:
    PrintSession(RecordListWindow& window, platform::Dialogs& dialogs);
    void end(PrintRun::Outcome outcome);

    RecordListWindow& window_;
    platform::Dialogs& dialogs_;
    std::optional<platform::WaitCursor> waitCursor_;
    PrintRun* run_ = nullptr;
    QAction* cancel_ = nullptr;
};

}  // namespace lp::lists
