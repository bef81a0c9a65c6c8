// Whether the live list takes the panel's samples and how it numbers them. Kept
// apart from the window so the numbering and the dump rule run without a screen.
//
// LIST starts the numbering at 1 again (even below the rows a paused list keeps);
// Continue goes on with it. Before the row of every `dumpEvery`-th sample taken
// since LIST the list is written to a file; the row itself is then numbered on.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace lp::lists {

class LiveListRun {
public:
    static constexpr qint32 kDumpEvery = 348000;

    struct Row {
        qint32 number;    // the "No.s" of the row
        bool dumpBefore;  // the list goes to a dump file before this row is added
    };

    [[nodiscard]] bool listOn() const { return listOn_; }
    // Rows taken since LIST (the number of the last row).
    [[nodiscard]] qint32 rowCount() const { return rowCount_; }

    // LIST: false while rows are taken; otherwise the numbering restarts.
    bool start();
    // Continue: rows are taken again, numbered on.
    void resume() { listOn_ = true; }
    // Pause, or the window closed.
    void stop() { listOn_ = false; }

    // One sample: nothing while no rows are taken, otherwise the row it becomes.
    [[nodiscard]] std::optional<Row> take();

    void setDumpEvery(qint32 rows) { dumpEvery_ = rows > 0 ? rows : kDumpEvery; }
    [[nodiscard]] qint32 dumpEvery() const { return dumpEvery_; }

    // The file name of a dump made at `now`: "mmddhhnnss.sdm".
    [[nodiscard]] static QString dumpFileName(const QDateTime& now);

private:
    bool listOn_ = false;
    qint32 rowCount_ = 0;
    qint32 dumpEvery_ = kDumpEvery;
};

}  // namespace lp::lists
