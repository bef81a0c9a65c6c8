// The panel's side of the live list: its LIST button (open or resume the list) and
// the row it appends at every sample while ListOn.
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

#include "app/state/program_state.h"
#include "lists/list_window.h"
#include "platform/dialogs.h"

class QWidget;

namespace lp::lists {

class LiveListFeed : public QObject {
    Q_OBJECT
public:
    static constexpr qint32 kDumpEvery = 348000;

    // `anchor` is the panel: the list opens beside it and closes with it.
    LiveListFeed(app::ProgramState& state, platform::Dialogs& dialogs, QWidget* anchor,
                 QObject* parent = nullptr);

    // The panel's LIST button: nothing while the list takes rows; otherwise the row
    // count restarts at 0, ListOn becomes true and the list shows (a paused list keeps
    // its rows, a closed one opens empty).
    void openList();

    // One sample of the panel's sample tick: `dateTime` as "YYYY/MM/DD hh:nn:ss",
    // `levelText` the level label's text, `now` the clock time that names a dump.
    void sample(const QString& dateTime, const QString& levelText, const QDateTime& now);

    // The open list window, or null.
    [[nodiscard]] List* window() const { return list_; }

    void setDumpEvery(qint32 rows) { dumpEvery_ = rows > 0 ? rows : kDumpEvery; }
    [[nodiscard]] qint32 dumpEvery() const { return dumpEvery_; }
    // Folder of the dumps; empty (the default) means the current folder at dump time.
    void setDumpFolder(const QString& folder) { dumpFolder_ = folder; }

    // The file name of a dump made at `now`: "mmddhhnnss.sdm".
    [[nodiscard]] static QString dumpFileName(const QDateTime& now);

signals:
    // A dump was written (with its full path).
    void dumped(const QString& path);

private:
    void appendRow(const QString& dateTime, const QString& levelText);

    app::ProgramState& state_;
    platform::Dialogs& dialogs_;
    QPointer<QWidget> anchor_;
    QPointer<List> list_;
    qint32 dumpEvery_ = kDumpEvery;
    QString dumpFolder_;
};

}  // namespace lp::lists
