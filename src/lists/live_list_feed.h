// The panel's side of the live list: its LIST button (open or resume the list) and
// the row it appends at every sample while the list takes rows. The feed owns
// whether rows are taken and their numbering (LiveListRun); the window shows them.
//
// Every `dumpEvery` rows (348,000 unless a test says otherwise) the list is first
// written to "mmddhhnnss.sdm" in the current folder, named from the sample's time,
// byte for byte like a list "Save". After a good dump the list starts empty and goes
// on taking rows, numbered on (348001, ...). A dump that cannot be written keeps the
// rows, goes on taking rows and tells the user; it is tried again only at the next
// multiple of `dumpEvery` rows, with everything the list then holds.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

#include "lists/live_list_run.h"
#include "lists/live_list_window.h"
#include "live/sample.h"
#include "platform/dialogs.h"
#include "records/file_error.h"

class QWidget;

namespace lp::lists {

class LiveListFeed : public QObject {
    Q_OBJECT
public:
    static constexpr qint32 kDumpEvery = LiveListRun::kDumpEvery;

    // `anchor` is the panel: the list opens beside it and closes with it.
    LiveListFeed(platform::Dialogs& dialogs, QWidget* anchor, QObject* parent = nullptr);

    // The panel's LIST button: nothing while the list takes rows; otherwise the
    // numbering restarts, rows are taken and the list shows (a paused list keeps its
    // rows, a closed one opens empty).
    void openList();

    // One sample of the live cycle: a row with its date-time and level text; its clock
    // time names a dump. Ignored while the list takes no rows.
    void sample(const lp::live::Sample& sample);

    [[nodiscard]] bool listOn() const { return run_.listOn(); }
    // Rows taken since LIST.
    [[nodiscard]] qint32 rowCount() const { return run_.rowCount(); }

    // The open list window, or null.
    [[nodiscard]] LiveListWindow* window() const { return list_; }

    void setDumpEvery(qint32 rows) { run_.setDumpEvery(rows); }
    [[nodiscard]] qint32 dumpEvery() const { return run_.dumpEvery(); }
    // Folder of the dumps; empty (the default) means the current folder at dump time.
    void setDumpFolder(const QString& folder) { dumpFolder_ = folder; }

    [[nodiscard]] static QString dumpFileName(const QDateTime& now) {
        return LiveListRun::dumpFileName(now);
    }

signals:
    // Rows are taken, or no longer (LIST, Pause, Continue, the window closed).
    void listOnChanged(bool listOn);
    // A dump was written (with its full path).
    void dumped(const QString& path);

private:
    void setListOn(bool listOn);
    [[nodiscard]] QString dumpFilePath(const QDateTime& now) const;
    [[nodiscard]] std::optional<records::FileError> dump(const QString& path);

    platform::Dialogs& dialogs_;
    QPointer<QWidget> anchor_;
    QPointer<LiveListWindow> list_;
    LiveListRun run_;
    QString dumpFolder_;
};

}  // namespace lp::lists
