// The live list window: its menus and toolbar, passed on as requests.
#include "lists/list_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QToolBar>

#include "lists/csv_export_command.h"
#include "lists/list_save.h"
#include "lists/print_session.h"
#include "lists/printouts.h"
#include "lists/toolbar_icons.h"

namespace lp::lists {
namespace {

QAction* menuCommand(QMenuBar* bar, const QString& name, const QString& caption) {
    QAction* action = bar->addAction(caption);
    action->setObjectName(name);
    return action;
}

}  // namespace

List::List(platform::Dialogs& dialogs, QWidget* anchor, QWidget* parent)
    : RecordListWindow(RecordListLayout::list(), anchor, parent), dialogs_(dialogs) {
    setAttribute(Qt::WA_DeleteOnClose);
    buildMenus();
    buildToolbar();
}

void List::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuPause_ = menuCommand(bar, QStringLiteral("MnuPause"), QStringLiteral("Pause"));
    mnuContinue_ = menuCommand(bar, QStringLiteral("MnuContinue"), QStringLiteral("Continue"));
    QAction* mnuSave = menuCommand(bar, QStringLiteral("MnuSave"), QStringLiteral("Save"));
    menuCommand(bar, QStringLiteral("MnuGraph"), QStringLiteral("Graph"));  // no action
    mnuPrint_ = menuCommand(bar, QStringLiteral("MnuPrint"), QStringLiteral("Print"));
    QAction* mnuExit = menuCommand(bar, QStringLiteral("MnuExit"), QStringLiteral("Exit"));
    connect(mnuPrint_, &QAction::triggered, this, &List::print);
    connect(mnuPause_, &QAction::triggered, this, &List::pauseRequested);
    connect(mnuContinue_, &QAction::triggered, this, &List::continueRequested);
    connect(mnuSave, &QAction::triggered, this, &List::save);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    addExportCsvCommand(*this, dialogs_, bar);
}

void List::buildToolbar() {
    QToolBar* bar = createToolbar();
    QAction* save = bar->addAction(toolbarIcon(QStringLiteral("Save")), QStringLiteral("Save"));
    save->setObjectName(QStringLiteral("Save"));
    save->setToolTip(QStringLiteral("Save As"));
    connect(save, &QAction::triggered, this, &List::save);
}

void List::showListOn(bool listOn) {
    mnuPause_->setEnabled(listOn);
    mnuContinue_->setEnabled(!listOn);
}

void List::showStarted() {
    mnuPause_->setEnabled(true);
    mnuContinue_->setEnabled(true);
}

bool List::save() {
    return saveList(*this, dialogs_);
}

void List::print() {
    std::optional<platform::PrinterChoice> choice = dialogs_.choosePrinter(this);
    if (!choice) {
        return;
    }
    // Rows the panel appends meanwhile are not part of this printout.
    PrintSession::start(*this, liveListPrintout(records().store(), recordCount()),
                        std::move(*choice), dialogs_, {mnuPrint_});
}

void List::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

}  // namespace lp::lists
