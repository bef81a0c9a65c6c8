// Window positions and sizes are designed in twips (1/1440 inch); on screen they
// become pixels at the screen's logical DPI.
#pragma once

#include <QtGlobal>

class QWidget;

namespace lp::lists {

[[nodiscard]] inline int twipsToPixels(int twips, qreal dpi) {
    return qRound(twips * dpi / 1440.0);
}

// Converts for one widget, at the logical DPI of the screen it is on.
class TwipScale {
public:
    explicit TwipScale(const QWidget& widget);
    [[nodiscard]] int x(int twips) const { return twipsToPixels(twips, dpiX_); }
    [[nodiscard]] int y(int twips) const { return twipsToPixels(twips, dpiY_); }

private:
    qreal dpiX_;
    qreal dpiY_;
};

}  // namespace lp::lists
