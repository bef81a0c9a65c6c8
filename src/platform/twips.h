// Window positions and sizes are given in twips (1/1440 inch); this turns them into
// pixels at the screen's logical DPI.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace lp::platform {

[[nodiscard]] inline double logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

[[nodiscard]] inline int twipsToPixels(double twips, qreal dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

[[nodiscard]] inline int twipsToPx(double twips) {
    return static_cast<int>(std::lround(twips * logicalDpi() / 1440.0));
}

[[nodiscard]] inline double pxToTwips(double px) {
    return px * 1440.0 / logicalDpi();
}

// Converts for one widget, at the logical DPI of the screen it is on.
class TwipScale {
public:
    explicit TwipScale(const QWidget& widget)
        : dpiX_(widget.logicalDpiX()), dpiY_(widget.logicalDpiY()) {}
    [[nodiscard]] int x(double twips) const { return twipsToPixels(twips, dpiX_); }
    [[nodiscard]] int y(double twips) const { return twipsToPixels(twips, dpiY_); }

private:
    qreal dpiX_;
    qreal dpiY_;
};

}  // namespace lp::platform
