// Window placement on the screen: the cascade rule applied to the program's open
// windows, each window fitted to its screen and its menu bar, and a short notice in a
// window's caption.
#pragma once

#include <QPoint>
#include <QString>

class QWidget;

namespace lp::platform {

// Moves `window` (not shown yet) to `first`, or down the cascade from there when
// another open window of the program stands there (see cascadePlace); at its show it
// is fitted to the screen (placeOnScreenAtShow).
void placeWindow(QWidget* window, QPoint first);

// Fits `window` to the available area of its screen: at least as wide as its menu bar
// needs for all its commands on one row (no more than the area), at most as large as
// the area, and moved so that it lies there wholly, its title bar included. A window
// of a fixed size keeps one, widened to its menu bar.
void placeOnScreen(QWidget& window);

// placeOnScreen when `window` is next shown, its size known then (once; asking again
// before that changes nothing). Every top-level window of the program goes through it.
void placeOnScreenAtShow(QWidget& window);

// How long a notice stays in a caption.
inline constexpr int kCaptionNoticeMs = 4000;

// Shows `text` in `window`'s caption for `ms`, then its caption again; a caption set
// meanwhile stays, and a second notice ends where the first would have.
void showCaptionNotice(QWidget* window, const QString& text, int ms = kCaptionNoticeMs);

}  // namespace lp::platform
