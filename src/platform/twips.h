// Window positions and sizes are given in twips (1/1440 inch); this turns them into
// pixels at the screen's logical DPI.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace lp::platform {

[[nodiscard]] inline double logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

[[nodiscard]] inline int twipsToPx(double twips) {
    return static_cast<int>(std::lround(twips * logicalDpi() / 1440.0));
}

[[nodiscard]] inline double pxToTwips(double px) { return px * 1440.0 / logicalDpi(); }

}  // namespace lp::platform
