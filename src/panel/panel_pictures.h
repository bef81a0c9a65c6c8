// The pictures of the panel face, drawn rather than loaded: the low-battery symbol
// and the arrows of the range keys.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace lp::panel {

// A battery lying on its side, nearly empty, `size` in device-independent pixels.
[[nodiscard]] QPixmap batteryPicture(const QSize& size, const QColor& color, qreal dpr);

// A solid triangle pointing up or down, for the range keys.
[[nodiscard]] QIcon arrowIcon(bool up, const QColor& color);

}  // namespace lp::panel
