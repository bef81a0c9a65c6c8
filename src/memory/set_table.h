// The table of stored sets ("I": one byte, then 12 bytes per set) read into the rows
// of the memory window's set grid, and the choice of a set for download.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "app/state/program_state.h"

namespace lp::memory {

inline constexpr int kSetEntrySize = 12;

// Bytes of the set table reply for `setCount` sets: 1 + 12 x setCount.
[[nodiscard]] constexpr qint64 setTableReplySize(int setCount) {
    return 1 + qint64{kSetEntrySize} * setCount;
}

struct SetRow {
    int number = 0;  // 1 for the first set
    QString start;   // "03/15/09----14:05:09" (month/day/year----hour:minute:second)
};

// One row per complete entry, at most `setCount` (a short table gives fewer rows).
[[nodiscard]] QList<SetRow> setTableRows(const QByteArray& table, int setCount);

// The 24-bit record count of entry k (1-based); nullopt when the table holds no
// complete entry k.
[[nodiscard]] std::optional<qint32> setRecordCount(const QByteArray& table, int k);

// A click on row `row` of the set grid: writes SelectedSet and SetRecordCount from
// SetTable and returns true. The heading row (0) and rows past SetCount or past the
// table received choose nothing and return false, leaving the state as it was.
[[nodiscard]] bool selectSet(app::ProgramState& state, int row);

}  // namespace lp::memory
