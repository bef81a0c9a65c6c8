// From class counts to percentile levels: the class bounds of the histogram,
// the 100 Ln levels by the cumulative-count thresholds, and the Ln table rows.
#pragma once

#include <QList>
#include <QStringList>
#include <array>
#include <span>

#include "stats/resolution.h"

namespace lp::stats {

struct ClassBounds {
    bool any = false;  // some class holds a record
    int min = 0;       // lowest class >= 1 with a record (0 if only class 0 has any)
    int max = 0;       // highest class with a record
};

[[nodiscard]] ClassBounds classBounds(const QList<qint64>& counts);

// The text of class j: one decimal at 0.1 dB ("65.3"), the whole number at 1 dB.
[[nodiscard]] QString classText(int classIndex, Resolution resolution);

// The 100 levels Ln, n = 0 .. 99. For k = 1 .. 100 the threshold is
// T = (N/100)(k-1) + N/200, and entry 100-k is the first class at which the
// running count S exceeds T (S > T). An entry no class reaches stays empty,
// which happens when records counted in no class make the top counts unreachable.
// The class indices of those 100 levels, by the same thresholds; -1 where no class
// reaches one.
[[nodiscard]] std::array<int, 100> lnClasses(std::span<const qint64> counts, qint64 recordCount);

[[nodiscard]] QStringList lnLevels(const QList<qint64>& counts, qint64 recordCount,
                                   Resolution resolution);

// Ten rows of 11 cells: "L(00)" then L0 .. L9, "L(10)" then L10 .. L19, ... "L(90)".
[[nodiscard]] QList<QStringList> lnTableRows(const QStringList& levels);

}  // namespace lp::stats
