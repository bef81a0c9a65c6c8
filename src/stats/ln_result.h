// What one percentile-level computation produces: the class counts of the chosen
// resolution, the histogram bounds, the 100 Ln levels and the summary figures.
#pragma once

#include <QList>
#include <QStringList>
#include <optional>

#include "stats/resolution.h"

namespace lp::stats {

// Figures over the records that carry a readable level: the text begins with a
// number and holds none of the marks "*", "-" or "L". Every other record (marked,
// or a text that is no number at all, such as an empty cell) is left out.
// Levels of 145 dB and more that carry no "L" count with their own value.
struct LevelFigures {
    qint64 withLevel = 0;  // records that carry a level
    qint64 leftOut = 0;    // all other records; withLevel + leftOut = recordCount
    // Energy average 10*log10(mean of 10^(L/10)), and the extremes; none when
    // no record carries a level.
    std::optional<double> leq;
    std::optional<double> lmax;
    std::optional<double> lmin;
};

struct LnResult {
    Resolution resolution = Resolution::TenthDb;

    // N: every record offered, the ones counted in no class ("*") included.
    qint64 recordCount = 0;

    // One counter per class, index 0 .. topClass(resolution).
    QList<qint64> counts;

    // False when no record fell into any class (an empty list, or only records
    // marked "*" or without a number): then there is no level, no histogram and every Ln is empty.
    bool hasLevel = false;

    // Lowest class from 1 upwards that holds a record, and the highest class that
    // holds one, in class units (tenths of dB at 0.1 dB). Class 0 (a level
    // of 0.0 dB, far below any measuring range) never sets the lower bound, except
    // when it is the only class with records: then both bounds are 0.
    int classMin = 0;
    int classMax = 0;

    // Entry n is the level exceeded by n percent of the records ("65.3" at 0.1 dB,
    // "65" at 1 dB); an entry that no threshold reached is empty.
    QStringList levels;

    LevelFigures figures;
};

}  // namespace lp::stats
