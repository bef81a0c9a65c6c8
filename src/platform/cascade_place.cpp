// The cascade rule of window placement.
#include "platform/cascade_place.h"

#include <algorithm>
#include <cstdlib>

namespace lp::platform {

QPoint cascadePlace(QPoint first, const QList<QPoint>& taken, QPoint step, const QRect& area) {
    const auto isTaken = [&](QPoint place) {
        return std::any_of(taken.begin(), taken.end(), [&](QPoint corner) {
            return 2 * std::abs(corner.x() - place.x()) < std::abs(step.x()) &&
                   2 * std::abs(corner.y() - place.y()) < std::abs(step.y());
        });
    };
    // Each taken corner blocks one place at most, so one more place than there are
    // corners always holds a free one.
    for (qsizetype k = 0; k <= taken.size(); ++k) {
        const QPoint place = first + step * static_cast<int>(k);
        if (area.isValid() && !area.contains(place)) {
            break;
        }
        if (!isTaken(place)) {
            return place;
        }
    }
    return first;
}

}  // namespace lp::platform
