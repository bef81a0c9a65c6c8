// The meter memory window "Memory": the logger's status as the last memory status
// gave it, the logger commands (identification code, sampling interval, meter clock,
// table of stored sets), the set grid from which a set is chosen, and SHOW DATA,
// which downloads the chosen set.
//
// The window only shows: its facts and rules live in a MemoryBrowser, which it renders
// whenever they change and to which it forwards every click. The downloaded records go
// to the downloaded-data list, which the opener of this window shows.
#pragma once

#include <QList>
#include <QWidget>

#include "memory/memory_browser.h"
#include "memory/memory_face.h"
#include "platform/dialogs.h"

namespace lp::memory {

class MemoryWindow : public QWidget {
    Q_OBJECT
public:
    inline static const QString kCaption = QStringLiteral("Memory");
    inline static const QString kInvalidNumbers = QStringLiteral("Invalid No.s, Try Again!");

    // A fresh window showing `status`, at the top left corner of the screen. It is
    // deleted when closed.
    MemoryWindow(MemoryCommands& commands, platform::Dialogs& dialogs,
                 const MemoryStatusInfo& status, QWidget* parent = nullptr);
    ~MemoryWindow() override;

    [[nodiscard]] const MemoryFace& face() const { return f_; }
    [[nodiscard]] MemoryBrowser& browser() { return browser_; }
    [[nodiscard]] const MemoryBrowser& browser() const { return browser_; }

    // The handlers of the window's controls. onSetRowClicked takes the grid row as the
    // user sees it: 0 is the heading row, r is set r.
    void onIdCodeClicked();
    void onSamplingClicked();
    void onTimeClicked();
    void onTimeOfRecClicked();
    void onShowDataClicked();
    void onCancelClicked();
    void onSetRowClicked(int row);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void render();
    void tellStopped(const QString& text, bool cancelled);
    void refused(MemoryCommand command);

    MemoryBrowser browser_;
    platform::Dialogs& dialogs_;
    MemoryFace f_;
    QList<SetRow> shownRows_;
};

}  // namespace lp::memory
