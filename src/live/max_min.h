// The largest and smallest level seen, kept as the texts of LblMax and LblMin.
// Filled from the level text, then moved outwards only, until reset.
#pragma once

#include <QString>

namespace lp::live {

struct MaxMin {
    QString max;
    QString min;
};

// One live cycle's update: empty ends take the level text as it is (72.0); an end
// that moves takes the shortest text of the level's value (72, 72.4).
void widenMaxMin(MaxMin& texts, const QString& levelText);

// Both ends set to the current level text.
void resetMaxMin(MaxMin& texts, const QString& levelText);

}  // namespace lp::live
