// Where a window of the program opens: at its first place, unless another open window
// of the program has its top left corner there already; then one cascade step down and
// to the right, and again, until a free place, so windows opened at the same spot do
// not bury each other.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace lp::platform {

// The top left corner for a window whose first place is `first`, among the corners
// `taken` of the other open windows. A corner closer than half a step on both axes
// takes a place. Places whose corner leaves `area` (when valid) are not used; with no
// free place inside it the window goes to its first place after all.
[[nodiscard]] QPoint cascadePlace(QPoint first, const QList<QPoint>& taken, QPoint step,
                                  const QRect& area = {});

}  // namespace lp::platform
