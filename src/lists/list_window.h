// The live list "List": the panel's samples as a growing record list, with Pause,
// Continue, Save, Graph, Print and Exit menus and a toolbar "Save" button. Whether
// rows are taken is the program-wide ListOn; the rows themselves come from the
// panel through LiveListFeed. Closing the window unloads it and sets ListOn false.
#pragma once

#include "app/state/program_state.h"
#include "lists/record_list_window.h"
#include "platform/dialogs.h"

class QAction;

namespace lp::lists {

class List : public RecordListWindow {
    Q_OBJECT
public:
    List(app::ProgramState& state, platform::Dialogs& dialogs, QWidget* anchor,
         QWidget* parent = nullptr);

    // MnuPause: the list takes no more rows.
    void pause();
    // MnuContinue: the list takes rows again.
    void resume();
    // The panel's LIST button started the list again: Pause and Continue are both
    // enabled, as when the window opens (a paused list would otherwise run with
    // Pause disabled).
    void started();
    // MnuSave and the toolbar "Save": the list to a record file chosen by the user.
    bool save();

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();

    app::ProgramState& state_;
    platform::Dialogs& dialogs_;
    QAction* mnuPause_ = nullptr;
    QAction* mnuContinue_ = nullptr;
};

}  // namespace lp::lists
