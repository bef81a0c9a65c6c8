// The live list "List": the panel's samples as a growing record list, with Pause,
// Continue, Save, Graph, Print, Export CSV and Exit menus and toolbar buttons for
// Save, Export CSV and Exit. F5 or Space pauses and continues. The window
// only shows: Pause, Continue and closing are passed on to LiveListFeed, which owns
// whether rows are taken and tells the window how to show it.
#pragma once

#include "lists/record_list_window.h"
#include "platform/dialogs.h"

class QAction;

namespace lp::lists {

class LiveListWindow : public RecordListWindow {
    Q_OBJECT
public:
    LiveListWindow(platform::Dialogs& dialogs, QWidget* anchor, QWidget* parent = nullptr);

    // Pause and Continue as the list is running (only Pause on) or paused (only
    // Continue on).
    void showListOn(bool listOn);
    // LIST started the list (again): Pause and Continue both on, as when the window
    // opens (a paused list would otherwise run with Pause off).
    void showStarted();
    // MnuSave and the toolbar "Save": the list to a record file chosen by the user.
    bool save();
    // MnuPrint: the printer dialog, then the rows listed now as a plain list.
    void print();

signals:
    void pauseRequested();     // MnuPause
    void continueRequested();  // MnuContinue
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();

    platform::Dialogs& dialogs_;
    QAction* pauseAction_ = nullptr;
    QAction* continueAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* exportCsvAction_ = nullptr;
    QAction* exitAction_ = nullptr;

public:
    void setPrintCommandsEnabled(bool enabled) override { printAction_->setEnabled(enabled); }
};

}  // namespace lp::lists
