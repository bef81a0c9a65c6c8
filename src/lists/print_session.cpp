// A record-list window's printout: progress, cancel and the restore at its end.
#include "lists/print_session.h"

#include <QAction>
#include <QToolBar>

#include "lists/record_list_window.h"

namespace lp::lists {

PrintSession::PrintSession(RecordListWindow& window, platform::Dialogs& dialogs)
    : QObject(&window), window_(window), dialogs_(dialogs) {
    setObjectName(QStringLiteral("PrintSession"));
    waitCursor_.emplace();
}

PrintSession* PrintSession::start(RecordListWindow& window, Printout printout,
                                  platform::PrinterChoice choice, platform::Dialogs& dialogs) {
    auto* session = new PrintSession(window, dialogs);
    session->run_ =
        new PrintRun(std::move(printout), std::move(choice.printer), choice.copies, session);
    window.setPrintCommandsEnabled(false);
    window.setEscapeCloses(false);

    session->cancel_ = new QAction(QStringLiteral("Cancel"), session);
    session->cancel_->setObjectName(QStringLiteral("CancelPrint"));
    session->cancel_->setToolTip(QStringLiteral("Cancel printing"));
    session->cancel_->setShortcut(QKeySequence(Qt::Key_Escape));
    session->cancel_->setShortcutContext(Qt::WindowShortcut);
    window.addAction(session->cancel_);
    if (QToolBar* bar = window.toolbar()) {
        bar->addAction(session->cancel_);
    }
    connect(session->cancel_, &QAction::triggered, session->run_, &PrintRun::cancel);

    connect(session->run_, &PrintRun::progress, session, [&window](qint64 record) {
        window.showProgress(record, QStringLiteral(" Completed"));
    });
    connect(session->run_, &PrintRun::finished, session, &PrintSession::end);
    session->run_->start();
    return session;
}

PrintSession* PrintSession::of(const QWidget& window) {
    for (auto* session :
         window.findChildren<PrintSession*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (session->run_->isRunning()) {
            return session;
        }
    }
    return nullptr;
}

void PrintSession::end(PrintRun::Outcome outcome) {
    window_.endProgress();
    window_.setPrintCommandsEnabled(true);
    window_.setEscapeCloses(true);
    // Off the toolbar; deleted with the session (it may be the sender of this end).
    cancel_->setVisible(false);
    cancel_->setEnabled(false);
    waitCursor_.reset();
    if (outcome == PrintRun::Outcome::Failed) {
        dialogs_.message(
            &window_, QStringLiteral("The printout stopped unfinished: %1").arg(run_->errorText()),
            platform::MessageIcon::Warning);
    }
    emit ended(outcome);
    deleteLater();
}

}  // namespace lp::lists
