// The live list's feed: LIST, the samples, the dumps, and the window's requests.
#include "lists/live_list_feed.h"

#include <QDir>

#include "lists/list_save.h"
#include "platform/window_place.h"

namespace lp::lists {

LiveListFeed::LiveListFeed(platform::Dialogs& dialogs, QWidget* anchor, QObject* parent)
    : QObject(parent), dialogs_(dialogs), anchor_(anchor) {}

void LiveListFeed::openList() {
    if (!run_.start()) {
        return;
    }
    if (!list_) {
        list_ = new LiveListWindow(dialogs_, anchor_, anchor_);
        connect(list_, &LiveListWindow::pauseRequested, this, [this] { setListOn(false); });
        connect(list_, &LiveListWindow::continueRequested, this, [this] { setListOn(true); });
        connect(list_, &LiveListWindow::closed, this, [this] {
            run_.stop();
            emit listOnChanged(false);
        });
    }
    list_->showStarted();
    list_->show();
    list_->raise();
    emit listOnChanged(true);
}

void LiveListFeed::setListOn(bool listOn) {
    if (listOn) {
        run_.resume();
    } else {
        run_.stop();
    }
    if (list_) {
        list_->showListOn(listOn);
    }
    emit listOnChanged(listOn);
}

void LiveListFeed::sample(const live::Sample& sample) {
    if (!list_) {
        return;
    }
    const std::optional<LiveListRun::Row> row = run_.take();
    if (!row) {
        return;
    }
    // A good dump empties the list before the sample's row goes in; a failed one is
    // told once that row is in, so the list the user then sees is complete.
    const QString dumpPath = row->dumpBefore ? dumpFilePath(sample.when) : QString();
    const std::optional<records::FileError> error =
        row->dumpBefore ? dump(dumpPath) : std::optional<records::FileError>();
    list_->appendRecord(QString::number(row->number), sample.dateTime, sample.levelText);
    list_->showLastRecord();
    if (error) {
        dialogs_.message(list_,
                         QStringLiteral("The live list could not be written to %1: %2.\n"
                                        "Its rows are kept in the list; save them with Save. "
                                        "The list is written again after %3 more rows.")
                             .arg(error->fileName, error->reason)
                             .arg(run_.dumpEvery()),
                         platform::MessageIcon::Warning);
    } else if (row->dumpBefore) {
        platform::showCaptionNotice(list_, QStringLiteral("Saved to ") + dumpPath);
        emit dumped(dumpPath);
    }
}

QString LiveListFeed::dumpFilePath(const QDateTime& now) const {
    const QDir folder = dumpFolder_.isEmpty() ? QDir::current() : QDir(dumpFolder_);
    return folder.absoluteFilePath(dumpFileName(now));
}

std::optional<records::FileError> LiveListFeed::dump(const QString& path) {
    auto error = saveGridRows(*list_, path, kDumpProgressSuffix);
    if (!error) {
        list_->clearRecords();
    }
    return error;
}

}  // namespace lp::lists
