// The table of stored sets ("I": one byte, then 12 bytes per set) read into the rows
// of the memory window's set grid, each with the record count a download of it needs.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace lp::memory {

inline constexpr int kSetEntrySize = 12;

// Bytes of the set table reply for `setCount` sets: 1 + 12 x setCount.
[[nodiscard]] constexpr qint64 setTableReplySize(int setCount) {
    return 1 + qint64{kSetEntrySize} * setCount;
}

struct SetRow {
    int number = 0;      // 1 for the first set
    QString start;       // "03/15/09----14:05:09" (month/day/year----hour:minute:second)
    qint32 records = 0;  // the 24-bit record count of the entry

    friend bool operator==(const SetRow&, const SetRow&) = default;
};

// One row per complete entry, at most `setCount` (a short table gives fewer rows).
[[nodiscard]] QList<SetRow> setTableRows(const QByteArray& table, int setCount);

}  // namespace lp::memory
