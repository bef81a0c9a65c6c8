// Window placement on the screen: the cascade rule applied to the program's open
// windows, and a short notice in a window's caption.
#pragma once

#include <QPoint>
#include <QString>

class QWidget;

namespace lp::platform {

// Moves `window` (not shown yet) to `first`, or down the cascade from there when
// another open window of the program stands there (see cascadePlace).
void placeWindow(QWidget* window, QPoint first);

// Moves `window` so that it lies wholly on the available area of the screen that holds
// its centre (the primary screen when none does), made smaller first where it is larger
// than that area.
void placeOnScreen(QWidget& window);

// How long a notice stays in a caption.
inline constexpr int kCaptionNoticeMs = 4000;

// Shows `text` in `window`'s caption for `ms`, then its caption again; a caption set
// meanwhile stays, and a second notice ends where the first would have.
void showCaptionNotice(QWidget* window, const QString& text, int ms = kCaptionNoticeMs);

}  // namespace lp::platform
