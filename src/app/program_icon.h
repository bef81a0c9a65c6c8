// The program's icon, drawn from the same SVG the desktop entry names, for every
// window's title bar and the task switcher.
#pragma once

#include <QIcon>

namespace lp::app {

// The icon at the sizes a desktop asks for.
[[nodiscard]] QIcon programIcon();

}  // namespace lp::app
