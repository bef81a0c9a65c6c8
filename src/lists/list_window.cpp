#include "lists/list_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QToolBar>

#include "lists/list_save.h"
#include "lists/toolbar_icons.h"

namespace lp::lists {
namespace {

QAction* menuCommand(QMenuBar* bar, const QString& name, const QString& caption) {
    QAction* action = bar->addAction(caption);
    action->setObjectName(name);
    return action;
}

}  // namespace

List::List(app::ProgramState& state, platform::Dialogs& dialogs, QWidget* anchor, QWidget* parent)
    : RecordListWindow(RecordListLayout::list(), anchor, parent), state_(state), dialogs_(dialogs) {
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
    QAction* mnuPrint = menuCommand(bar, QStringLiteral("MnuPrint"), QStringLiteral("Print"));
    QAction* mnuExit = menuCommand(bar, QStringLiteral("MnuExit"), QStringLiteral("Exit"));
    // Printing of the live list comes with the printouts.
    mnuPrint->setEnabled(false);
    connect(mnuPause_, &QAction::triggered, this, &List::pause);
    connect(mnuContinue_, &QAction::triggered, this, &List::resume);
    connect(mnuSave, &QAction::triggered, this, &List::save);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
}

void List::buildToolbar() {
    QToolBar* bar = createToolbar();
    QAction* save = bar->addAction(toolbarIcon(QStringLiteral("Save")), QStringLiteral("Save"));
    save->setObjectName(QStringLiteral("Save"));
    save->setToolTip(QStringLiteral("Save As"));
    connect(save, &QAction::triggered, this, &List::save);
}

void List::pause() {
    state_.ListOn = false;
    mnuPause_->setEnabled(false);
    mnuContinue_->setEnabled(true);
}

void List::resume() {
    state_.ListOn = true;
    mnuPause_->setEnabled(true);
    mnuContinue_->setEnabled(false);
}

void List::started() {
    mnuPause_->setEnabled(true);
    mnuContinue_->setEnabled(true);
}

bool List::save() {
    return saveList(*this, dialogs_);
}

void List::closeEvent(QCloseEvent* event) {
    state_.ListOn = false;
    emit unloaded();
    event->accept();
}

}  // namespace lp::lists
