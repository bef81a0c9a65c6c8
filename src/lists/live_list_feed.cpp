#include "lists/live_list_feed.h"

#include <QDir>

#include "lists/list_save.h"
#include "lists/list_window.h"

namespace lp::lists {

LiveListFeed::LiveListFeed(app::ProgramState& state, platform::Dialogs& dialogs, QWidget* anchor,
                           QObject* parent)
    : QObject(parent), state_(state), dialogs_(dialogs), anchor_(anchor) {}

void LiveListFeed::openList() {
    if (state_.ListOn) {
        return;
    }
    state_.ListCount = 0;
    state_.ListOn = true;
    if (!list_) {
        list_ = new List(state_, dialogs_, anchor_, anchor_);
    }
    list_->started();
    list_->show();
    list_->raise();
}

QString LiveListFeed::dumpFileName(const QDateTime& now) {
    return now.toString(QStringLiteral("MMddhhmmss")) + QStringLiteral(".sdm");
}

void LiveListFeed::sample(const QString& dateTime, const QString& levelText, const QDateTime& now) {
    if (!state_.ListOn || !list_) {
        return;
    }
    if (state_.ListCount != 0 && state_.ListCount % dumpEvery_ == 0) {
        const QDir folder = dumpFolder_.isEmpty() ? QDir::current() : QDir(dumpFolder_);
        const QString path = folder.absoluteFilePath(dumpFileName(now));
        const auto error = saveGridRows(*list_, path, kDumpProgressSuffix);
        if (!error) {
            list_->clearRecords();
        }
        // The sample's own row follows either way, so the count moves past the
        // multiple and the dump is not repeated at the next sample.
        appendRow(dateTime, levelText);
        if (error) {
            dialogs_.message(list_,
                             QStringLiteral("The live list could not be written to %1: %2.\n"
                                            "Its rows are kept in the list; save them with Save. "
                                            "The list is written again after %3 more rows.")
                                 .arg(error->fileName, error->reason)
                                 .arg(dumpEvery_),
                             platform::MessageIcon::Warning);
        } else {
            emit dumped(path);
        }
        return;
    }
    appendRow(dateTime, levelText);
}

void LiveListFeed::appendRow(const QString& dateTime, const QString& levelText) {
    ++state_.ListCount;
    list_->appendRecord(QString::number(state_.ListCount), dateTime, levelText);
    list_->showLastRecord();
}

}  // namespace lp::lists
