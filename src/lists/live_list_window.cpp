// The live list window: its menus and toolbar, passed on as requests.
#include "lists/live_list_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QToolBar>

#include "lists/csv_export_command.h"
#include "lists/list_save.h"
#include "lists/print_session.h"
#include "lists/printouts.h"
#include "lists/toolbar_icons.h"
#include "platform/shortcuts.h"

namespace lp::lists {
namespace {

QAction* menuCommand(QMenuBar* bar, const QString& name, const QString& caption) {
    QAction* action = bar->addAction(caption);
    action->setObjectName(name);
    return action;
}

}  // namespace

LiveListWindow::LiveListWindow(platform::Dialogs& dialogs, QWidget* anchor, QWidget* parent)
    : RecordListWindow(RecordListLayout::list(), anchor, parent), dialogs_(dialogs) {
    setAttribute(Qt::WA_DeleteOnClose);
    buildMenus();
    buildToolbar();
}

void LiveListWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    pauseAction_ = menuCommand(bar, QStringLiteral("MnuPause"), QStringLiteral("Pause"));
    continueAction_ = menuCommand(bar, QStringLiteral("MnuContinue"), QStringLiteral("Continue"));
    QAction* saveAction = menuCommand(bar, QStringLiteral("MnuSave"), QStringLiteral("Save"));
    menuCommand(bar, QStringLiteral("MnuGraph"), QStringLiteral("Graph"));  // no action
    printAction_ = menuCommand(bar, QStringLiteral("MnuPrint"), QStringLiteral("Print"));
    QAction* exitAction = menuCommand(bar, QStringLiteral("MnuExit"), QStringLiteral("Exit"));
    connect(printAction_, &QAction::triggered, this, &LiveListWindow::print);
    connect(pauseAction_, &QAction::triggered, this, &LiveListWindow::pauseRequested);
    connect(continueAction_, &QAction::triggered, this, &LiveListWindow::continueRequested);
    connect(saveAction, &QAction::triggered, this, &LiveListWindow::save);
    connect(exitAction, &QAction::triggered, this, &QWidget::close);
    exportCsvAction_ = addExportCsvCommand(*this, dialogs_, bar, exitAction);
    exitAction_ = exitAction;
    saveAction_ = saveAction;

    platform::setKeys(saveAction, QKeySequence::Save);
    platform::setKeys(printAction_, QKeySequence::Print);
    setCloseCommand(exitAction);
    // F5 or Space pauses a running list and continues a paused one: one command on
    // the window, since Pause and Continue are both on right after LIST.
    const QList<QKeySequence> pauseKeys{QKeySequence(Qt::Key_F5), QKeySequence(Qt::Key_Space)};
    auto* pauseKeysAction = new QAction(this);
    pauseKeysAction->setObjectName(QStringLiteral("PauseKeys"));
    pauseKeysAction->setShortcuts(pauseKeys);
    addAction(pauseKeysAction);
    connect(pauseKeysAction, &QAction::triggered, this,
            [this] { (pauseAction_->isEnabled() ? pauseAction_ : continueAction_)->trigger(); });
    for (QAction* shown : {pauseAction_, continueAction_}) {
        shown->setToolTip(shown->text() + QStringLiteral(" (") + platform::keysText(pauseKeys) +
                          u')');
    }
}

void LiveListWindow::buildToolbar() {
    createToolbar();
    // Save, Export CSV and Exit are on the toolbar too, a click away.
    addToolbarCopy(saveAction_, QStringLiteral("Save"), QStringLiteral("Save As"));
    addToolbarCopy(exportCsvAction_, QStringLiteral("Csv"));
    addToolbarCopy(exitAction_, QStringLiteral("Exit"));
}

void LiveListWindow::showListOn(bool listOn) {
    pauseAction_->setEnabled(listOn);
    continueAction_->setEnabled(!listOn);
}

void LiveListWindow::showStarted() {
    pauseAction_->setEnabled(true);
    continueAction_->setEnabled(true);
}

bool LiveListWindow::save() {
    return saveList(*this, dialogs_);
}

void LiveListWindow::print() {
    std::optional<platform::PrinterChoice> choice = dialogs_.choosePrinter(this);
    if (!choice) {
        return;
    }
    // Rows the panel appends meanwhile are not part of this printout.
    PrintSession::start(*this, liveListPrintout(records().store(), recordCount()),
                        std::move(*choice), dialogs_);
}

void LiveListWindow::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

}  // namespace lp::lists
